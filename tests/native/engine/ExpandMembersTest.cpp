// ExpandMembers on the platform's file system: which members are written where, what the
// events can do, and how each failure leaves the disk.
#include <gtest/gtest.h>

#include <filesystem>

#include "compress/Compress.h"
#include "compress/CompressErrors.h"
#include "tests/support/ArchiveBuilder.h"
#include "tests/support/Bytes.h"
#include "tests/support/FileSystemDoubles.h"
#include "tests/support/SampleData.h"
#include "tests/support/ScratchFolder.h"
#include "toolkit/Exception.h"
#include "toolkit/Stream.h"
#include "toolkit/StringList.h"

namespace {

class ExpandMembers : public ::testing::Test {
protected:
  ExpandMembers() : compress(nullptr) { compress.SetTargetPath(dir.Path()); }

  void Expand(const Bytes& archive, TStringList* names) {
    TReadOnlyMemoryStream stream(archive.data(), static_cast<int64_t>(archive.size()));
    compress.ExpandMembers(stream, names);
  }

  std::vector<std::string> Lines(const TStringList& list) {
    std::vector<std::string> lines;
    for (int i = 0; i < list.Count(); ++i) lines.push_back(list[i]);
    return lines;
  }

  TScratchFolder dir;
  TCompress compress;
};

void MakeReadOnly(const std::filesystem::path& path) {
  using std::filesystem::perms;
  std::filesystem::permissions(path, perms::owner_write | perms::group_write | perms::others_write,
                               std::filesystem::perm_options::remove);
}

// Makes a folder the current one for a scope, and goes back also when the scope ends by
// an exception, so that later tests never run from a folder that is being removed.
class CurrentFolder {
public:
  explicit CurrentFolder(const std::filesystem::path& folder)
      : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
  }
  CurrentFolder(const CurrentFolder&) = delete;
  CurrentFolder& operator=(const CurrentFolder&) = delete;
  ~CurrentFolder() { std::filesystem::current_path(previous_); }

private:
  std::filesystem::path previous_;
};

const Bytes kThreeMembers = BuildRawArchive(
    {Stored("one.txt", "first"), Stored("two.txt", "second!"), Stored("three.txt", "3")});

}  // namespace

TEST(TargetPath, GainsOneFinalBackslashUnlessEmpty) {
  TCompress compress(nullptr);
  EXPECT_EQ(compress.TargetPath(), "");
  compress.SetTargetPath("C:\\Program Files\\Kestrel");
  EXPECT_EQ(compress.TargetPath(), "C:\\Program Files\\Kestrel\\");
  compress.SetTargetPath("C:\\Kestrel\\");
  EXPECT_EQ(compress.TargetPath(), "C:\\Kestrel\\");
  compress.SetTargetPath("");
  EXPECT_EQ(compress.TargetPath(), "");
}

TEST(TCompressComponent, StartsWithEverythingCleared) {
  TComponent owner(nullptr);
  auto* compress = new TCompress(&owner);  // the owner frees it
  EXPECT_EQ(owner.ComponentCount(), 1);
  EXPECT_FALSE(compress->OnCompress() || compress->OnExpand() || compress->OnCheckFile() ||
               compress->OnRecognize() || compress->OnShowProgress());
  EXPECT_FALSE(compress->MakeDirectories());
  EXPECT_FALSE(compress->ExceptionOnFileError());
}

TEST_F(ExpandMembers, WithoutNamesWritesEveryMember) {
  Expand(kThreeMembers, nullptr);
  EXPECT_EQ(dir.Read("one.txt"), "first");
  EXPECT_EQ(dir.Read("two.txt"), "second!");
  EXPECT_EQ(dir.Read("three.txt"), "3");
}

TEST_F(ExpandMembers, EmptyNamesWritesNothingAndStaysEmpty) {
  TStringList names;
  Expand(kThreeMembers, &names);
  EXPECT_EQ(names.Count(), 0);
  EXPECT_TRUE(std::filesystem::is_empty(dir.Host("")));
}

TEST_F(ExpandMembers, NameInOtherCaseMatchesAndIsReplacedByTheWrittenPath) {
  TStringList names;
  names.Add("TWO.TXT");
  Expand(kThreeMembers, &names);
  EXPECT_EQ(Lines(names), std::vector<std::string>{dir.Engine("two.txt")});
  EXPECT_EQ(dir.Read("two.txt"), "second!");
  EXPECT_FALSE(dir.Exists("one.txt"));
  EXPECT_FALSE(dir.Exists("three.txt"));
}

TEST_F(ExpandMembers, EmptyTargetPathWritesBelowTheCurrentFolder) {
  {
    const CurrentFolder inside(dir.Host(""));
    compress.SetTargetPath("");
    Expand(BuildRawArchive({Stored("here.txt", "relative")}), nullptr);
  }
  EXPECT_EQ(dir.Read("here.txt"), "relative");
}

TEST_F(ExpandMembers, RootedNameIgnoresTargetPath) {
  // A name from the root of the current drive: the scratch folder without its drive.
  std::string rooted = dir.Engine("rooted.txt");
#ifdef _WIN32
  const CurrentFolder inside(dir.Host(""));
  rooted = rooted.substr(2);
#else
  for (char& c : rooted) {
    if (c == '/') c = '\\';
  }
#endif
  ASSERT_EQ(rooted.front(), '\\');
  compress.SetTargetPath(dir.Engine("elsewhere"));
  TStringList names;
  names.Add(rooted);
  Expand(BuildRawArchive({Stored(rooted, "at the root")}), &names);
  EXPECT_EQ(dir.Read("rooted.txt"), "at the root");
  EXPECT_EQ(Lines(names), std::vector<std::string>{rooted});
}

TEST_F(ExpandMembers, CheckFileCanRenameSkipAndStop) {
  // TotalSize covers two members' worth: a skipped member must not count towards it,
  // or the third member would never be reached.
  const Bytes archive = BuildRawArchive({Stored("a.txt", "aaaa"), Stored("b.txt", "bbbb"),
                                         Stored("c.txt", "cccc"), Stored("d.txt", "dddd")},
                                        "LZH", 8);
  std::vector<std::string> seen;
  compress.SetOnCheckFile([&](std::string& path, TCProcessMode mode) {
    EXPECT_EQ(mode, TCProcessMode::pmExpanding);
    seen.push_back(path);
    if (path == dir.Engine("a.txt")) path.clear();
    if (path == dir.Engine("b.txt")) path = dir.Engine("renamed.txt");
  });
  Expand(archive, nullptr);
  EXPECT_EQ(seen, (std::vector<std::string>{dir.Engine("a.txt"), dir.Engine("b.txt"),
                                            dir.Engine("c.txt")}));
  EXPECT_FALSE(dir.Exists("a.txt"));
  EXPECT_EQ(dir.Read("renamed.txt"), "bbbb");
  EXPECT_EQ(dir.Read("c.txt"), "cccc");
  EXPECT_FALSE(dir.Exists("d.txt"));  // TotalSize reached
}

// TotalSize holds one member's worth; whether the first member counts decides whether the
// second is reached.
TEST_F(ExpandMembers, MembersNotAskedForCountTowardsTotalSizeUncreatableOnesDoNot) {
  TStringList names;
  names.Add("b.txt");
  Expand(BuildRawArchive({Stored("a.txt", "aaaa"), Stored("b.txt", "bbbb")}, "LZH", 4), &names);
  EXPECT_EQ(names.Count(), 0);
  EXPECT_FALSE(dir.Exists("b.txt"));

  Expand(BuildRawArchive({Stored("missing\\a.txt", "aaaa"), Stored("c.txt", "cccc")}, "LZH", 4),
         nullptr);
  EXPECT_EQ(dir.Read("c.txt"), "cccc");
}

TEST_F(ExpandMembers, CheckFileStarStopsAndNamesGetsTheFilesWrittenSoFar) {
  compress.SetOnCheckFile([&](std::string& path, TCProcessMode) {
    if (path == dir.Engine("two.txt")) path = "*";
  });
  TStringList names;
  names.Add("one.txt");
  names.Add("two.txt");
  names.Add("three.txt");
  Expand(kThreeMembers, &names);
  EXPECT_EQ(Lines(names), std::vector<std::string>{dir.Engine("one.txt")});
  EXPECT_FALSE(dir.Exists("two.txt"));
  EXPECT_FALSE(dir.Exists("three.txt"));
}

TEST_F(ExpandMembers, ReplacesAnExistingFileWhoseSizeCountsAsFreeSpace) {
  dir.Write("one.txt", "old contents");  // 12 bytes
  TRawMember big = Stored("one.txt", std::string(20, 'n'));
  TFreeSpaceDouble fileSystem(8);  // 8 free + 12 replaced = exactly the 20 needed
  compress.SetFileSystem(fileSystem);
  Expand(BuildRawArchive({big}), nullptr);
  EXPECT_EQ(dir.Read("one.txt"), std::string(20, 'n'));
  EXPECT_EQ(fileSystem.LastQueried(), dir.Engine("one.txt"));
}

TEST_F(ExpandMembers, OneByteTooFewRaisesBeforeAnythingIsCreated) {
  dir.Write("one.txt", "old contents");
  TFreeSpaceDouble fileSystem(7);
  compress.SetFileSystem(fileSystem);
  compress.SetMakeDirectories(true);
  const Bytes archive = BuildRawArchive({Stored("one.txt", std::string(20, 'n'))});
  try {
    Expand(archive, nullptr);
    FAIL() << "no error";
  } catch (const EInsufficientDiskSpace& e) {
    EXPECT_EQ(e.Message(), "Not enough disk space to expand " + dir.Engine("one.txt"));
  }
  EXPECT_EQ(dir.Read("one.txt"), "old contents");

  const Bytes nested = BuildRawArchive({Stored("sub\\new.txt", "x")});
  TFreeSpaceDouble full(0);
  compress.SetFileSystem(full);
  EXPECT_THROW(Expand(nested, nullptr), EInsufficientDiskSpace);
  EXPECT_FALSE(dir.Exists("sub"));
}

TEST_F(ExpandMembers, FreeSpaceIsCountedInSixtyFourBits) {
  // 4 GiB + 16 free: cut to 32 bits it would read as 16 bytes.
  TFreeSpaceDouble fileSystem((int64_t{1} << 32) + 16);
  compress.SetFileSystem(fileSystem);
  EXPECT_EQ(compress.FreeSpaceFor(dir.Engine("big.txt")), (int64_t{1} << 32) + 16);
  Expand(BuildRawArchive({Stored("big.txt", std::string(100, 'b'))}), nullptr);
  EXPECT_EQ(dir.Read("big.txt").size(), 100u);
}

TEST_F(ExpandMembers, MakeDirectoriesCreatesEveryMissingFolder) {
  compress.SetTargetPath(dir.Engine("Program Files\\Kestrel"));
  compress.SetMakeDirectories(true);
  Expand(BuildRawArchive({Stored("Docs\\Guide\\readme.txt", "deep")}), nullptr);
  EXPECT_EQ(dir.Read("Program Files\\Kestrel\\Docs\\Guide\\readme.txt"), "deep");
}

TEST_F(ExpandMembers, StoredMemberOfSizeZeroGivesAnEmptyFileWithoutChecksumTest) {
  TRawMember empty = Stored("empty.txt", "");
  empty.checksum = 0xDEADBEEF;  // never tested for stored members
  Expand(BuildRawArchive({empty, Stored("after.txt", "x")}), nullptr);
  ASSERT_TRUE(dir.Exists("empty.txt"));
  EXPECT_EQ(std::filesystem::file_size(dir.Host("empty.txt")), 0u);
  EXPECT_EQ(dir.Read("after.txt"), "x");
}

TEST_F(ExpandMembers, ChecksumMismatchLeavesTheWholeFileWithAttributesButNoDate) {
  const Bytes plain = RandomBytesWithout94(10000, 7);
  TRawMember bad = RleLiterals("bad.bin", plain);
  bad.checksum += 1;
  bad.attributes = kFileAttributeReadOnly | kFileAttributeArchive;
  TStringList names;
  names.Add("first.txt");
  names.Add("bad.bin");
  try {
    Expand(BuildRawArchive({Stored("first.txt", "1"), bad}), &names);
    FAIL() << "no error";
  } catch (const EBadChecksum& e) {
    EXPECT_EQ(e.Message(), "Bad checksum during expansion -- data may be invalid");
  }

  EXPECT_EQ(dir.Read("bad.bin"), std::string(plain.begin(), plain.end()));
  const auto perms = std::filesystem::status(dir.Host("bad.bin")).permissions();
  EXPECT_EQ(perms & std::filesystem::perms::owner_write, std::filesystem::perms::none);
  // The 1997 date was not applied: the file keeps the time it was written.
  const auto age = std::filesystem::file_time_type::clock::now() -
                   std::filesystem::last_write_time(dir.Host("bad.bin"));
  EXPECT_LT(age, std::chrono::hours(24));
  EXPECT_EQ(dir.Read("first.txt"), "1");  // earlier files stay
  EXPECT_EQ(Lines(names), (std::vector<std::string>{"first.txt", "bad.bin"}));  // untouched
  // Closed: it can be opened for writing again once writable.
  std::filesystem::permissions(dir.Host("bad.bin"), std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);
  EXPECT_NO_THROW(TFileStream(dir.Host("bad.bin").string(), fmOpenReadWrite | fmShareExclusive));
}

TEST_F(ExpandMembers, UncreatableTargetIsSkippedOrRaisesByExceptionOnFileError) {
  const Bytes archive =
      BuildRawArchive({Stored("missing\\lost.txt", "lost"), Stored("kept.txt", "kept")});
  Expand(archive, nullptr);
  EXPECT_FALSE(dir.Exists("missing"));
  EXPECT_EQ(dir.Read("kept.txt"), "kept");

  std::filesystem::remove(dir.Host("kept.txt"));
  compress.SetExceptionOnFileError(true);
  try {
    Expand(archive, nullptr);
    FAIL() << "no error";
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message(), "Cannot create file " + dir.Engine("missing\\lost.txt"));
  }
  EXPECT_FALSE(dir.Exists("kept.txt"));
}

TEST_F(ExpandMembers, ReadOnlyExistingTargetFailsTheFreeSpaceTestBeforeWriting) {
  dir.Write("one.txt", "protected");
  MakeReadOnly(dir.Host("one.txt"));
  for (bool raise : {false, true}) {
    compress.SetExceptionOnFileError(raise);
    try {
      Expand(kThreeMembers, nullptr);
      FAIL() << "no error";
    } catch (const EInOutError& e) {
      EXPECT_EQ(e.ErrorCode(), 5u);
    }
    EXPECT_EQ(dir.Read("one.txt"), "protected");
    EXPECT_FALSE(dir.Exists("two.txt"));
  }
}

TEST_F(ExpandMembers, ProgressIsReportedPerBlockOfBuiltInMembersOnly) {
  std::vector<int32_t> reported;
  compress.SetOnShowProgress([&](int32_t& percentage) { reported.push_back(percentage); });
  const Bytes plain = RandomBytesWithout94(20000, 3);
  Expand(BuildRawArchive({Stored("stored.txt", "no progress"), RleLiterals("big.bin", plain),
                          RleLiterals("small.bin", RandomBytesWithout94(10, 4))}),
         nullptr);
  EXPECT_EQ(reported, (std::vector<int32_t>{40, 81, 100, 100}));
  EXPECT_EQ(dir.Read("big.bin"), std::string(plain.begin(), plain.end()));
}

TEST_F(ExpandMembers, CustomMethodsGoThroughOnExpandAndOnRecognize) {
  // The custom "method" here stores the bytes reversed.
  TRawMember custom;
  custom.name = "custom.txt";
  custom.data = TextBytes("desrever");
  custom.expandedSize = 8;
  custom.methodCode = 3;
  custom.checksum = SumOf(custom.data);
  std::string idSeen;
  compress.SetOnExpand([&](TStream& dest, TStream& source, int32_t sourceSize, int32_t destSize,
                           const std::string& id, int32_t& checksum) {
    idSeen = id;
    EXPECT_EQ(sourceSize, 8);
    EXPECT_EQ(destSize, 8);
    std::string text(8, '\0');
    source.ReadBuffer(text.data(), sourceSize);
    std::string reversed(text.rbegin(), text.rend());
    dest.WriteBuffer(reversed.data(), destSize);
    checksum = static_cast<int32_t>(SumOf(TextBytes(reversed)));
  });

  Expand(BuildRawArchive({custom}, "CUS"), nullptr);
  EXPECT_EQ(idSeen, "CUS");
  EXPECT_EQ(dir.Read("custom.txt"), "reversed");

  const Bytes ownId = BuildRawArchive({custom, Stored("next.txt", "next")}, "XYZ");
  EXPECT_THROW(Expand(ownId, nullptr), EUnrecognizedCompressionMethod);
  compress.SetOnRecognize(
      [](const std::string& id, bool& recognized) { recognized = id == "XYZ"; });
  std::filesystem::remove(dir.Host("custom.txt"));
  Expand(ownId, nullptr);
  EXPECT_EQ(idSeen, "XYZ");
  EXPECT_EQ(dir.Read("custom.txt"), "reversed");
  EXPECT_EQ(dir.Read("next.txt"), "next");  // the handler left the stream at the next header
}

TEST_F(ExpandMembers, CustomMemberWithoutHandlerFailsItsChecksum) {
  TRawMember custom = Stored("custom.txt", "abc");
  custom.methodCode = 3;
  EXPECT_THROW(Expand(BuildRawArchive({custom}), nullptr), EBadChecksum);
  EXPECT_EQ(dir.Read("custom.txt"), "");  // nothing was written into it
}

TEST_F(ExpandMembers, DamagedArchivesFailCleanly) {
  TRawMember negative = Stored("neg.txt", "abc");
  Bytes archive = BuildRawArchive({Stored("ok.txt", "ok"), negative});
  // CompressedSize of the second member (at 21 + 25 + 6 + 2, field offset 12) becomes -1.
  const size_t field = 21 + 25 + 6 + 2 + 12;
  for (int i = 0; i < 4; ++i) archive[field + i] = 0xFF;
  EXPECT_THROW(Expand(archive, nullptr), EInvalidMemberSize);
  EXPECT_EQ(dir.Read("ok.txt"), "ok");
  // The same damage behind TotalSize lies in a header that is never used.
  std::filesystem::remove(dir.Host("ok.txt"));
  Bytes behind = BuildRawArchive({Stored("ok.txt", "ok"), negative}, "LZH", 2);
  for (int i = 0; i < 4; ++i) behind[field + i] = 0xFF;
  EXPECT_NO_THROW(Expand(behind, nullptr));
  EXPECT_EQ(dir.Read("ok.txt"), "ok");

  // Stored data cut short by the end of the stream: a read error, the partial file stays.
  Bytes truncated = BuildRawArchive({Stored("cut.txt", "0123456789")});
  truncated.erase(truncated.end() - 4, truncated.end());
  EXPECT_THROW(Expand(truncated, nullptr), EReadError);
  EXPECT_TRUE(dir.Exists("cut.txt"));

  Bytes badSignature = kThreeMembers;
  badSignature[0] = 'X';
  EXPECT_THROW(Expand(badSignature, nullptr), EInvalidHeader);
}
