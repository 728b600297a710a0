// Modal message boxes: a kind (caption and icon), a text and a set of buttons. Yes/No boxes
// have "&Yes" as default button and "&No" as the Esc button; OK boxes one "OK" button. The
// box is made of real STATIC and BUTTON controls, centred on the screen, and Ctrl+C copies
// it to the clipboard as Windows' own boxes do. Tests replace the box by an answerer.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

enum TMsgDlgType : uint8_t { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

enum TMsgDlgBtn : uint8_t { mbYes = 1, mbNo = 2, mbOK = 4 };
using TMsgDlgButtons = uint8_t;
constexpr TMsgDlgButtons mbYesNo = mbYes | mbNo;
constexpr TMsgDlgButtons mbOKButton = mbOK;

// The Windows dialog command numbers (IDOK, IDCANCEL, IDYES, IDNO).
enum TModalResult : int { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };

// The caption of a kind: "Warning", "Error", "Information", "Confirm", or the application
// title for the plain kind.
std::string MessageDlgCaption(TMsgDlgType type);

// Asks the question in a modal box and returns the button pressed; closing the box any
// other way counts as the Esc button (No, or OK in an OK box). Once the application is
// terminated a box closes at once with No.
TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons);
// The same box with a caption of the caller's (the default exception handler's).
TModalResult ShowMessageBox(const std::string& text, const std::string& caption, TMsgDlgType type,
                            TMsgDlgButtons buttons);

struct TMessageQuestion {
  std::string text;
  std::string caption;
  TMsgDlgType type = mtCustom;
  TMsgDlgButtons buttons = 0;
};

// What Ctrl+C puts on the clipboard for a box.
std::string MessageBoxClipboardText(const TMessageQuestion& question);

// Stands in for the modal box; returns the previous answerer (empty: the real box).
using TMessageAnswerer = std::function<TModalResult(const TMessageQuestion&)>;
TMessageAnswerer SetMessageAnswerer(TMessageAnswerer answerer);
