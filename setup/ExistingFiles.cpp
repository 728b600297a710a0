#include "setup/ExistingFiles.h"

#include "compress/CompressErrors.h"
#include "compress/FileSystem.h"
#include "toolkit/Format.h"
#include "toolkit/StringList.h"

const char* const SiteDatabaseName = "SITES.INI";
const char* const BackupFolderName = "Backup";

namespace {
constexpr const char* kNoBackupFolder = "Cannot create the backup folder %s";
constexpr const char* kCannotBackUp = "Cannot back up %s into %s";
}  // namespace

TExistingFiles::TExistingFiles(TFileSystem& files, const TInstallation& installation)
    : files_(files),
      installation_(installation),
      BackupDir(installation.DestDirSlash + BackupFolderName) {}

bool TExistingFiles::MakeRoomFor(const std::string& name, int64_t expandedSize,
                                 const std::function<bool()>& keepSiteDatabase) {
  const std::string target = installation_.DestDirSlash + name;
  if (!files_.FileExists(target)) return true;
  const bool keep = UpperCaseAscii(name) == SiteDatabaseName && keepSiteDatabase();
  if (installation_.BackupReplaced) BackUp(target, name, keep);
  if (keep) return false;
  // Not backed up: the old file goes only once its replacement is known to fit.
  if (files_.FileExists(target)) {
    if (RoomFor(files_, target) < expandedSize) throw EInsufficientDiskSpace(target);
    files_.RemoveFile(target);  // a file that stays is replaced, or refused, as it is written
  }
  return true;
}

void TExistingFiles::BackUp(const std::string& target, const std::string& name, bool keep) {
  if (!backupReady_) {
    try {
      files_.MakeDirectory(BackupDir);
    } catch (const EInOutError&) {
      // Already there, or impossible: whether it is a folder now is what counts.
    }
    backupReady_ = files_.DirectoryExists(BackupDir);
  }
  const std::string backupPath = AppendBackslash(BackupDir) + name;
  if (keep) {
    // The kept file stays where it is whatever becomes of its copy.
    if (backupReady_) files_.CopyReplacing(target, backupPath);
    return;
  }
  // The user asked for backups: a file that cannot be backed up is not replaced. An older
  // backup of the same name gives way to the version just replaced.
  if (!backupReady_) throw EBackupError(Format(kNoBackupFolder, BackupDir.c_str()));
  if (!files_.MoveReplacing(target, backupPath))
    throw EBackupError(Format(kCannotBackUp, target.c_str(), BackupDir.c_str()));
}
