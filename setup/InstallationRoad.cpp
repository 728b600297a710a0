#include "setup/InstallationRoad.h"

#include <windows.h>

#include <vector>

#include "compress/FileSystem.h"
#include "setup/CopyForm.h"
#include "setup/Questions.h"
#include "setup/ShellLink.h"
#include "toolkit/Characters.h"
#include "toolkit/Format.h"
#include "toolkit/Handles_win32.h"
#include "toolkit/win32/Application.h"
#include "toolkit/win32/Dialogs.h"
#include "toolkit/win32/Paths.h"

namespace {
constexpr const char* kCreateQuestion = "The directory %s does not exist. Create it?";
constexpr const char* kBackupQuestion = "Do you want to backup replaced files ?";
constexpr const char* kShortcutQuestion = "Add a shortcut to the Start Menu?";
constexpr const char* kReadmeQuestion = "Do you want to view the README file now?";
constexpr const char* kCompleteNotice = "Kestrel Setup Complete.";
constexpr const char* kReadmeViewer = "notepad ";
constexpr const char* kReadmeViewerFile = "notepad.exe";
constexpr const char* kReadmeName = "readme.txt";

TCommandStarter& CommandStarter() {
  static TCommandStarter starter = &StartSystemNotepad;
  return starter;
}

bool IsDriveLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool SameLetter(char a, char b) {
  return IsDriveLetter(a) && IsDriveLetter(b) && (a | 0x20) == (b | 0x20);
}

// "C:" of "C:\x"; "\\server\share" of a network folder.
std::string RootOf(const std::string& folder) {
  const std::string root = folder.substr(0, RootLength(folder));
  return EndsWithCharacter(root, '\\') ? root.substr(0, root.size() - 1) : root;
}
}  // namespace

// Notepad from the Windows folder, named by its full path: a bare "notepad" is searched in
// setup.exe's own folder first, and a notepad.exe lying beside a downloaded setup.exe
// would run with the setup's administrator rights. The command line stays as it reads.
void StartSystemNotepad(const std::string& commandLine) {
  const std::string windows =
      GrownBuffer([](DWORD size, char* buffer) { return GetWindowsDirectoryA(buffer, size); });
  if (windows.empty()) return;
  const std::string program = windows + "\\" + kReadmeViewerFile;
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION started{};
  // Notepad missing is not reported, and the setup does not wait for it.
  if (CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                     &startup, &started)) {
    const KernelHandle thread(started.hThread), process(started.hProcess);
  }
}

TCommandStarter SetCommandStarter(TCommandStarter starter) {
  TCommandStarter previous = std::move(CommandStarter());
  CommandStarter() = starter ? std::move(starter) : TCommandStarter(&StartSystemNotepad);
  return previous;
}

std::string AbsoluteDestination(const std::string& typed, const std::string& listFolder) {
  const bool hasDrive = typed.size() >= 2 && typed[1] == ':' && IsDriveLetter(typed[0]);
  const bool rooted = !typed.empty() && typed[0] == '\\';
  const bool network = rooted && typed.size() >= 2 && typed[1] == '\\';
  std::string path;
  if (network || (hasDrive && typed.size() >= 3 && typed[2] == '\\'))
    path = typed;  // already whole
  else if (rooted)
    path = RootOf(listFolder) + typed;  // "\x": on the list's drive
  else if (hasDrive && !SameLetter(typed[0], listFolder.empty() ? '\0' : listFolder[0]))
    path = typed;  // "D:x": below the current folder of another drive, as the system keeps it
  else if (typed.size() > (hasDrive ? 2u : 0u))
    path = AppendBackslash(listFolder) + typed.substr(hasDrive ? 2 : 0);
  else
    path = listFolder;  // nothing typed, or only the list's own drive
  return FullPath(path);
}

std::string ReadmeCommandLine(const std::string& destDir) {
  return kReadmeViewer + AppendBackslash(destDir) + kReadmeName;
}

bool ConfirmDestination(const TInstallation& installation) {
  const std::string& destDir = installation.DestDir;
  if (PlatformFileSystem().DirectoryExists(destDir)) return true;
  if (!AskYes(Format(kCreateQuestion, destDir.c_str()), mtConfirmation)) return false;
  // One level only; a failure is left to the archive component, which creates the folders
  // of each member as it writes it.
  CreateDirectoryA(destDir.c_str(), nullptr);
  return true;
}

void RunInstallation(TInstallation& installation) {
  installation.BackupReplaced = AskYesUnlessClosing(kBackupQuestion);

  // Owned by the application: when the extraction raises, the window stays on screen
  // with what it showed last, and goes with the application.
  auto* frmCopy = new TfrmCopy(Application, installation);
  frmCopy->Show();
  frmCopy->ExtractFiles();
  delete frmCopy;

  if (AskYes(kShortcutQuestion, mtConfirmation)) CreateShortcuts(installation);
  if (AskYes(kReadmeQuestion, mtInformation))
    CommandStarter()(ReadmeCommandLine(installation.DestDir));
  MessageDlg(kCompleteNotice, mtCustom, mbOKButton);
  Application->Terminate();
}
