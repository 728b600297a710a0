// Message boxes: the real box read and answered the way a robot would, the scripted
// answerer, the clipboard text, and boxes after the application was told to end.
#include <gtest/gtest.h>
#include <windows.h>

#include <new>
#include <string>
#include <vector>

#include "tests/support/ScriptedAnswerer_win32.h"
#include "toolkit/Exception.h"
#include "toolkit/win32/Application.h"
#include "toolkit/win32/Dialogs.h"

namespace {

struct SeenBox {
  std::string caption;
  std::string text;
  std::vector<std::string> buttons;
  std::string focused;
  bool hasIcon = false;
  RECT rect{};
};

SeenBox seen;
enum class Action { PressNo, PressYes, Escape, PressOk } action;

BOOL CALLBACK CollectChild(HWND child, LPARAM) {
  char cls[32], text[512];
  GetClassNameA(child, cls, sizeof cls);
  GetWindowTextA(child, text, sizeof text);
  if (lstrcmpiA(cls, "Button") == 0) {
    seen.buttons.push_back(text);
  } else if (lstrcmpiA(cls, "Static") == 0) {
    if (GetWindowLongA(child, GWL_STYLE) & SS_ICON)
      seen.hasIcon = SendMessageA(child, STM_GETICON, 0, 0) != 0;
    else
      seen.text = text;
  }
  return TRUE;
}

HWND FindButton(HWND box, const char* caption) {
  return FindWindowExA(box, nullptr, "Button", caption);
}

// Runs inside the box's modal loop: reads the box, then answers it as a user would.
void CALLBACK Robot(HWND, UINT, UINT_PTR id, DWORD) {
  HWND box = GetForegroundWindow();
  char caption[128];
  if (!box || !GetWindowTextA(box, caption, sizeof caption)) return;
  KillTimer(nullptr, id);
  seen = SeenBox{};
  seen.caption = caption;
  GetWindowRect(box, &seen.rect);
  EnumChildWindows(box, &CollectChild, 0);
  char focused[64] = "";
  GetWindowTextA(GetFocus(), focused, sizeof focused);
  seen.focused = focused;
  switch (action) {
    case Action::PressNo:
      SendMessageA(FindButton(box, "&No"), BM_CLICK, 0, 0);
      break;
    case Action::PressYes:
      SendMessageA(FindButton(box, "&Yes"), BM_CLICK, 0, 0);
      break;
    case Action::PressOk:
      SendMessageA(FindButton(box, "OK"), BM_CLICK, 0, 0);
      break;
    case Action::Escape:
      PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
      PostMessageA(GetFocus(), WM_KEYUP, VK_ESCAPE, 0);
      break;
  }
}

TModalResult AskWithRobot(Action a, const std::string& text, TMsgDlgType type,
                          TMsgDlgButtons buttons) {
  action = a;
  SetTimer(nullptr, 0, 100, &Robot);
  return MessageDlg(text, type, buttons);
}

TEST(MessageBox, RealYesNoBoxIsReadAndAnsweredThroughItsControls) {
  TApplication app;
  EXPECT_EQ(AskWithRobot(Action::PressNo, "Keep it? ", mtConfirmation, mbYesNo), mrNo);
  EXPECT_EQ(seen.caption, "Confirm");
  EXPECT_EQ(seen.text, "Keep it? ");
  EXPECT_EQ(seen.buttons, (std::vector<std::string>{"&Yes", "&No"}));
  EXPECT_EQ(seen.focused, "&Yes");
  EXPECT_TRUE(seen.hasIcon);
  const int centreX = (seen.rect.left + seen.rect.right) / 2;
  const int centreY = (seen.rect.top + seen.rect.bottom) / 2;
  EXPECT_NEAR(centreX, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR(centreY, GetSystemMetrics(SM_CYSCREEN) / 2, 1);

  EXPECT_EQ(AskWithRobot(Action::PressYes, "Sure?", mtWarning, mbYesNo), mrYes);
  EXPECT_EQ(seen.caption, "Warning");
  EXPECT_EQ(AskWithRobot(Action::Escape, "Sure?", mtWarning, mbYesNo), mrNo);
}

TEST(MessageBox, KindsGiveCaptionsOkBoxesHaveOneButtonPlainHasNoIcon) {
  TApplication app;
  app.SetTitle("Setup");
  EXPECT_EQ(AskWithRobot(Action::PressOk, "Done.", mtError, mbOKButton), mrOk);
  EXPECT_EQ(seen.caption, "Error");
  EXPECT_EQ(seen.buttons, (std::vector<std::string>{"OK"}));
  AskWithRobot(Action::PressOk, "Done.", mtInformation, mbOKButton);
  EXPECT_EQ(seen.caption, "Information");
  AskWithRobot(Action::PressOk, "Kestrel Setup Complete.", mtCustom, mbOKButton);
  EXPECT_EQ(seen.caption, "Setup");
  EXPECT_FALSE(seen.hasIcon);
}

TEST(MessageBox, AfterTerminateABoxClosesAtOnceWithNo) {
  TApplication app;
  TScriptedAnswerer answerer{mrYes};
  app.Terminate();
  EXPECT_EQ(MessageDlg("Anything?", mtConfirmation, mbYesNo), mrNo);
  EXPECT_TRUE(answerer.Questions().empty());
  MSG quit;
  PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);  // leave the queue clean
}

TEST(MessageBox, ScriptedAnswererRecordsEveryQuestion) {
  TApplication app;
  app.SetTitle("Setup");
  TScriptedAnswerer answerer{mrYes, mrNo};
  EXPECT_EQ(MessageDlg("one", mtWarning, mbYesNo), mrYes);
  EXPECT_EQ(MessageDlg("note", mtCustom, mbOKButton), mrOk);  // OK boxes need no script
  EXPECT_EQ(MessageDlg("two", mtConfirmation, mbYesNo), mrNo);
  EXPECT_EQ(MessageDlg("three", mtConfirmation, mbYesNo), mrNo);  // beyond the script
  ASSERT_EQ(answerer.Questions().size(), 4u);
  EXPECT_EQ(answerer.Questions()[1].caption, "Setup");
  EXPECT_EQ(answerer.Questions()[2].text, "two");
  EXPECT_EQ(answerer.Questions()[2].type, mtConfirmation);
  EXPECT_EQ(answerer.Questions()[2].buttons, mbYesNo);
  EXPECT_EQ(answerer.Unscripted(), 1);
}

TEST(MessageBox, ClipboardTextLooksLikeWindowsOwn) {
  const TMessageQuestion q{"Sure?", "Warning", mtWarning, mbYesNo};
  EXPECT_EQ(MessageBoxClipboardText(q),
            "---------------------------\r\nWarning\r\n---------------------------\r\nSure?\r\n"
            "---------------------------\r\nYes   No   \r\n---------------------------\r\n");
}

TEST(DefaultExceptionHandler, StopBoxCaptionedWithTheTitleAndADot) {
  TApplication app;
  app.SetTitle("Setup");
  TScriptedAnswerer answerer;
  app.HandleException(EInvalidOperation("Cannot create file C:\\x"));
  app.HandleException(Exception("Already a sentence."));
  app.HandleException(std::bad_alloc());
  ASSERT_EQ(answerer.Questions().size(), 3u);
  EXPECT_EQ(answerer.Questions()[0].text, "Cannot create file C:\\x.");
  EXPECT_EQ(answerer.Questions()[0].caption, "Setup");
  EXPECT_EQ(answerer.Questions()[0].type, mtError);
  EXPECT_EQ(answerer.Questions()[0].buttons, mbOKButton);
  EXPECT_EQ(answerer.Questions()[1].text, "Already a sentence..");
  EXPECT_EQ(answerer.Questions()[2].text, "Out of memory.");  // the runtime's own text
}

}  // namespace
