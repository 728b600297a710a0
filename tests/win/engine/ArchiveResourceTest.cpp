// The archive resource and the engine on the Win32 file system: the payload that setup.exe
// carries is opened from this program and from a library, listed and expanded, and the
// files' dates and attributes are read back through Win32.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "compress/ArchiveFormat.h"
#include "compress/Compress.h"
#include "tests/support/ArchiveBuilder.h"
#include "tests/support/Bytes.h"
#include "tests/support/ScratchFolder.h"
#include "toolkit/Exception.h"
#include "toolkit/Stream.h"
#include "toolkit/StringList.h"

namespace {

const char* const kPayloadOrder[] = {"Kestrel.exe", "Kestrel.hlp", "readme.txt", "sites.ini",
                                     "whatsnew.txt"};
// The payload's fixed member date: 21 December 1997, 21:14:26.
constexpr WORD kPayloadDate = 0x2395;
constexpr WORD kPayloadTime = 0xA9CD;

std::string ReadHostFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.good()) << path;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string SourceOf(const std::string& member) {
  if (member == "Kestrel.exe") return KESTREL_STAND_IN;
  return std::string(KESTREL_PAYLOAD_SOURCES) + "/" + member;
}

}  // namespace

TEST(OpenArchiveResource, FindsDataByAnyCaseAndListsThePayload) {
  for (const char* name : {"data", "DATA", "Data"}) {
    std::unique_ptr<TStream> archive = TCompress::OpenArchiveResource(name, "");
    ASSERT_NE(archive, nullptr);
    EXPECT_EQ(archive->Position(), 0);
    EXPECT_THROW(archive->WriteBuffer("x", 1), EWriteError);  // read-only
    TCompress compress(nullptr);
    TStringList members(true);
    compress.ReadMemberList(*archive, members);
    ASSERT_EQ(members.Count(), 5);
    for (int i = 0; i < 5; ++i) {
      EXPECT_EQ(members[i], kPayloadOrder[i]);
      const auto* info = static_cast<const TCompressedFileInfo*>(members.Objects(i));
      EXPECT_EQ(info->MethodCode, kMethodLzh);
      EXPECT_EQ(info->Attributes, 0x20);
    }
  }
}

TEST(OpenArchiveResource, MissingResourceAndUnloadableLibraryRaise) {
  try {
    TCompress::OpenArchiveResource("nothere", "");
    FAIL() << "no error";
  } catch (const EResNotFound& e) {
    EXPECT_EQ(e.Message(), "Resource nothere not found");
  }
  try {
    TCompress::OpenArchiveResource("data", "no-such-library.dll");
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Could not load no-such-library.dll DLL");
  }
  try {
    TCompress::OpenArchiveResource("nothere", "engine_archive.dll");
    FAIL() << "no error";
  } catch (const EResNotFound& e) {
    EXPECT_EQ(e.Message(), "Resource nothere not found");
  }
  EXPECT_EQ(GetModuleHandleA("engine_archive.dll"), nullptr);  // released again
}

TEST(OpenArchiveResource, LibraryStaysLoadedWhileTheStreamLives) {
  std::unique_ptr<TStream> fromProgram = TCompress::OpenArchiveResource("data", "");
  std::unique_ptr<TStream> fromLibrary =
      TCompress::OpenArchiveResource("data", "engine_archive.dll");
  EXPECT_NE(GetModuleHandleA("engine_archive.dll"), nullptr);
  ASSERT_EQ(fromLibrary->Size(), fromProgram->Size());
  std::string a(static_cast<size_t>(fromProgram->Size()), '\0'), b = a;
  fromProgram->ReadBuffer(a.data(), static_cast<int32_t>(a.size()));
  fromLibrary->ReadBuffer(b.data(), static_cast<int32_t>(b.size()));
  EXPECT_EQ(a, b);
  fromLibrary.reset();
  EXPECT_EQ(GetModuleHandleA("engine_archive.dll"), nullptr);
}

TEST(ExpandOnWin32, PayloadExpandsByteForByteWithItsDateAndAttributes) {
  TScratchFolder dir;
  std::unique_ptr<TStream> archive = TCompress::OpenArchiveResource("data", "");
  TCompress compress(nullptr);
  compress.SetMakeDirectories(true);
  compress.SetTargetPath(dir.Engine("Program Files\\Kestrel"));
  int progressCalls = 0;
  compress.SetOnShowProgress([&](int32_t& percentage) {
    ++progressCalls;
    EXPECT_GE(percentage, 0);
    EXPECT_LE(percentage, 100);
  });
  // Member by member, as the setup does it.
  for (const char* member : kPayloadOrder) {
    TStringList one;
    one.Add(member);
    compress.ExpandMembers(*archive, &one);
    ASSERT_EQ(one.Count(), 1);
    EXPECT_EQ(one[0], dir.Engine(std::string("Program Files\\Kestrel\\") + member));
  }
  EXPECT_GE(progressCalls, 5);

  for (const char* member : kPayloadOrder) {
    SCOPED_TRACE(member);
    const std::string path = dir.Engine(std::string("Program Files\\Kestrel\\") + member);
    EXPECT_EQ(ReadHostFile(path), ReadHostFile(SourceOf(member)));
    EXPECT_EQ(GetFileAttributesA(path.c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));

    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    FILETIME written, local;
    ASSERT_TRUE(GetFileTime(file, nullptr, nullptr, &written));
    CloseHandle(file);
    ASSERT_TRUE(FileTimeToLocalFileTime(&written, &local));
    WORD date = 0, time = 0;
    ASSERT_TRUE(FileTimeToDosDateTime(&local, &date, &time));
    EXPECT_EQ(date, kPayloadDate);
    EXPECT_EQ(time, kPayloadTime);
  }
}

TEST(ExpandOnWin32, ReadOnlyAttributeIsAppliedAfterClosing) {
  TScratchFolder dir;
  TRawMember member = Stored("locked.txt", "read only");
  member.attributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE;
  const Bytes bytes = BuildRawArchive({member});
  TReadOnlyMemoryStream archive(bytes.data(), static_cast<int64_t>(bytes.size()));
  TCompress compress(nullptr);
  compress.SetTargetPath(dir.Path());
  compress.ExpandMembers(archive, nullptr);
  const std::string path = dir.Engine("locked.txt");
  EXPECT_EQ(
      GetFileAttributesA(path.c_str()),
      static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
  EXPECT_EQ(ReadHostFile(path), "read only");
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(ExpandOnWin32, FreeSpaceOfARealDriveIsReported) {
  TCompress compress(nullptr);
  EXPECT_GT(compress.FreeSpaceFor("C:\\no-such-file.txt"), 0);
  EXPECT_GT(compress.FreeSpaceFor("no-such-file.txt"), 0);  // the current drive
  EXPECT_EQ(compress.FreeSpaceFor("Q:\\x"), -1);            // no such drive
}
