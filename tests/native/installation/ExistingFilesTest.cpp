// What becomes of the files already in the destination, decided against the engine's file
// system: the platform's own, or a double that is full or refuses a step.
#include <gtest/gtest.h>

#include <functional>

#include "compress/CompressErrors.h"
#include "setup/ExistingFiles.h"
#include "tests/support/FileSystemDoubles.h"
#include "tests/support/ScratchFolder.h"

namespace {

// The members as the archive stores them: the site database in mixed case.
const char* const kMembers[] = {"readme.txt", "Sites.INI", "whatsnew.txt"};
constexpr int64_t kMemberSize = 100;

class ExistingFiles : public ::testing::Test {
protected:
  ExistingFiles() : installation(dest.Path()) {}

  void PlaceOld(const std::string& text) {
    for (const char* name : kMembers) dest.Write(name, text + name);
  }
  void PlaceOldBackups(const std::string& text) {
    for (const char* name : kMembers) dest.Write(std::string("Backup/") + name, text + name);
  }
  std::string Backup(const std::string& name) const { return dest.Read("Backup/" + name); }

  // Deals with every member in turn, as the extraction does; the site-database question is
  // answered `keep` and counted. Returns the members to be expanded.
  std::vector<std::string> MakeRoom(TFileSystem& files, bool keep) {
    TExistingFiles existing(files, installation);
    std::vector<std::string> expand;
    for (const char* name : kMembers) {
      const std::function<bool()> ask = [&] {
        ++asked;
        return keep;
      };
      if (existing.MakeRoomFor(name, kMemberSize, ask)) expand.push_back(name);
    }
    return expand;
  }
  std::vector<std::string> MakeRoom(bool keep) { return MakeRoom(PlatformFileSystem(), keep); }

  TScratchFolder dest;
  TInstallation installation;
  int asked = 0;
};

const std::vector<std::string> kAll(std::begin(kMembers), std::end(kMembers));
const std::vector<std::string> kAllButSites = {"readme.txt", "whatsnew.txt"};

TEST_F(ExistingFiles, AFreshDestinationIsLeftAloneAndAsksNothing) {
  installation.BackupReplaced = true;
  EXPECT_EQ(MakeRoom(true), kAll);
  EXPECT_EQ(asked, 0);
  EXPECT_FALSE(dest.Exists("Backup")) << "no file was replaced";
}

TEST_F(ExistingFiles, WithoutBackupsOldFilesAreDeletedAndOnlyTheSiteDatabaseIsAsked) {
  PlaceOld("old ");
  EXPECT_EQ(MakeRoom(false), kAll);
  EXPECT_EQ(asked, 1);
  for (const char* name : kMembers) EXPECT_FALSE(dest.Exists(name)) << name;
  EXPECT_FALSE(dest.Exists("Backup"));
}

// Kept, the site database stays untouched and no Backup folder is made.
TEST_F(ExistingFiles, AKeptSiteDatabaseWithoutBackupsStaysAsItIs) {
  dest.Write("Sites.INI", "mine");
  EXPECT_EQ(MakeRoom(true), kAllButSites);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(dest.Read("Sites.INI"), "mine");
  EXPECT_FALSE(dest.Exists("Backup"));
}

// With backups, each old file moves into Backup; a second reinstallation replaces the
// older backups, so Backup holds the version just replaced, and a kept site database stays
// while its copy replaces the older one.
TEST_F(ExistingFiles, BackupsHoldTheVersionJustReplaced) {
  installation.BackupReplaced = true;
  PlaceOldBackups("first ");
  PlaceOld("second ");
  EXPECT_EQ(MakeRoom(true), kAllButSites);
  EXPECT_EQ(Backup("readme.txt"), "second readme.txt");
  EXPECT_EQ(Backup("whatsnew.txt"), "second whatsnew.txt");
  EXPECT_FALSE(dest.Exists("readme.txt"));
  EXPECT_EQ(dest.Read("Sites.INI"), "second Sites.INI");
  EXPECT_EQ(Backup("Sites.INI"), "second Sites.INI") << "the kept file's copy";
}

// Backups asked for but impossible: a file where the Backup folder would go, a folder the
// system will not make, a move it refuses (an older backup held open or read-only). The
// error names what failed, and the file stays as it was.
TEST_F(ExistingFiles, AFileThatCannotBeBackedUpStopsAndStays) {
  const struct {
    const char* what;
    TRefusingFileSystem::TRefusals refusals;
    bool fileNamedBackup;
    const char* message;
  } rows[] = {
      {"a file named Backup", {}, true, "Cannot create the backup folder "},
      {"no rights to make the folder",
       {.makeDirectory = true},
       false,
       "Cannot create the backup folder "},
      {"the move refused", {.move = true}, false, "Cannot back up "},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    TScratchFolder folder;
    TInstallation here(folder.Path());
    here.BackupReplaced = true;
    folder.Write("readme.txt", "old readme");
    if (row.fileNamedBackup) folder.Write("Backup", "a file, not a folder");
    TRefusingFileSystem files(row.refusals);
    TExistingFiles existing(files, here);
    try {
      existing.MakeRoomFor("readme.txt", kMemberSize, [] { return false; });
      ADD_FAILURE() << "the file was replaced without its backup";
    } catch (const EBackupError& error) {
      EXPECT_EQ(std::string(error.Message()).rfind(row.message, 0), 0u) << error.Message();
      EXPECT_NE(std::string(error.Message()).find(folder / "Backup"), std::string::npos);
    }
    EXPECT_EQ(folder.Read("readme.txt"), "old readme");
  }
}

// Without backups an old file goes only once its replacement is known to fit: on a disk
// too full for the new version, the old one stays. With backups it is safe in Backup.
TEST_F(ExistingFiles, AnOldFileStaysWhenItsReplacementDoesNotFit) {
  PlaceOld("old ");
  TFreeSpaceDouble fullDisk(0);
  EXPECT_THROW(MakeRoom(fullDisk, false), EInsufficientDiskSpace);
  EXPECT_EQ(dest.Read("readme.txt"), "old readme.txt");

  installation.BackupReplaced = true;
  EXPECT_EQ(MakeRoom(fullDisk, false), kAll);
  EXPECT_EQ(Backup("readme.txt"), "old readme.txt");
}

}  // namespace
