// A disk that refuses: a target folder that cannot be made, an existing target that may
// not be written, a disk that is full or fills while a member is written, a target held
// open by another stream. Each ends with its own error and leaves the files that were
// there as they were.
#include <gtest/gtest.h>

#include <string>

#include "compress/Compress.h"
#include "compress/CompressErrors.h"
#include "tests/support/ArchiveBuilder.h"
#include "tests/support/Bytes.h"
#include "tests/support/FileSystemDoubles.h"
#include "tests/support/FolderSnapshot.h"
#include "tests/support/ScratchFolder.h"
#include "toolkit/Exception.h"
#include "toolkit/FileStream.h"
#include "toolkit/Stream.h"

namespace {

class FailingDisk : public ::testing::Test {
protected:
  FailingDisk() : compress(nullptr) {
    dir.Write("keep.txt", "the user's own notes\r\n");
    compress.SetTargetPath(dir.Path());
  }

  void TakeSnapshot() { before = Snapshot(dir.Host("")); }
  std::vector<std::string> DamageToUserFiles() { return Damaged(before, Snapshot(dir.Host(""))); }

  void Expand() {
    TReadOnlyMemoryStream stream(archive.bytes.data(), static_cast<int64_t>(archive.bytes.size()));
    compress.ExpandMembers(stream, nullptr);
  }

  TScratchFolder dir;
  TSnapshot before;
  TCompress compress;
  TBuiltArchive archive = BuildArchive(ThreeMembers());
};

}  // namespace

// A file stands where the target folder should be made.
TEST_F(FailingDisk, ATargetFolderThatCannotBeMadeRaisesTheSystemError) {
  dir.Write("Kestrel", "a file, not a folder\r\n");
  TakeSnapshot();
  compress.SetTargetPath(dir.Engine("Kestrel\\Program"));
  compress.SetMakeDirectories(true);
  try {
    Expand();
    ADD_FAILURE() << "a folder was made below a file";
  } catch (const EInOutError& e) {
    EXPECT_NE(e.ErrorCode(), 0u);
  }
  EXPECT_EQ(DamageToUserFiles(), std::vector<std::string>());

  // Without MakeDirectories the files cannot be created: passed over, or the creation
  // error when asked for it.
  compress.SetMakeDirectories(false);
  EXPECT_NO_THROW(Expand());
  compress.SetExceptionOnFileError(true);
  EXPECT_THROW(Expand(), EFCreateError);
  EXPECT_EQ(DamageToUserFiles(), std::vector<std::string>());
}

// A read-only file of a member's name cannot be opened for writing while its size is
// measured for the free-space test: the access-denied error ends the call there, whatever
// ExceptionOnFileError says. The members before it are written, none after it.
TEST_F(FailingDisk, AReadOnlyExistingTargetIsLeftAsItWas) {
  dir.Write("sites.ini", "[Sites]\r\nHome=ftp.harrowby.example\r\n");
  MakeReadOnly(dir.Host("sites.ini"));
  TakeSnapshot();
  for (bool raise : {false, true}) {
    SCOPED_TRACE(raise ? "ExceptionOnFileError" : "no ExceptionOnFileError");
    compress.SetExceptionOnFileError(raise);
    try {
      Expand();
      ADD_FAILURE() << "a read-only file was replaced";
    } catch (const EInOutError& e) {
      EXPECT_EQ(e.ErrorCode(), 5u);
      EXPECT_EQ(e.Message(), "File access denied");
    }
    EXPECT_EQ(dir.ReadBytes("readme.txt"), ThreeMembers()[0].plain);
    EXPECT_FALSE(dir.Exists("data.bin"));
    EXPECT_EQ(DamageToUserFiles(), std::vector<std::string>());
  }
}

// The disk reports less room than a member needs, even counting the file it would
// replace: the member is refused by name before its file is created.
TEST_F(FailingDisk, AFullDiskRefusesTheMemberBeforeTouchingItsFile) {
  dir.Write("readme.txt", "an older, shorter readme\r\n");
  TakeSnapshot();
  TSmallDisk disk(/*reportedFree=*/100, /*writable=*/-1);
  compress.SetFileSystem(disk);
  try {
    Expand();
    ADD_FAILURE() << "a member was written to a full disk";
  } catch (const EInsufficientDiskSpace& e) {
    EXPECT_EQ(e.Message(), "Not enough disk space to expand " + dir.Engine("readme.txt"));
  }
  EXPECT_FALSE(dir.Exists("sites.ini"));
  EXPECT_EQ(DamageToUserFiles(), std::vector<std::string>());
}

// The disk says there is room but fills while the second member is written: the write
// error ends the call; the first member stays whole and nothing of the user's changes.
TEST_F(FailingDisk, ADiskThatFillsWhileWritingRaisesTheWriteError) {
  TakeSnapshot();
  TSmallDisk disk(/*reportedFree=*/int64_t{1} << 40,
                  /*writable=*/static_cast<int64_t>(ThreeMembers()[0].plain.size()) + 100);
  compress.SetFileSystem(disk);
  try {
    Expand();
    ADD_FAILURE() << "the expansion ignored a failed write";
  } catch (const EWriteError& e) {
    EXPECT_EQ(e.Message(), "Stream write error");
  }
  EXPECT_EQ(dir.ReadBytes("readme.txt"), ThreeMembers()[0].plain);
  EXPECT_FALSE(dir.Exists("data.bin"));
  EXPECT_EQ(DamageToUserFiles(), std::vector<std::string>());
}

// Another stream of this program holds a member's target open, sharing it for reading
// only. The target must keep its content: the member ends the call with an error or is
// passed over, but is never half replaced.
TEST_F(FailingDisk, ATargetHeldOpenByAnotherStreamKeepsItsContent) {
  dir.Write("sites.ini", "[Sites]\r\nHome=ftp.harrowby.example\r\n");
  TakeSnapshot();
  {
    TFileStream holder(dir.Host("sites.ini").string(), fmOpenRead | fmShareDenyWrite);
    try {
      Expand();
    } catch (const EInOutError&) {
    } catch (const EFCreateError&) {
    }
  }
  EXPECT_EQ(DamageToUserFiles(), std::vector<std::string>());
}
