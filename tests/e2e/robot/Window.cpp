#include "tests/e2e/robot/Window.h"

#include <vector>

#include "tests/e2e/robot/Text.h"

namespace robot {

std::string ClassOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return Utf8(name);
}

std::string TextOf(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, MessageTimeout,
                           &length))
    return {};
  std::vector<wchar_t> text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, MessageTimeout, &copied);
  return Utf8(text.data());
}

std::string WithoutMnemonics(const std::string& caption) {
  std::string plain;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) ++i;
    plain += caption[i];
  }
  return plain;
}

bool IsShown(HWND window) {
  return IsWindowVisible(window) != FALSE;
}

RECT ScreenRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

namespace {

struct TopLevelSearch {
  DWORD processId;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM data) {
  auto& search = *reinterpret_cast<TopLevelSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search.processId && IsShown(window)) search.found.push_back(window);
  return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM data) {
  if (IsShown(window)) reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
  return TRUE;
}

void SendMouse(DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  SendInput(1, &input, sizeof input);
}

}  // namespace

std::vector<HWND> TopLevelWindows(DWORD processId) {
  TopLevelSearch search{processId, {}};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<HWND> Descendants(HWND parent, const std::string& className) {
  std::vector<HWND> all;
  EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&all));
  if (className.empty()) return all;
  std::vector<HWND> matching;
  for (HWND window : all)
    if (lstrcmpiA(ClassOf(window).c_str(), className.c_str()) == 0) matching.push_back(window);
  return matching;
}

HWND FindDescendant(HWND parent, const std::string& className, const std::string& text) {
  for (HWND window : Descendants(parent, className))
    if (WithoutMnemonics(TextOf(window)) == WithoutMnemonics(text)) return window;
  return nullptr;
}

void Click(HWND button) {
  PostMessageA(button, BM_CLICK, 0, 0);
}

void ClickWithMouse(HWND button) {
  SetForegroundWindow(GetAncestor(button, GA_ROOT));
  const RECT rect = ScreenRect(button);
  SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  Sleep(PollInterval);
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  SendMouse(MOUSEEVENTF_LEFTUP);
}

void SetText(HWND edit, const std::string& text) {
  DWORD_PTR result = 0;
  const std::wstring wide = Wide(text);
  SendMessageTimeoutW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()), SMTO_ABORTIFHUNG,
                      MessageTimeout, &result);
}

void Type(HWND edit, const std::string& text) {
  DWORD_PTR result = 0;
  const LPARAM end = -1;
  SendMessageTimeoutW(edit, EM_SETSEL, end, end, SMTO_ABORTIFHUNG, MessageTimeout, &result);
  for (wchar_t c : Wide(text)) PostMessageW(edit, WM_CHAR, c, 1);
}

void PressCloseBox(HWND window) {
  PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

}  // namespace robot
