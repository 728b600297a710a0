// The archiver against hostile and damaged archives: extract refuses every name that
// could land outside its folder or that no file name may hold, and then writes nothing at
// all; test and extract name each bad member and fail; every command prints a name as
// text, never as the control characters a terminal would obey; none changes a file that
// was in the folder before.
#include <gtest/gtest.h>

#include <algorithm>
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
  // Whether the text is lines of printable characters, each ended by a newline.
  static bool PlainLines(const std::string& text) {
    return !text.empty() && text.back() == '\n' &&
           std::none_of(text.begin(), text.end(), [](char c) {
             return c != '\n' && (static_cast<unsigned char>(c) < 0x20 || c == '\x7f');
           });
  }

  TScratchFolder dir;
  TSnapshot before;
  std::ostringstream out, err;
};

}  // namespace

// Names that climb out, are rooted, name a drive or server, or hold a control character
// (a NUL, a terminal's command, a newline): each one, even after harmless members, stops
// extract before anything is written, with one line of text that names it.
TEST_F(ArchiverAgainstDamage, ExtractRefusesEveryEscapingNameAndWritesNothing) {
  const struct {
    std::string name;
    std::string said;
  } hostile[] = {
      {"..", "outside"},
      {"..\\x.txt", "outside"},
      {"a\\..\\..\\x.txt", "outside"},
      {"a/../../x.txt", "outside"},
      {"a\\..\\..", "outside"},
      {".\\..\\x.txt", "outside"},
      {"\\x.txt", "outside"},
      {"/x.txt", "outside"},
      {"\\\\server\\share\\x.txt", "outside"},
      {"C:\\x.txt", "outside"},
      {"c:x.txt", "outside"},
      {std::string("ok.txt\0/../../x.txt", 19), "\"ok.txt\\x00/../../x.txt\" has a control"},
      {"\x1b]2;malicious\x07", "\"\\x1b]2;malicious\\x07\" has a control character"},
      {"notes\n.txt", "\"notes\\x0a.txt\" has a control character"},
  };
  for (const auto& [name, said] : hostile) {
    SCOPED_TRACE("member name " + ::testing::PrintToString(name));
    std::vector<TPlainMember> members = ThreeMembers();
    members.push_back({name, kMethodStored, TextBytes("escaped\r\n")});
    const std::string archive = Save("hostile.arc", BuildArchive(members).bytes);
    EXPECT_EQ(Run({"extract", archive, "-C", Target()}), 1);
    const std::string message = err.str();
    EXPECT_NE(message.find(said), std::string::npos) << message;
    EXPECT_TRUE(PlainLines(message) && std::count(message.begin(), message.end(), '\n') == 1)
        << message;
    EXPECT_EQ(DamageToUserFiles(), std::vector<std::string>());
    EXPECT_FALSE(dir.Exists("target\\sites.ini")) << "extract wrote before refusing";
    EXPECT_FALSE(dir.Exists("x.txt"));
  }
}

// Every command prints a name as text: a control character as \xHH, never the byte that a
// terminal would take for a command or a new line, and a "\x" of the name itself apart
// from one that stands for a byte.
TEST_F(ArchiverAgainstDamage, ListAndTestPrintControlCharactersEscaped) {
  const struct {
    std::string name;
    std::string printed;
  } names[] = {
      {"\x1b]2;malicious\x07", "\\x1b]2;malicious\\x07"},
      {"read\nme.txt", "read\\x0ame.txt"},
      {"del\x7f.txt", "del\\x7f.txt"},
      {"Docs\\xfiles\\a.txt", "Docs\\x5cxfiles\\a.txt"},
      {"Docs\\data.bin", "Docs\\data.bin"},
  };
  std::vector<TRawMember> members;
  for (const auto& n : names) {
    members.push_back(Stored(n.name, "text\r\n"));
    members.back().checksum += 1;  // so that test names every member
  }
  const std::string archive = Save("names.arc", BuildRawArchive(members));
  EXPECT_EQ(Run({"list", archive}), 0) << err.str();
  const std::string listing = out.str();
  EXPECT_TRUE(PlainLines(listing)) << listing;
  EXPECT_EQ(Run({"test", archive}), 1);
  const std::string report = err.str();
  EXPECT_TRUE(PlainLines(report)) << report;
  for (const auto& n : names) {
    EXPECT_NE(listing.find("  " + n.printed + "\n"), std::string::npos) << n.printed;
    EXPECT_NE(report.find(": " + n.printed + ": bad checksum\n"), std::string::npos) << n.printed;
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

// A member that does not expand to its checksum, whatever its method (the engine leaves a
// stored member's unchecked): test names it; extract names it too, writes the others and
// fails, and keeps the damaged member's file only when asked to. An earlier file of the
// damaged member's name, which it would have replaced, stays as it was.
TEST_F(ArchiverAgainstDamage, TestAndExtractNameAMemberWithAFlippedByte) {
  const TBuiltArchive built = BuildArchive(ThreeMembers());
  const struct {
    bool keep;
    bool overEarlier;  // the folder holds an earlier file of each member's name
  } ways[] = {{false, false}, {true, false}, {false, true}};
  for (size_t damaged = 0; damaged < ThreeMembers().size(); ++damaged) {
    const std::string& name = ThreeMembers()[damaged].name;
    SCOPED_TRACE(name);
    Bytes bytes = built.bytes;
    bytes[static_cast<size_t>(built.spans[damaged].data + 7)] ^= 0x01;
    const std::string archive = Save("flipped.arc", bytes);
    EXPECT_EQ(Run({"test", archive}), 1);
    EXPECT_NE(err.str().find(name + ": bad checksum"), std::string::npos) << err.str();
    for (const auto& [keep, overEarlier] : ways) {
      const std::string into =
          name + (keep ? "-kept" : "-removed") + (overEarlier ? "-over-earlier" : "");
      std::filesystem::create_directories(dir.Host(into));
      for (const auto& member : ThreeMembers()) {
        if (overEarlier) dir.Write(into + "\\" + member.name, "earlier " + member.name);
      }
      std::vector<std::string> args = {"extract", archive, "-C", dir.Host(into).string()};
      if (keep) args.push_back("--keep-damaged");
      EXPECT_EQ(Run(args), 1);
      EXPECT_NE(err.str().find(name + ": bad checksum"), std::string::npos) << err.str();
      for (const auto& member : ThreeMembers()) {
        if (member.name != name) {
          EXPECT_EQ(dir.ReadBytes(into + "\\" + member.name), member.plain) << member.name;
        } else if (overEarlier && !keep) {
          EXPECT_EQ(dir.Read(into + "\\" + name), "earlier " + name);
        } else {
          EXPECT_EQ(dir.Exists(into + "\\" + name), keep);
        }
      }
      const auto files = std::distance(std::filesystem::directory_iterator(dir.Host(into)), {});
      EXPECT_EQ(files, keep || overEarlier ? 3 : 2) << "a file beside the members";
    }
  }
  EXPECT_EQ(DamageToUserFiles(), std::vector<std::string>());
}
