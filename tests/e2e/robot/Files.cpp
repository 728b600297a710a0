#include "tests/e2e/robot/Files.h"

#include <shlobj.h>
#include <windows.h>

#include <cstdio>
#include <vector>

namespace robot {

namespace {

const char* const ShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

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
  FILE* in = std::fopen(path.c_str(), "rb");
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
  char value[MAX_PATH] = {};
  DWORD size = sizeof value;
  if (RegGetValueA(HKEY_CURRENT_USER, ShellFoldersKey, valueName.c_str(),
                   RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, value,
                   &size) != ERROR_SUCCESS)
    return {};
  return value;
}

std::optional<Shortcut> ReadShortcut(const std::string& path) {
  ComScope com;
  Released<IShellLinkA> link;
  Released<IPersistFile> file;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link.p))) ||
      FAILED(link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p))))
    return std::nullopt;
  WCHAR widePath[MAX_PATH];
  if (!MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, MAX_PATH) ||
      FAILED(file.p->Load(widePath, STGM_READ)))
    return std::nullopt;
  Shortcut shortcut;
  char text[MAX_PATH] = {};
  link.p->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
  shortcut.target = text;
  link.p->GetArguments(text, MAX_PATH);
  shortcut.arguments = text;
  link.p->GetDescription(text, MAX_PATH);
  shortcut.description = text;
  link.p->GetWorkingDirectory(text, MAX_PATH);
  shortcut.workingDirectory = text;
  link.p->GetIconLocation(text, MAX_PATH, &shortcut.iconIndex);
  shortcut.iconFile = text;
  return shortcut;
}

}  // namespace robot
