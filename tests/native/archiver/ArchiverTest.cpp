// The archiver end to end, through its command line, in-process.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>

#include "compress/compressor/MethodCompressors.h"
#include "tests/support/ArchiveBuilder.h"
#include "tests/support/Bytes.h"
#include "tests/support/SampleData.h"
#include "tests/support/ScratchFolder.h"
#include "tools/archiver/Archiver.h"

namespace {

class Archiver : public ::testing::Test {
protected:
  int Run(const std::vector<std::string>& args) {
    out.str("");
    err.str("");
    return RunArchiver(args, out, err, false);
  }
  std::string At(const std::string& relative) { return dir.Host(relative).string(); }

  // Three inputs: text, a binary file with long runs, and an empty file.
  void MakeInputs() {
    std::filesystem::create_directories(dir.Host("in"));
    std::string text;
    for (int i = 0; i < 200; ++i) text += "Line " + std::to_string(i) + " of the readme.\r\n";
    dir.Write("in/readme.txt", text);
    Bytes binary = RandomBytesWithout94(5000, 9);
    binary.insert(binary.end(), 3000, 0x94);
    binary.insert(binary.end(), 4000, 0x00);
    dir.Write("in/data.bin", std::string(binary.begin(), binary.end()));
    dir.Write("in/empty.txt", "");
  }
  std::vector<std::string> CreateArgs(const std::string& archive, const std::string& method) {
    return {"create",
            At(archive),
            "--method",
            method,
            "--mtime",
            "1997-12-21T21:14:26",
            At("in/readme.txt"),
            "Docs\\data.bin=" + At("in/data.bin"),
            At("in/empty.txt")};
  }

  TScratchFolder dir;
  std::ostringstream out, err;
};

// An error channel that runs an action when the first text reaches it: create's first
// progress line, which comes once the first block of a large input has been read.
class TOnFirstWrite : public std::stringbuf {
public:
  explicit TOnFirstWrite(std::function<void()> action) : action_(std::move(action)) {}

protected:
  std::streamsize xsputn(const char* text, std::streamsize count) override {
    Fire();
    return std::stringbuf::xsputn(text, count);
  }
  int_type overflow(int_type c) override {
    Fire();
    return std::stringbuf::overflow(c);
  }

private:
  void Fire() {
    if (!action_) return;
    const std::function<void()> action = std::move(action_);
    action_ = nullptr;
    action();
  }
  std::function<void()> action_;
};

}  // namespace

TEST_F(Archiver, CreateListTestExtractRoundTripForEveryMethod) {
  MakeInputs();
  for (const TMethodCompressor& offered : kMethodCompressors) {
    const std::string method = offered.Name;
    SCOPED_TRACE(method);
    ASSERT_EQ(Run(CreateArgs("a.arc", method)), 0) << err.str();
    EXPECT_EQ(out.str(), "");  // create is quiet unless asked

    ASSERT_EQ(Run({"list", At("a.arc")}), 0) << err.str();
    const std::string listing = out.str();
    for (const char* name : {"readme.txt", "Docs\\data.bin", "empty.txt"}) {
      EXPECT_NE(listing.find(name), std::string::npos) << name;
    }
    EXPECT_NE(listing.find("1997-12-21 21:14:26"), std::string::npos);
    EXPECT_NE(listing.find("3 member(s)"), std::string::npos);

    ASSERT_EQ(Run({"test", At("a.arc")}), 0) << err.str();
    EXPECT_EQ(out.str(), "3 member(s) tested, 0 bad\n");

    const std::string target = "out-" + method;
    std::filesystem::create_directories(dir.Host(target));
    ASSERT_EQ(Run({"extract", At("a.arc"), "-C", At(target)}), 0) << err.str();
    EXPECT_EQ(dir.Read(target + "/readme.txt"), dir.Read("in/readme.txt"));
    EXPECT_EQ(dir.Read(target + "/Docs/data.bin"), dir.Read("in/data.bin"));
    ASSERT_TRUE(dir.Exists(target + "/empty.txt"));  // the empty last member too
    EXPECT_EQ(dir.Read(target + "/empty.txt"), "");
  }
}

TEST_F(Archiver, FixedDateGivesByteIdenticalArchivesWithTheDocumentedHeader) {
  MakeInputs();
  ASSERT_EQ(Run(CreateArgs("one.arc", "lzh")), 0) << err.str();
  ASSERT_EQ(Run(CreateArgs("two.arc", "lzh")), 0) << err.str();
  const std::string one = dir.Read("one.arc");
  EXPECT_EQ(one, dir.Read("two.arc"));
  const size_t total = dir.Read("in/readme.txt").size() + 12000;
  const std::string header = std::string("QUIX\x1ALZH", 8) +
                             std::string{char(total & 0xFF), char(total >> 8 & 0xFF), 0, 0} +
                             std::string("\x01\0\0\0\0\0\0\0\0", 9);
  EXPECT_EQ(one.substr(0, 21), header);
  // The first member: name length 10, the fixed date, attributes 0x20.
  EXPECT_EQ(one.substr(21, 8), std::string("\x0A\x00\xCD\xA9\x95\x23\x20\x00", 8));
  EXPECT_EQ(one.substr(21 + 25, 10), "readme.txt");

  ASSERT_EQ(Run({"create", At("none.arc"), "--method=none", "--mtime=1997-12-21T21:14:26",
                 At("in/empty.txt")}),
            0);
  EXPECT_EQ(dir.Read("none.arc").substr(5, 3), "NON");
}

// A read-only input gives a read-only member unless the attributes are stated; the payload
// states them, so a read-only checkout packs the very same bytes (and installs files that
// the next installation can replace).
TEST_F(Archiver, StatedAttributesMakeTheSameArchiveFromReadOnlyFiles) {
  MakeInputs();
  for (const char* name : {"in/readme.txt", "in/data.bin", "in/empty.txt"})
    std::filesystem::permissions(dir.Host(name),
                                 std::filesystem::perms::owner_write |
                                     std::filesystem::perms::group_write |
                                     std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
  ASSERT_EQ(Run(CreateArgs("derived.arc", "lzh")), 0) << err.str();
  EXPECT_EQ(dir.Read("derived.arc")[21 + 6], '\x21');
  std::vector<std::string> stated = CreateArgs("stated.arc", "lzh");
  stated.insert(stated.begin() + 2, {"--attributes", "0x20"});
  ASSERT_EQ(Run(stated), 0) << err.str();
  EXPECT_EQ(dir.Read("stated.arc")[21 + 6], '\x20');
  EXPECT_EQ(Run({"create", At("x.arc"), "--attributes", "0x120", At("in/empty.txt")}), 2);

#ifdef KESTREL_PAYLOAD_ARCHIVE
  std::vector<std::string> args = {"create", At("payload.arc")};
  std::string options = KESTREL_PAYLOAD_OPTIONS;
  for (size_t start = 0, bar; start <= options.size(); start = bar + 1) {
    bar = std::min(options.find('|', start), options.size());
    args.push_back(options.substr(start, bar - start));
  }
  for (const std::string name :
       {"Kestrel.exe", "Kestrel.hlp", "readme.txt", "sites.ini", "whatsnew.txt"}) {
    const std::string from = name == "Kestrel.exe"
                                 ? std::string(KESTREL_STAND_IN)
                                 : std::string(KESTREL_PAYLOAD_SOURCES) + "/" + name;
    std::filesystem::copy_file(from, At(name));
    std::filesystem::permissions(At(name), std::filesystem::perms::owner_read,
                                 std::filesystem::perm_options::replace);
    args.push_back(name + "=" + At(name));
  }
  ASSERT_EQ(Run(args), 0) << err.str();
  std::ifstream built(KESTREL_PAYLOAD_ARCHIVE, std::ios::binary);
  const std::string builtBytes{std::istreambuf_iterator<char>(built), {}};
  EXPECT_TRUE(dir.Read("payload.arc") == builtBytes)
      << "the payload differs from a read-only checkout";
#endif
}

TEST_F(Archiver, TestNamesTheMemberWithACorruptedByte) {
  MakeInputs();
  ASSERT_EQ(Run(CreateArgs("a.arc", "lzh")), 0) << err.str();
  std::string bytes = dir.Read("a.arc");
  const size_t firstData = 21 + 25 + 10;
  bytes[firstData + 100] ^= 0x10;
  dir.Write("bad.arc", bytes);
  EXPECT_EQ(Run({"test", At("bad.arc")}), 1);
  EXPECT_NE(err.str().find("readme.txt: bad checksum"), std::string::npos) << err.str();
  EXPECT_EQ(err.str().find("data.bin"), std::string::npos) << err.str();
  EXPECT_EQ(out.str(), "3 member(s) tested, 1 bad\n");
}

TEST_F(Archiver, TruncatedArchiveIsAOneLineErrorAndExtractsNothing) {
  MakeInputs();
  ASSERT_EQ(Run(CreateArgs("a.arc", "lzh")), 0) << err.str();
  const std::string bytes = dir.Read("a.arc");
  for (size_t keep : {bytes.size() - 30, size_t{30}, size_t{10}, size_t{0}}) {
    SCOPED_TRACE(keep);
    dir.Write("cut.arc", bytes.substr(0, keep));
    EXPECT_EQ(Run({"test", At("cut.arc")}), 1);
    EXPECT_NE(err.str().find("cut.arc"), std::string::npos) << err.str();
    std::filesystem::create_directories(dir.Host("cut"));
    EXPECT_EQ(Run({"extract", At("cut.arc"), "-C", At("cut")}), 1);
    const std::string message = err.str();
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
    EXPECT_TRUE(std::filesystem::is_empty(dir.Host("cut")));
  }
  dir.Write("garbage.arc", std::string(100, 'x'));
  EXPECT_EQ(Run({"list", At("garbage.arc")}), 1);
  EXPECT_NE(err.str().find("Can't recognize compressed file header"), std::string::npos);
}

TEST_F(Archiver, ExtractRefusesNamesThatEscapeTheFolder) {
  MakeInputs();
  std::filesystem::create_directories(dir.Host("target"));
  for (const std::string hostile : {"..\\evil.txt", "Docs\\..\\..\\evil.txt", "\\evil.txt",
                                    "C:evil.txt", "../evil.txt", "/evil.txt"}) {
    SCOPED_TRACE(hostile);
    ASSERT_EQ(Run({"create", At("h.arc"), At("in/readme.txt"), hostile + "=" + At("in/empty.txt")}),
              0)
        << err.str();
    EXPECT_EQ(Run({"extract", At("h.arc"), "-C", At("target")}), 1);
    EXPECT_NE(err.str().find("outside"), std::string::npos) << err.str();
    EXPECT_TRUE(std::filesystem::is_empty(dir.Host("target")));
    // Naming only a harmless member extracts it.
    EXPECT_EQ(Run({"extract", At("h.arc"), "-C", At("target"), "README.TXT"}), 0) << err.str();
    std::filesystem::remove(dir.Host("target/readme.txt"));
  }
  EXPECT_FALSE(dir.Exists("evil.txt"));
}

TEST_F(Archiver, CommandLineMistakesAreUsageErrors) {
  EXPECT_EQ(Run({"--help"}), 0);
  EXPECT_NE(out.str().find("archiver create OUT"), std::string::npos);
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {},
           {"frobnicate"},
           {"create", "x.arc"},
           {"create", "x.arc", "--method", "zip", "f"},
           {"create", "x.arc", "--mtime", "1979-01-01T00:00:00", "f"},
           {"create", "x.arc", "--mtime", "2001-02-30T00:00:00", "f"},
           {"create", "x.arc", "--bogus", "f"},
           {"list"},
           {"test", "a", "b"},
           {"extract", "a.arc"}}) {
    EXPECT_EQ(Run(args), 2) << (args.empty() ? "" : args[0]);
    EXPECT_NE(err.str().find("--help"), std::string::npos);
  }
}

// The member header holds the size the file had when it was opened; a file that changes
// while it is packed would give a member that does not match it, so create fails, naming
// the file, and leaves no archive.
TEST_F(Archiver, AFileThatChangesWhileItIsPackedFailsCreate) {
#ifdef _WIN32
  GTEST_SKIP() << "an input is opened denying writes: it cannot change while it is packed";
#endif
  struct TChange {
    const char* what;
    const char* method;
    std::function<void(const std::filesystem::path&)> change;
  };
  const TChange changes[] = {
      {"shrinks", "rle", [](const auto& file) { std::filesystem::resize_file(file, 20000); }},
      {"grows", "lzh",
       [](const auto& file) { std::ofstream(file, std::ios::app) << std::string(5000, 'g'); }},
  };
  std::string text;
  while (text.size() < 1200000) text += "A line of a large file packed with progress.\r\n";
  for (const auto& c : changes) {
    SCOPED_TRACE(c.what);
    dir.Write("small.txt", "packed whole before the large file\r\n");
    dir.Write("large.txt", text);
    TOnFirstWrite changeOnProgress([&] { c.change(dir.Host("large.txt")); });
    std::ostream progressErr(&changeOnProgress);
    const int status =
        RunArchiver({"create", At("x.arc"), "--method", c.method, At("small.txt"), At("large.txt")},
                    out, progressErr, true);
    EXPECT_EQ(status, 1);
    EXPECT_NE(changeOnProgress.str().find(At("large.txt") + ": changed while it was packed"),
              std::string::npos)
        << changeOnProgress.str();
    EXPECT_FALSE(dir.Exists("x.arc"));
    EXPECT_FALSE(dir.Exists("x.arc.part"));
  }
}

TEST_F(Archiver, FailuresNameTheFileAndLeaveNoOutput) {
  EXPECT_EQ(Run({"create", At("x.arc"), At("missing.txt")}), 1);
  EXPECT_NE(err.str().find("missing.txt"), std::string::npos);
  EXPECT_FALSE(dir.Exists("x.arc"));
  EXPECT_FALSE(dir.Exists("x.arc.part"));

  EXPECT_EQ(Run({"list", At("missing.arc")}), 1);
  EXPECT_NE(err.str().find("missing.arc: no such file"), std::string::npos) << err.str();

  MakeInputs();
  ASSERT_EQ(Run(CreateArgs("a.arc", "lzh")), 0);
  EXPECT_EQ(Run({"extract", At("a.arc"), "-C", At("no-such-folder")}), 1);
  EXPECT_EQ(Run({"extract", At("a.arc"), "-C", At("in"), "nothing.txt"}), 1);
  EXPECT_NE(err.str().find("no member named \"nothing.txt\""), std::string::npos);
}
