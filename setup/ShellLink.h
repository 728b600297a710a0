// The shell-link unit: the per-user shell folders from the registry and the two-pass
// writing of a shortcut file through the platform's shell-link object.
#pragma once

#include <shlobj.h>
#include <windows.h>

#include <cstdint>
#include <string>

#include "setup/Installation.h"
#include "toolkit/Exception.h"
#include "toolkit/Handles_win32.h"

KESTREL_DECLARE_EXCEPTION(EShellOleError);

// The description of one shortcut.
struct TShellLinkInfo {
  std::string PathName;
  std::string Arguments;
  std::string Description;
  std::string WorkingDirectory;
  std::string IconLocation;
  int32_t IconIndex = 0;
  int32_t ShowCommand = SW_SHOWNORMAL;
  uint16_t HotKey = 0;
};

// Raises EShellOleError for a failure code (severity bit set). Success codes pass,
// including S_FALSE, which the shell answers to SetPath for a target it cannot find.
void ShellOleCheck(HRESULT result);

// Makes a shell-link object. The default creates the platform's object; tests put a
// double in its place. The link's texts go to its 16-bit interface, converted from the
// program's code page here (WideText): the platform's 8-bit interface may convert them in
// another code page than the process's.
using TShellLinkFactory = HRESULT (*)(IShellLinkW** link);
TShellLinkFactory SetShellLinkFactory(TShellLinkFactory factory);
ComPtr<IShellLinkW> NewShellLinkObject();

// The registry key under HKEY_CURRENT_USER that lists the user's shell folders.
extern const char* const ShellFoldersKey;

// One per-user shell folder, as stored in the registry; raises ERegistryException.
std::string GetShellFolder(const std::string& valueName);

// The file-name part of `name` with its extension replaced by `extension`.
std::string ReplaceExtension(const std::string& name, const std::string& extension);

// 1-based position of the last occurrence of `substring` in `text`, or 0.
int LastPos(const std::string& substring, const std::string& text);

// First pass: a link to `programName` saved in the shell folder `folderValueName`, named
// after the program. Returns the path of the link file.
std::string CreateShellLink(const std::string& programName, const std::string& description,
                            const std::string& folderValueName);

// Second pass: loads the link file, sets every field of `info` and saves it again.
void UpdateShellLink(const std::string& linkPath, const TShellLinkInfo& info);

// The shortcut record for a program installed in `destDirSlash` (ending in "\"), started
// from the setup program whose full path is `setupProgramPath`.
TShellLinkInfo KestrelShortcut(const std::string& destDirSlash,
                               const std::string& setupProgramPath);

// The full path of the running program's own file.
std::string ProgramFilePath();

// Writes Kestrel.lnk, pointing at the program installed in the installation's DestDirSlash,
// into the user's Programs folder and into the SendTo folder.
void CreateShortcuts(const TInstallation& installation);
