#include "setup/CopyForm.h"

#include <windows.h>

#include <memory>

#include "compress/CompressErrors.h"
#include "setup/CompressComponent.h"
#include "setup/Questions.h"
#include "setup/SetupState.h"
#include "toolkit/Format.h"
#include "toolkit/Stream.h"
#include "toolkit/StringList.h"
#include "toolkit/win32/Application.h"
#include "toolkit/win32/Dialogs.h"

const char* const ArchiveResourceName = "data";
const char* const SiteDatabaseName = "SITES.INI";
const char* const BackupFolderName = "Backup";

namespace {
constexpr const char* kLayoutResource = "FRMCOPY";
constexpr const char* kExtractingPrefix = "Extracting: ";
constexpr const char* kKeepSiteDatabaseQuestion =
    "There is currently a site database file. Do you want to keep the existing file? ";
constexpr const char* kNoBackupFolder = "Cannot create the backup folder %s";
constexpr const char* kCannotBackUp = "Cannot back up %s into %s";

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}
}  // namespace

TfrmCopy::TfrmCopy(TComponent* owner) : TForm(owner) {
  RegisterGauge();
  RegisterCompressComponent();
  LoadLayout(kLayoutResource,
             {
                 {"btnCopyCancelClick", Handler(&TfrmCopy::btnCopyCancelClick)},
                 {"Compress1ShowProgress", Handler(&TfrmCopy::Compress1ShowProgress)},
             });
  BindField(Panel3, "Panel3");
  BindField(Gauge1, "Gauge1");
  BindField(Label1, "Label1");
  BindField(Label2, "Label2");
  BindField(btnCopyCancel, "btnCopyCancel");
  BindField(Compress1, "Compress1");
  DoCreate();
}

void TfrmCopy::ExtractFiles() {
  bool backupReady = false;
  const std::unique_ptr<TStream> archive = TCompress::OpenArchiveResource(ArchiveResourceName, "");
  Compress1->SetMakeDirectories(true);
  Compress1->SetTargetPath(DestDir);
  TStringList members(/*ownsObjects=*/true);
  TStringList oneName;
  Compress1->ReadMemberList(*archive, members);
  MemberCount = members.Count();
  DestDirSlash = AppendBackslash(DestDir);
  const std::string backupDir = DestDirSlash + BackupFolderName;

  for (int i = 0; i < MemberCount; ++i) {
    const std::string name = members[i];
    const auto& member = static_cast<const TCompressedFileInfo&>(*members.Objects(i));
    bool keep = false;
    Label1->SetCaption(kExtractingPrefix + name);
    Application->ProcessMessages();
    const std::string target = DestDirSlash + name;
    if (FileExists(target)) {
      if (UpperCaseAscii(name) == SiteDatabaseName)
        keep = AskYesUnlessClosing(kKeepSiteDatabaseQuestion);
      if (BackupReplaced) {
        if (!backupReady) {
          CreateDirectoryA(backupDir.c_str(), nullptr);
          backupReady = DirectoryExists(backupDir);
        }
        const std::string backupPath = AppendBackslash(backupDir) + name;
        if (keep) {
          // The kept file stays where it is whatever becomes of its copy.
          if (backupReady) CopyFileA(target.c_str(), backupPath.c_str(), FALSE);
        } else {
          // The user asked for backups: a file that cannot be backed up is not replaced.
          if (!backupReady) throw EBackupError(Format(kNoBackupFolder, backupDir.c_str()));
          // Replacing an older backup of the same name keeps in Backup the version just
          // replaced.
          if (!MoveFileExA(target.c_str(), backupPath.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED))
            throw EBackupError(Format(kCannotBackUp, target.c_str(), backupDir.c_str()));
        }
      }
      // Without a backup the old file goes only once its replacement is known to fit.
      if (!keep && FileExists(target)) {
        if (Compress1->FreeSpaceFor(target) < member.ExpandedSize)
          throw EInsufficientDiskSpace(target);
        DeleteFileA(target.c_str());
      }
    }
    if (!keep) {
      oneName.Clear();
      oneName.Add(name);
      Compress1->ExpandMembers(*archive, &oneName);
    }
  }
}

// The engine reports each block's cumulative percentage of the member; each report is added
// as it comes, divided among the members, and the gauge keeps the sum within its range.
void TfrmCopy::Compress1ShowProgress(int32_t& PercentageDone) {
  Gauge1->SetProgress(Gauge1->Progress() + PercentageDone / MemberCount);
}

// The window has no close query, so closing hides it; the extraction goes on regardless.
void TfrmCopy::btnCopyCancelClick(TObject*) {
  Close();
}
