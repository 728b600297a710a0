// The engine on the Win32 file system against what Windows itself refuses. Each case
// ends with its error and leaves the files that were in the folder as they were.
#include <gtest/gtest.h>
#include <windows.h>

#include "compress/Compress.h"
#include "tests/support/ArchiveBuilder.h"
#include "tests/support/Bytes.h"
#include "tests/support/FolderSnapshot.h"
#include "tests/support/ScratchFolder.h"
#include "toolkit/Exception.h"
#include "toolkit/Stream.h"

namespace {

class WindowsDisk : public ::testing::Test {
protected:
  WindowsDisk() : compress(nullptr) {
    dir.Write("keep.txt", "the user's own notes\r\n");
    dir.Write("sites.ini", "[Sites]\r\nHome=ftp.harrowby.example\r\n");
    compress.SetTargetPath(dir.Path());
  }

  void TakeSnapshot() { before = Snapshot(dir.Host("")); }
  std::vector<std::string> DamageToUserFiles() { return Damaged(before, Snapshot(dir.Host(""))); }
  void Expand(const Bytes& archive) {
    TReadOnlyMemoryStream stream(archive.data(), static_cast<int64_t>(archive.size()));
    compress.ExpandMembers(stream, nullptr);
  }
  DWORD AttributesOf(const std::string& relative) {
    return GetFileAttributesA(dir.Host(relative).string().c_str());
  }

  TScratchFolder dir;
  TSnapshot before;
  TCompress compress;
  Bytes archive = BuildArchive(ThreeMembers()).bytes;
};

// RAII over a handle that the test opens as "another program" would.
class THeldFile {
public:
  THeldFile(const std::string& path, DWORD share)
      : handle_(CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~THeldFile() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
  HANDLE handle_;
};

}  // namespace

// The real read-only attribute: access denied while the size is measured, before the
// file is touched, whatever ExceptionOnFileError says; the attribute stays.
TEST_F(WindowsDisk, AReadOnlyAttributeStopsTheExpansionAtThatMember) {
  ASSERT_TRUE(SetFileAttributesA(dir.Host("sites.ini").string().c_str(), FILE_ATTRIBUTE_READONLY));
  TakeSnapshot();
  for (bool raise : {false, true}) {
    compress.SetExceptionOnFileError(raise);
    try {
      Expand(archive);
      ADD_FAILURE() << "a read-only file was replaced";
    } catch (const EInOutError& e) {
      EXPECT_EQ(e.ErrorCode(), static_cast<uint32_t>(ERROR_ACCESS_DENIED));
    }
    EXPECT_EQ(dir.ReadBytes("readme.txt"), ThreeMembers()[0].plain);
    EXPECT_FALSE(dir.Exists("data.bin"));
    EXPECT_TRUE(AttributesOf("sites.ini") & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(DamageToUserFiles(), std::vector<std::string>());
  }
  SetFileAttributesA(dir.Host("sites.ini").string().c_str(), FILE_ATTRIBUTE_NORMAL);
}

// Another program holds the target open, in any sharing mode: the sharing violation ends
// the call before the file is replaced, also when ExceptionOnFileError would pass over a
// file that cannot be created.
TEST_F(WindowsDisk, ATargetHeldOpenByAnotherProgramKeepsItsContent) {
  TakeSnapshot();
  for (DWORD share :
       {DWORD{0}, DWORD{FILE_SHARE_READ}, DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE}}) {
    SCOPED_TRACE("share mode " + std::to_string(share));
    {
      THeldFile holder(dir.Host("sites.ini").string(), share);
      ASSERT_TRUE(holder.Valid());
      try {
        Expand(archive);
        ADD_FAILURE() << "a file held open was replaced";
      } catch (const EInOutError& e) {
        EXPECT_EQ(e.ErrorCode(), static_cast<uint32_t>(ERROR_SHARING_VIOLATION));
      }
    }
    // Read only once the holder has let go: with share mode 0 nobody else may read it.
    EXPECT_EQ(DamageToUserFiles(), std::vector<std::string>());
  }
}

// A target folder whose name Windows refuses cannot be made: the system's error.
TEST_F(WindowsDisk, AFolderNameWindowsRefusesCannotBeMade) {
  TakeSnapshot();
  compress.SetTargetPath(dir.Engine("Kestrel<2.2>"));
  compress.SetMakeDirectories(true);
  EXPECT_THROW(Expand(archive), EInOutError);
  EXPECT_EQ(DamageToUserFiles(), std::vector<std::string>());
}

// Member names with characters that no Windows file name may hold are passed over, or
// end the call with the creation error when asked; the others are written.
TEST_F(WindowsDisk, MemberNamesWindowsRefusesArePassedOverOrRaise) {
  TakeSnapshot();
  for (const char* name : {"what?.txt", "star*.txt", "pipe|.txt", "quote\".txt"}) {
    SCOPED_TRACE(name);
    std::vector<TPlainMember> members = {ThreeMembers()[0], {name, kMethodStored, TextBytes("x")}};
    const Bytes bad = BuildArchive(members).bytes;
    compress.SetExceptionOnFileError(false);
    EXPECT_NO_THROW(Expand(bad));
    EXPECT_EQ(dir.ReadBytes("readme.txt"), ThreeMembers()[0].plain);
    compress.SetExceptionOnFileError(true);
    EXPECT_THROW(Expand(bad), EFCreateError);
    EXPECT_EQ(DamageToUserFiles(), std::vector<std::string>());
  }
}
