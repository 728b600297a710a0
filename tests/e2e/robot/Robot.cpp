#include "tests/e2e/robot/Robot.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "tests/e2e/robot/Text.h"

namespace robot {

namespace {

// Polls `found` until it answers true or `timeoutMs` have passed.
template <typename Found>
bool PollUntil(DWORD timeoutMs, Found found) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    if (found()) return true;
    if (GetTickCount64() >= deadline) return false;
    Sleep(PollInterval);
  }
}

std::vector<HWND> ShownChildren(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (IsShown(child)) children.push_back(child);
  return children;
}

bool IsIconStatic(HWND window) {
  return (GetWindowLongA(window, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
}

bool IsClass(HWND window, const char* name) {
  return lstrcmpiA(ClassOf(window).c_str(), name) == 0;
}

// Time a new box is given to paint before its icon is looked at.
constexpr DWORD PaintDelay = 150;
constexpr DWORD IconTimeout = 3000;

}  // namespace

std::string MessageBoxSeen::Describe() const {
  std::string line = caption + " [" + IconKindName(icon) + "] " + text + " {";
  for (size_t i = 0; i < buttons.size(); ++i) line += (i ? "|" : "") + buttons[i];
  line += "}";
  if (!answer.empty()) line += " -> " + answer;
  return line;
}

bool IsMessageBox(HWND window) {
  int statics = 0, buttons = 0;
  for (HWND child : ShownChildren(window)) {
    if (IsClass(child, "Static"))
      ++statics;
    else if (IsClass(child, "Button"))
      ++buttons;
    else
      return false;
  }
  return statics > 0 && buttons > 0;
}

MessageBoxSeen ReadMessageBox(HWND box) {
  MessageBoxSeen seen;
  seen.caption = TextOf(box);
  std::vector<std::pair<RECT, std::string>> buttons;
  HWND iconControl = nullptr;
  for (HWND child : ShownChildren(box)) {
    if (IsClass(child, "Button")) {
      buttons.emplace_back(ScreenRect(child), TextOf(child));
    } else if (IsIconStatic(child)) {
      iconControl = child;
    } else {
      const std::string text = TextOf(child);
      if (!text.empty()) seen.text += (seen.text.empty() ? "" : "\n") + text;
    }
  }
  std::stable_sort(buttons.begin(), buttons.end(), [](const auto& a, const auto& b) {
    return a.first.top != b.first.top ? a.first.top < b.first.top : a.first.left < b.first.left;
  });
  for (const auto& button : buttons) seen.buttons.push_back(button.second);
  DWORD_PTR icon = 0;
  if (iconControl &&
      SendMessageTimeoutA(iconControl, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, MessageTimeout,
                          &icon) &&
      icon) {
    PollUntil(IconTimeout, [&] {
      seen.icon = ClassifyIcon(iconControl);
      return seen.icon != IconKind::Unknown;
    });
  }
  return seen;
}

Robot::Robot(TestedProcess& process, std::string screenshotFolder)
    : process_(process), screenshotFolder_(std::move(screenshotFolder)) {
  if (!screenshotFolder_.empty()) CreateDirectoryW(Wide(screenshotFolder_).c_str(), nullptr);
}

HWND Robot::WaitForWindow(const std::string& className, const std::string& caption,
                          DWORD timeoutMs) {
  HWND found = nullptr;
  PollUntil(timeoutMs, [&] {
    for (HWND window : TopLevelWindows(process_.Id())) {
      if ((className.empty() || ClassOf(window) == className) &&
          (caption.empty() || TextOf(window) == caption)) {
        found = window;
        return true;
      }
    }
    return false;
  });
  if (!found)
    throw RobotError("no window of class \"" + className + "\" captioned \"" + caption + "\"");
  return found;
}

HWND Robot::WaitForControl(HWND parent, const std::string& className, const std::string& text,
                           DWORD timeoutMs) {
  HWND found = nullptr;
  PollUntil(timeoutMs,
            [&] { return (found = FindDescendant(parent, className, text)) != nullptr; });
  if (!found) throw RobotError("no " + className + " control \"" + text + "\" shown");
  return found;
}

HWND Robot::WaitForControlOfClass(HWND parent, const std::string& className, DWORD timeoutMs) {
  HWND found = nullptr;
  PollUntil(timeoutMs, [&] {
    const std::vector<HWND> shown = Descendants(parent, className);
    found = shown.empty() ? nullptr : shown.front();
    return found != nullptr;
  });
  if (!found) throw RobotError("no " + className + " control shown");
  return found;
}

void Robot::WaitForText(HWND control, const std::string& text, DWORD timeoutMs) {
  std::string last;
  if (!PollUntil(timeoutMs, [&] { return (last = TextOf(control)) == text; }))
    throw RobotError("control reads \"" + last + "\", not \"" + text + "\"");
}

void Robot::ClickButton(HWND parent, const std::string& caption, DWORD timeoutMs) {
  Click(WaitForControl(parent, "Button", caption, timeoutMs));
}

HWND Robot::FindMessageBox() const {
  for (HWND window : TopLevelWindows(process_.Id()))
    if (IsMessageBox(window) && std::find(leftUp_.begin(), leftUp_.end(), window) == leftUp_.end())
      return window;
  return nullptr;
}

void Robot::LeaveUnanswered() {
  if (currentBox_) leftUp_.push_back(currentBox_);
  currentBox_ = nullptr;
}

MessageBoxSeen Robot::WaitForMessageBox(DWORD timeoutMs) {
  if (currentBox_ && IsWindow(currentBox_) && IsShown(currentBox_)) return transcript_.back();
  // A box that closes by itself before it could be read (the program answered it) is no
  // box the person saw; the robot keeps waiting for the next one.
  std::optional<MessageBoxSeen> seen;
  HWND box = nullptr;
  PollUntil(timeoutMs, [&] {
    box = FindMessageBox();
    if (!box) return false;
    Sleep(PaintDelay);
    seen = ReadMessageBox(box);
    return IsWindow(box) && IsShown(box);
  });
  if (!box || !IsWindow(box)) {
    std::string after =
        transcript_.empty() ? "at the start" : "after " + transcript_.back().Describe();
    throw RobotError("no message box appeared " + after);
  }
  currentBox_ = box;
  transcript_.push_back(*seen);
  return transcript_.back();
}

void Robot::Answer(const std::string& button, DWORD timeoutMs) {
  if (!currentBox_ || !IsWindow(currentBox_)) throw RobotError("no message box to answer");
  HWND control = FindDescendant(currentBox_, "Button", button);
  if (!control) throw RobotError("the box " + transcript_.back().Describe() + " has no " + button);
  transcript_.back().answer = WithoutMnemonics(button);
  const HWND box = currentBox_;
  auto gone = [&] { return !IsWindow(box) || !IsShown(box); };
  Click(control);
  if (!PollUntil(timeoutMs / 2, gone)) {
    // The button ignored the click (a box not yet active does that); tell the box directly.
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), BN_CLICKED),
                 reinterpret_cast<LPARAM>(control));
    if (!PollUntil(timeoutMs / 2, gone))
      throw RobotError("the box " + transcript_.back().Describe() + " did not close");
  }
  currentBox_ = nullptr;
}

MessageBoxSeen Robot::AnswerNext(const std::string& button, DWORD timeoutMs) {
  WaitForMessageBox(timeoutMs);
  Answer(button, timeoutMs);
  return transcript_.back();
}

bool Robot::NoMessageBoxWithin(DWORD ms) {
  try {
    WaitForMessageBox(ms);
  } catch (const RobotError&) {
    return true;
  }
  return false;
}

void Robot::SaveTranscript(const std::string& path) const {
  FILE* out = _wfopen(Wide(path).c_str(), L"w");
  if (!out) return;
  for (const MessageBoxSeen& box : transcript_) std::fprintf(out, "%s\n", box.Describe().c_str());
  std::fclose(out);
}

std::string Robot::Screenshot(const std::string& name) {
  if (screenshotFolder_.empty()) return {};
  const std::string path = screenshotFolder_ + "\\" + name + ".bmp";
  SaveBmp(CaptureScreen(), path);
  return path;
}

}  // namespace robot
