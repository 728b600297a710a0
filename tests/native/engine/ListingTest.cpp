// ReadMemberList, ForceDirectoryPath and the member's date on the platform's file system.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>
#include <filesystem>
#include <memory>

#include "compress/ArchiveFormat.h"
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

struct Listing {
  TStringList list{true};  // owns the attached member descriptions

  void Read(TCompress& compress, const Bytes& archive) {
    TReadOnlyMemoryStream stream(archive.data(), static_cast<int64_t>(archive.size()));
    stream.SetPosition(static_cast<int64_t>(archive.size()));  // listing starts from the front
    compress.ReadMemberList(stream, list);
  }
  const TCompressedFileInfo& Info(int i) const {
    return *static_cast<const TCompressedFileInfo*>(list.Objects(i));
  }
};

}  // namespace

TEST(ReadMemberList, DescribesEveryMemberInArchiveOrder) {
  TRawMember rle = RleLiterals("Docs\\b.bin", RandomBytesWithout94(300, 1));
  rle.attributes = 0x21;
  const Bytes archive = BuildRawArchive({Stored("a.txt", "hello"), rle, Stored("", "")});
  TCompress compress(nullptr);
  Listing listing;
  listing.Read(compress, archive);
  ASSERT_EQ(listing.list.Count(), 3);
  EXPECT_EQ(listing.list[0], "a.txt");
  EXPECT_EQ(listing.list[1], "Docs\\b.bin");
  EXPECT_EQ(listing.list[2], "");
  EXPECT_EQ(listing.Info(0).HeaderOffset, 21);
  EXPECT_EQ(listing.Info(1).HeaderOffset, 21 + 25 + 5 + 5);
  EXPECT_EQ(listing.Info(2).HeaderOffset, 21 + 25 + 5 + 5 + 25 + 10 + 300);
  const TCompressedFileInfo& b = listing.Info(1);
  EXPECT_EQ(b.DateTime, kMemberDate);
  EXPECT_EQ(b.Attributes, 0x21);
  EXPECT_EQ(b.ExpandedSize, 300);
  EXPECT_EQ(b.CompressedSize, 300);
  EXPECT_EQ(b.MethodCode, 1);
  EXPECT_EQ(b.Checksum, rle.checksum);
}

TEST(ReadMemberList, ListingTwiceGivesEveryMemberTwice) {
  const Bytes archive = BuildRawArchive({Stored("a.txt", "1"), Stored("b.txt", "2")});
  TCompress compress(nullptr);
  Listing listing;
  listing.Read(compress, archive);
  listing.Read(compress, archive);
  ASSERT_EQ(listing.list.Count(), 4);
  EXPECT_EQ(listing.list[2], "a.txt");
  EXPECT_EQ(listing.list[3], "b.txt");
}

TEST(ReadMemberList, FortyFiveBytesAreNoArchiveButFortySixAreChecked) {
  TCompress compress(nullptr);
  Listing listing;
  const Bytes garbage(45, 0xEE);
  EXPECT_NO_THROW(listing.Read(compress, garbage));
  EXPECT_EQ(listing.list.Count(), 0);
  EXPECT_THROW(listing.Read(compress, Bytes(46, 0xEE)), EInvalidHeader);

  // A valid header followed by a member header cut one byte short of its name.
  Bytes cut = BuildRawArchive({Stored("x.txt", "")});
  cut.pop_back();
  listing.Read(compress, cut);
  EXPECT_EQ(listing.list.Count(), 0);
}

TEST(ReadMemberList, ValidatesTheHeaderButNothingBeyondIt) {
  TCompress compress(nullptr);
  Listing listing;
  TRawMember odd = Stored("odd.txt", "abc");
  odd.methodCode = 9;
  odd.checksum = 1;
  listing.Read(compress, BuildRawArchive({odd}, "NON", 12345));
  EXPECT_EQ(listing.list.Count(), 1);
  EXPECT_THROW(listing.Read(compress, BuildRawArchive({odd}, "lzh")),
               EUnrecognizedCompressionMethod);

  Bytes negative = BuildRawArchive({odd, odd});
  for (int i = 0; i < 4; ++i) negative[21 + 12 + i] = 0xFF;  // first CompressedSize = -1
  EXPECT_THROW(listing.Read(compress, negative), EInvalidMemberSize);
}

TEST(ForceDirectoryPath, CreatesMissingParentsAndLeavesExistingOnesAlone) {
  TScratchFolder dir;
  TCompress compress(nullptr);
  compress.ForceDirectoryPath(dir.Engine("a\\b\\c\\"));
  EXPECT_TRUE(std::filesystem::is_directory(dir.Host("a\\b\\c")));
  compress.ForceDirectoryPath(dir.Engine("a\\b"));  // already there: nothing to do
  compress.ForceDirectoryPath("");

  dir.Write("file", "x");
  try {
    compress.ForceDirectoryPath(dir.Engine("file\\below"));
    FAIL() << "no error";
  } catch (const EInOutError&) {
  }
}

TEST(MemberDate, IsTheDosDateTakenAsLocalTime) {
  TScratchFolder dir;
  TCompress compress(nullptr);
  compress.SetTargetPath(dir.Path());
  const Bytes archive = BuildRawArchive({Stored("dated.txt", "when")});
  TReadOnlyMemoryStream stream(archive.data(), static_cast<int64_t>(archive.size()));
  compress.ExpandMembers(stream, nullptr);

  // 21 December 1997, 21:09:50 local time, to the second.
  std::tm local{};
  local.tm_year = 97;
  local.tm_mon = 11;
  local.tm_mday = 21;
  local.tm_hour = 21;
  local.tm_min = 9;
  local.tm_sec = 50;
  local.tm_isdst = -1;
  struct stat st;
  ASSERT_EQ(::stat(dir.Host("dated.txt").string().c_str(), &st), 0);
  EXPECT_EQ(st.st_mtime, std::mktime(&local));
  EXPECT_EQ(dir.Read("dated.txt"), "when");
}

namespace {

// A Windows-like file system on which no folder exists yet; it records what is created.
class RecordingFolders : public TFreeSpaceDouble {
public:
  RecordingFolders() : TFreeSpaceDouble(0) {}
  const char* PathDelimiters() const override { return "\\:"; }
  bool DirectoryExists(const std::string&) override { return false; }
  void MakeDirectory(const std::string& path) override { made.push_back(path); }
  std::vector<std::string> made;
};

}  // namespace

TEST(ForceDirectoryPath, StopsAtADriveAndAtANameEndingInAColon) {
  RecordingFolders folders;
  TCompress compress(nullptr);
  compress.SetFileSystem(folders);
  compress.ForceDirectoryPath("C:\\Program Files\\Kestrel\\");
  EXPECT_EQ(folders.made,
            (std::vector<std::string>{"C:\\Program Files", "C:\\Program Files\\Kestrel"}));
  // "a:" is its own parent: going up from it must end.
  folders.made.clear();
  compress.ForceDirectoryPath("x\\a:b\\c\\");
  EXPECT_EQ(folders.made, (std::vector<std::string>{"x\\a:", "x\\a:b", "x\\a:b\\c"}));
}
