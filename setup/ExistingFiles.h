// What becomes of a file already in the destination where a member is to go: the site
// database stays when the person says so, a replaced file goes into Backup when backups
// were asked for, and a file is deleted only once its replacement is known to fit.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "setup/Installation.h"
#include "toolkit/Exception.h"

class TFileSystem;

// A replaced file that could not be backed up, as the user asked; the file stays as it was.
KESTREL_DECLARE_EXCEPTION(EBackupError);

// The member whose existing file the user may keep, compared in upper case.
extern const char* const SiteDatabaseName;
// The folder under the destination that receives the replaced files.
extern const char* const BackupFolderName;

class TExistingFiles {
public:
  TExistingFiles(TFileSystem& files, const TInstallation& installation);

  // Deals with a file of the member `name` already in the destination, asking
  // `keepSiteDatabase` when it is the site database. True when the member is then to be
  // expanded; false when the existing file is kept. Raises EBackupError when the file is
  // to be replaced and cannot be backed up as asked, and EInsufficientDiskSpace when its
  // replacement would not fit; the file then stays as it was.
  bool MakeRoomFor(const std::string& name, int64_t expandedSize,
                   const std::function<bool()>& keepSiteDatabase);

private:
  void BackUp(const std::string& target, const std::string& name, bool keep);

  TFileSystem& files_;
  const TInstallation& installation_;
  const std::string BackupDir;
  bool backupReady_ = false;
};
