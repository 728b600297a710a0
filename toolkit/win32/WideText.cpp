#include "toolkit/win32/WideText.h"

#include <climits>

namespace {
int Length(size_t size) {
  return size > INT_MAX ? INT_MAX : static_cast<int>(size);
}
}  // namespace

std::wstring WideText(const std::string& text) {
  if (text.empty()) return {};
  const int size = MultiByteToWideChar(CP_ACP, 0, text.data(), Length(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), Length(text.size()), wide.data(), size);
  return wide;
}

std::string AnsiText(const std::wstring& text, bool* exact) {
  if (exact) *exact = true;
  if (text.empty()) return {};
  // UTF-8 writes every letter and takes neither the flag nor the default-character report.
  const bool utf8 = GetACP() == CP_UTF8;
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL defaulted = FALSE;
  BOOL* report = utf8 ? nullptr : &defaulted;
  const int size = WideCharToMultiByte(CP_ACP, flags, text.data(), Length(text.size()), nullptr, 0,
                                       nullptr, report);
  std::string ansi(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, flags, text.data(), Length(text.size()), ansi.data(), size, nullptr,
                      report);
  if (exact) *exact = !defaulted;
  return ansi;
}
