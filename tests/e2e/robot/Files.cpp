#include "tests/e2e/robot/Files.h"

#include <shlobj.h>
#include <windows.h>

#include <cstdio>
#include <vector>

#include "tests/e2e/robot/Text.h"

namespace robot {

namespace {

const wchar_t* const ShellFoldersKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// Releases a COM interface when the scope ends.
template <typename T>
struct Released {
  T* p = nullptr;
  ~Released() {
    if (p) p->Release();
  }
};

// Initialises COM for the calling thread for as long as it lives.
struct ComScope {
  ComScope() { CoInitialize(nullptr); }
  ~ComScope() { CoUninitialize(); }
};

}  // namespace

std::optional<std::string> ReadWholeFile(const std::string& path) {
  FILE* in = _wfopen(Wide(path).c_str(), L"rb");
  if (!in) return std::nullopt;
  std::string contents;
  char buffer[65536];
  size_t count;
  while ((count = std::fread(buffer, 1, sizeof buffer, in)) > 0) contents.append(buffer, count);
  std::fclose(in);
  return contents;
}

bool SameContents(const std::string& pathA, const std::string& pathB) {
  const auto a = ReadWholeFile(pathA), b = ReadWholeFile(pathB);
  return a && b && *a == *b;
}

std::string UserShellFolder(const std::string& valueName) {
  wchar_t value[MAX_PATH] = {};
  DWORD size = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER, ShellFoldersKey, Wide(valueName).c_str(),
                   RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, value,
                   &size) != ERROR_SUCCESS)
    return {};
  return Utf8(value);
}

bool SetUserShellFolder(const std::string& valueName, const std::string& path) {
  const std::wstring value = Wide(path);
  return RegSetKeyValueW(HKEY_CURRENT_USER, ShellFoldersKey, Wide(valueName).c_str(), REG_SZ,
                         value.c_str(),
                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

std::optional<Shortcut> ReadShortcut(const std::string& path) {
  ComScope com;
  Released<IShellLinkW> link;
  Released<IPersistFile> file;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link.p))) ||
      FAILED(link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p))) ||
      FAILED(file.p->Load(Wide(path).c_str(), STGM_READ)))
    return std::nullopt;
  Shortcut shortcut;
  wchar_t text[MAX_PATH] = {};
  // The target as the link's item ID list names it, in 16-bit text. The 8-bit path a link
  // also keeps is written in the code page of the program that saved it, and Wine reads it
  // back in the reader's: a link saved under UTF-8 reads wrong in any other code page.
  PIDLIST_ABSOLUTE items = nullptr;
  if (SUCCEEDED(link.p->GetIDList(&items)) && items && SHGetPathFromIDListW(items, text))
    shortcut.target = Utf8(text);
  CoTaskMemFree(items);
  if (shortcut.target.empty()) {
    link.p->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
    shortcut.target = Utf8(text);
  }
  link.p->GetArguments(text, MAX_PATH);
  shortcut.arguments = Utf8(text);
  link.p->GetDescription(text, MAX_PATH);
  shortcut.description = Utf8(text);
  link.p->GetWorkingDirectory(text, MAX_PATH);
  shortcut.workingDirectory = Utf8(text);
  link.p->GetIconLocation(text, MAX_PATH, &shortcut.iconIndex);
  shortcut.iconFile = Utf8(text);
  return shortcut;
}

}  // namespace robot
