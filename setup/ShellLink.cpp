#include "setup/ShellLink.h"

#include <ole2.h>

#include "toolkit/Characters.h"
#include "toolkit/Format.h"
#include "toolkit/win32/Paths.h"
#include "toolkit/win32/Registry.h"
#include "toolkit/win32/WideText.h"

namespace {

const char* const ShellOleErrorFormat =
    "OLE function call failed. HResult is $%lX. GetLastError is $%lX";
const char* const FolderKeyNotFoundFormat = "Folder key \"%s\" not found";
const char* const ItemNotFoundFormat = "\"%s\" item not found in registry";

const char* const ProgramName = "Kestrel";
const char* const ProgramFileName = "KESTREL.EXE";
const char* const LinkExtension = "lnk";
const char* const ProgramsFolder = "Programs";
const char* const SendToFolder = "SendTo";

// IPersistFile::Load mode: read access, others denied writing.
const DWORD LinkLoadMode = STGM_READ | STGM_SHARE_DENY_WRITE;
// IShellLinkW::Resolve flags: no user interface, any match, update the link.
const DWORD LinkResolveFlags = SLR_NO_UI | SLR_ANY_MATCH | SLR_UPDATE;
// Characters of a file-name part kept by ReplaceExtension.
const size_t MaxFileNameLength = 255;

HRESULT CreatePlatformShellLink(IShellLinkW** link) {
  return CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                          reinterpret_cast<void**>(link));
}

TShellLinkFactory shellLinkFactory = CreatePlatformShellLink;

// A link path as the 16-bit text IPersistFile takes, in a buffer of MAX_PATH 16-bit units;
// a path too long for it becomes empty text, which the shell then refuses.
struct TWidePath {
  explicit TWidePath(const std::string& path) {
    if (MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, text, MAX_PATH) == 0) text[0] = 0;
  }
  WCHAR text[MAX_PATH];
};

// Everything of a path up to and including its last "\" or ":".
std::string ExtractFilePath(const std::string& path) {
  const size_t separator = FindLastCharacterOf(path, "\\:");
  return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

std::string ExtractFileName(const std::string& path) {
  const size_t separator = FindLastCharacterOf(path, "\\:");
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

}  // namespace

const char* const ShellFoldersKey =
    "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

void ShellOleCheck(HRESULT result) {
  if (SUCCEEDED(result)) return;
  const DWORD lastError = GetLastError();
  throw EShellOleError(Format(ShellOleErrorFormat, static_cast<unsigned long>(result),
                              static_cast<unsigned long>(lastError)));
}

TShellLinkFactory SetShellLinkFactory(TShellLinkFactory factory) {
  const TShellLinkFactory previous = shellLinkFactory;
  shellLinkFactory = factory ? factory : CreatePlatformShellLink;
  return previous;
}

ComPtr<IShellLinkW> NewShellLinkObject() {
  ComPtr<IShellLinkW> link;
  ShellOleCheck(shellLinkFactory(link.Receive()));
  return link;
}

std::string GetShellFolder(const std::string& valueName) {
  TRegistry registry(KEY_READ);
  registry.SetRootKey(HKEY_CURRENT_USER);
  // The accessor takes the key relative to its root, without the leading "\".
  if (!registry.OpenKey(ShellFoldersKey + 1, false))
    throw ERegistryException(Format(FolderKeyNotFoundFormat, ShellFoldersKey));
  std::string folder = registry.ReadString(valueName);
  if (folder.empty()) throw ERegistryException(Format(ItemNotFoundFormat, valueName.c_str()));
  registry.CloseKey();
  return folder;
}

int LastPos(const std::string& substring, const std::string& text) {
  if (substring.size() > text.size()) return 0;
  for (size_t i = text.size() - substring.size() + 1; i >= 1; --i) {
    if (text.compare(i - 1, substring.size(), substring) == 0) return static_cast<int>(i);
  }
  return 0;
}

std::string ReplaceExtension(const std::string& name, const std::string& extension) {
  std::string fileName = ExtractFileName(name).substr(0, MaxFileNameLength);
  const int dot = LastPos(".", fileName);
  if (dot > 0) fileName.erase(static_cast<size_t>(dot - 1));
  return fileName + "." + extension;
}

std::string CreateShellLink(const std::string& programName, const std::string& description,
                            const std::string& folderValueName) {
  ComPtr<IShellLinkW> link = NewShellLinkObject();
  ComPtr<IPersistFile> file;
  ShellOleCheck(link->QueryInterface(IID_IPersistFile, file.ReceiveVoid()));
  ShellOleCheck(link->SetPath(WideText(programName).c_str()));
  if (!description.empty()) ShellOleCheck(link->SetDescription(WideText(description).c_str()));
  const std::string linkPath =
      GetShellFolder(folderValueName) + "\\" + ReplaceExtension(programName, LinkExtension);
  const TWidePath widePath(linkPath);
  file->Save(widePath.text, TRUE);  // a failed save shows when the second pass loads it
  return linkPath;
}

void UpdateShellLink(const std::string& linkPath, const TShellLinkInfo& info) {
  ComPtr<IShellLinkW> link = NewShellLinkObject();
  ComPtr<IPersistFile> file;
  ShellOleCheck(link->QueryInterface(IID_IPersistFile, file.ReceiveVoid()));
  const TWidePath widePath(linkPath);
  ShellOleCheck(file->Load(widePath.text, LinkLoadMode));
  ShellOleCheck(link->Resolve(nullptr, LinkResolveFlags));
  ShellOleCheck(link->SetPath(WideText(info.PathName).c_str()));
  ShellOleCheck(link->SetArguments(WideText(info.Arguments).c_str()));
  ShellOleCheck(link->SetDescription(WideText(info.Description).c_str()));
  ShellOleCheck(link->SetWorkingDirectory(WideText(info.WorkingDirectory).c_str()));
  ShellOleCheck(link->SetIconLocation(WideText(info.IconLocation).c_str(), info.IconIndex));
  ShellOleCheck(link->SetShowCmd(info.ShowCommand));
  ShellOleCheck(link->SetHotkey(info.HotKey));
  // Unlike the first pass, nothing after this would notice a failure: a read-only link
  // from an earlier installation would keep its old target behind a reported success.
  ShellOleCheck(file->Save(widePath.text, TRUE));
}

TShellLinkInfo KestrelShortcut(const std::string& destDirSlash,
                               const std::string& setupProgramPath) {
  TShellLinkInfo info;
  info.PathName = destDirSlash + ProgramFileName;
  info.Description = info.PathName;
  info.WorkingDirectory = ExtractFilePath(setupProgramPath);
  info.IconLocation = info.PathName;
  info.IconIndex = 0;
  info.ShowCommand = SW_SHOWNORMAL;
  info.HotKey = 0;
  return info;
}

std::string ProgramFilePath() {
  return GrownBuffer(
      [](DWORD size, char* buffer) { return GetModuleFileNameA(nullptr, buffer, size); });
}

void CreateShortcuts(const TInstallation& installation) {
  const TShellLinkInfo info = KestrelShortcut(installation.DestDirSlash, ProgramFilePath());
  UpdateShellLink(CreateShellLink(ProgramName, "", ProgramsFolder), info);
  UpdateShellLink(CreateShellLink(ProgramName, "", SendToFolder), info);
}
