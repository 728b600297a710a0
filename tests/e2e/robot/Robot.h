// The robot of the end-to-end scenarios: it drives one program under test as a person
// would and keeps a transcript of every message box the person was shown.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/robot/Process.h"
#include "tests/e2e/robot/Screen.h"
#include "tests/e2e/robot/Window.h"

namespace robot {

// One message box as the person saw it.
struct MessageBoxSeen {
  std::string caption;
  std::string text;
  std::vector<std::string> buttons;  // captions as shown, "&" markers included, left to right
  IconKind icon = IconKind::None;
  std::string answer;  // the caption of the button the robot pressed, once it has

  // "Caption [icon] text {buttons} -> answer", one line of the transcript.
  std::string Describe() const;
};

// A message box: a shown top-level window made only of STATIC and BUTTON controls, with at
// least one of each. That covers the system's MessageBox and the toolkit's own dialog.
bool IsMessageBox(HWND window);
MessageBoxSeen ReadMessageBox(HWND box);

class Robot {
public:
  // `screenshotFolder` (a Windows path) receives Screenshot's files; empty for none.
  explicit Robot(TestedProcess& process, std::string screenshotFolder = "");

  TestedProcess& Process() { return process_; }

  // The first shown top-level window of the process with that class and caption (either
  // empty for any); raises RobotError after `timeoutMs`.
  HWND WaitForWindow(const std::string& className, const std::string& caption,
                     DWORD timeoutMs = DefaultTimeout);
  // The shown control under `parent` of that class and text (mnemonics ignored).
  HWND WaitForControl(HWND parent, const std::string& className, const std::string& text,
                      DWORD timeoutMs = DefaultTimeout);
  // The first shown control of that class under `parent`, whatever its text.
  HWND WaitForControlOfClass(HWND parent, const std::string& className,
                             DWORD timeoutMs = DefaultTimeout);
  // Waits until the control's text reads `text`; raises with the last text read otherwise.
  void WaitForText(HWND control, const std::string& text, DWORD timeoutMs = DefaultTimeout);
  // Presses the shown button of that caption under `parent`.
  void ClickButton(HWND parent, const std::string& caption, DWORD timeoutMs = DefaultTimeout);

  // The next message box of the process; raises RobotError after `timeoutMs`.
  MessageBoxSeen WaitForMessageBox(DWORD timeoutMs = DefaultTimeout);
  // Presses the button of that caption (mnemonics ignored) in the box last waited for and
  // waits until the box has gone; the answer goes into the transcript.
  void Answer(const std::string& button, DWORD timeoutMs = DefaultTimeout);
  // WaitForMessageBox and Answer in one step.
  MessageBoxSeen AnswerNext(const std::string& button, DWORD timeoutMs = DefaultTimeout);
  // True when no message box shows up within `ms` (a box that does is recorded).
  bool NoMessageBoxWithin(DWORD ms);
  // Leaves the box last waited for up, unanswered (the person presses the close box on top
  // of it, say): the next box waited for is another one.
  void LeaveUnanswered();

  const std::vector<MessageBoxSeen>& Transcript() const { return transcript_; }
  void SaveTranscript(const std::string& path) const;

  // Saves the screen as <folder>\<name>.bmp; returns the path (empty without a folder).
  std::string Screenshot(const std::string& name);

private:
  HWND FindMessageBox() const;

  TestedProcess& process_;
  std::string screenshotFolder_;
  std::vector<MessageBoxSeen> transcript_;
  HWND currentBox_ = nullptr;
  std::vector<HWND> leftUp_;
};

}  // namespace robot
