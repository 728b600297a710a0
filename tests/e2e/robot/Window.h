// Looking at and acting on the windows of another process, the way an assistive tool
// does: every message that waits for an answer has a time limit, so a hung program fails
// the scenario instead of hanging it. Texts are UTF-8 (Text.h).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace robot {

// Time limits, in milliseconds.
constexpr DWORD DefaultTimeout = 20000;
constexpr DWORD MessageTimeout = 5000;
constexpr DWORD PollInterval = 25;

std::string ClassOf(HWND window);
std::string TextOf(HWND window);  // WM_GETTEXT, so an edit box answers with its contents
// A caption without its "&" mnemonic markers ("&Yes" reads "Yes"; "&&" reads "&").
std::string WithoutMnemonics(const std::string& caption);
bool IsShown(HWND window);  // visible itself and through all its parents
RECT ScreenRect(HWND window);

// The shown top-level windows of a process, front to back.
std::vector<HWND> TopLevelWindows(DWORD processId);
// The shown descendants of `parent`, in creation order; `className` empty for any class.
std::vector<HWND> Descendants(HWND parent, const std::string& className = "");
// The shown descendant of a class whose text, without mnemonics, is `text`; or null.
HWND FindDescendant(HWND parent, const std::string& className, const std::string& text);

// Presses a button as the keyboard would (BM_CLICK), without waiting for what it starts.
void Click(HWND button);
// Presses a button with the mouse: moves the pointer over it and clicks.
void ClickWithMouse(HWND button);
// Replaces the text of an edit box at once.
void SetText(HWND edit, const std::string& text);
// Types `text` at the end of an edit box, one character at a time.
void Type(HWND edit, const std::string& text);
// Presses the close box of a top-level window.
void PressCloseBox(HWND window);

}  // namespace robot
