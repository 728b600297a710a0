// The archiver against hostile and damaged archives: extract refuses every name that
// could land outside its folder and then writes nothing at all; test names each bad
// member and fails; neither changes a file that was in the folder before.
#include <gtest/gtest.h>

#include <sstream>

#include "tests/support/ArchiveBuilder.h"
#include "tests/support/Bytes.h"
#include "tests/support/FolderSnapshot.h"
#include "tests/support/ScratchFolder.h"
#include "tools/archiver/Archiver.h"

namespace {

class ArchiverAgainstDamage : public ::testing::Test {
protected:
  ArchiverAgainstDamage() {
    std::filesystem::create_directories(dir.Host("target"));
    dir.Write("target\\keep.txt", "the user's own notes\r\n");
    dir.Write("target\\readme.txt", "an older readme\r\n");
    before = Snapshot(dir.Host(""));
  }

  int Run(const std::vector<std::string>& args) {
    out.str("");
    err.str("");
    return RunArchiver(args, out, err, false);
  }
  std::string Save(const std::string& name, const Bytes& bytes) {
    dir.Write(name, bytes);
    return dir.Host(name).string();
  }
  std::string Target() const { return dir.Host("target").string(); }
  std::vector<std::string> DamageToUserFiles() { return Damaged(before, Snapshot(dir.Host(""))); }

  TScratchFolder dir;
  TSnapshot before;
  std::ostringstream out, err;
};

}  // namespace

// Names that climb out, are rooted, name a drive or server, or hide a NUL: each one,
// even after harmless members, stops extract before anything is written.
TEST_F(ArchiverAgainstDamage, ExtractRefusesEveryEscapingNameAndWritesNothing) {
  const std::string hostile[] = {"..",
                                 "..\\x.txt",
                                 "a\\..\\..\\x.txt",
                                 "a/../../x.txt",
                                 "a\\..\\..",
                                 ".\\..\\x.txt",
                                 "\\x.txt",
                                 "/x.txt",
                                 "\\\\server\\share\\x.txt",
                                 "C:\\x.txt",
                                 "c:x.txt",
                                 std::string("ok.txt\0/../../x.txt", 19)};
  for (const std::string& name : hostile) {
    SCOPED_TRACE("member name \"" + name + "\"");
    std::vector<TPlainMember> members = ThreeMembers();
    members.push_back({name, kMethodStored, TextBytes("escaped\r\n")});
    const std::string archive = Save("hostile.arc", BuildArchive(members).bytes);
    EXPECT_EQ(Run({"extract", archive, "-C", Target()}), 1);
    // (The message is carried as C text, so it ends at a NUL in the name.)
    if (name.find('\0') == std::string::npos) {
      EXPECT_NE(err.str().find("outside"), std::string::npos) << err.str();
    }
    EXPECT_EQ(DamageToUserFiles(), std::vector<std::string>());
    EXPECT_FALSE(dir.Exists("target\\sites.ini")) << "extract wrote before refusing";
    EXPECT_FALSE(dir.Exists("x.txt"));
  }
}

// A flipped bit in the RLE member and a cut in the stored member's data: test names
// both, and only them, and fails.
TEST_F(ArchiverAgainstDamage, TestNamesEachBadMember) {
  const TBuiltArchive built = BuildArchive(ThreeMembers());
  Bytes bytes = built.bytes;
  bytes[static_cast<size_t>(built.spans[1].data + 3)] ^= 0x04;
  bytes.resize(static_cast<size_t>(built.spans[2].end - 10));
  EXPECT_EQ(Run({"test", Save("bad.arc", bytes)}), 1);
  const std::string report = err.str();
  EXPECT_NE(report.find("sites.ini: bad checksum"), std::string::npos) << report;
  EXPECT_NE(report.find("\"data.bin\" is cut short"), std::string::npos) << report;
  EXPECT_EQ(report.find("readme.txt"), std::string::npos) << report;
  EXPECT_NE(out.str().find("3 member(s) tested"), std::string::npos) << out.str();

  EXPECT_EQ(Run({"extract", Save("bad.arc", bytes), "-C", Target()}), 1);
  EXPECT_EQ(DamageToUserFiles(), std::vector<std::string>());
}

// An archive cut exactly between two members looks complete member by member; only the
// header's total tells that members are missing, and test and extract both say so.
TEST_F(ArchiverAgainstDamage, AnArchiveCutBetweenMembersIsNotTakenForWhole) {
  const TBuiltArchive built = BuildArchive(ThreeMembers());
  const Bytes cut(built.bytes.begin(), built.bytes.begin() + built.spans[1].end);
  const std::string archive = Save("cut.arc", cut);
  EXPECT_EQ(Run({"test", archive}), 1);
  EXPECT_NE(err.str().find("total size"), std::string::npos) << err.str();
  EXPECT_EQ(Run({"extract", archive, "-C", Target()}), 1);
  EXPECT_EQ(DamageToUserFiles(), std::vector<std::string>());
}

// A negative compressed size is a one-line error from every command.
TEST_F(ArchiverAgainstDamage, ANegativeCompressedSizeIsAOneLineError) {
  const TBuiltArchive built = BuildArchive(ThreeMembers());
  Bytes bytes = built.bytes;
  PutInt32(bytes, built.spans[1].header + 12, -25);
  const std::string archive = Save("negative.arc", bytes);
  for (const char* command : {"list", "test"}) {
    SCOPED_TRACE(command);
    EXPECT_EQ(Run({command, archive}), 1);
    EXPECT_NE(err.str().find("negative compressed size"), std::string::npos) << err.str();
  }
  EXPECT_EQ(Run({"extract", archive, "-C", Target()}), 1);
  const std::string message = err.str();
  EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
  EXPECT_EQ(DamageToUserFiles(), std::vector<std::string>());
}

// A stored member carries the checksum of its bytes like any other, but the engine does
// not test it; test must, or a damaged stored member passes as good.
TEST_F(ArchiverAgainstDamage, TestNamesAStoredMemberWithAFlippedByte) {
  const TBuiltArchive built = BuildArchive(ThreeMembers());
  Bytes bytes = built.bytes;
  bytes[static_cast<size_t>(built.spans[2].data + 7)] ^= 0x01;
  EXPECT_EQ(Run({"test", Save("stored.arc", bytes)}), 1);
  EXPECT_NE(err.str().find("data.bin"), std::string::npos) << err.str();
}
