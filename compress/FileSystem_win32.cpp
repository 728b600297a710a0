// The file system on Windows, through the ANSI Win32 calls.
#include <windows.h>

#include "compress/FileSystem.h"
#include "toolkit/Exception.h"
#include "toolkit/Handles_win32.h"

namespace {

// Windows refuses to open a read-only file for writing; a system that lets a privileged
// user do so anyway (Wine run as root) is held to the same rule here.
bool IsReadOnlyFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
         !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

class TWin32FileSystem final : public TFileSystem {
public:
  const char* PathDelimiters() const override { return "\\:"; }

  int64_t DriveFreeSpace(const std::string& path) override {
    // A leading "X:" names the drive; any other path lies on the current drive.
    std::string root;
    if (path.size() >= 2 && path[1] == ':' && IsAsciiLetter(path[0])) {
      root = {static_cast<char>(path[0] & ~0x20), ':', '\\'};
    }
    ULARGE_INTEGER available;
    if (!GetDiskFreeSpaceExA(root.empty() ? nullptr : root.c_str(), &available, nullptr, nullptr)) {
      return -1;
    }
    return static_cast<int64_t>(available.QuadPart);
  }

  bool FileExists(const std::string& path) override {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  }

  bool DirectoryExists(const std::string& path) override {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  }

  int64_t OpenedFileSize(const std::string& path) override {
    if (IsReadOnlyFile(path)) throw EInOutError(ERROR_ACCESS_DENIED);
    // Unshared, as the file will be created: a file that another program holds open, in
    // any sharing mode, fails here with the system's error before anything is written.
    const KernelHandle file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) throw EInOutError(GetLastError());
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size)) throw EInOutError(GetLastError());
    return size.QuadPart;
  }

  void MakeDirectory(const std::string& path) override {
    if (!CreateDirectoryA(path.c_str(), nullptr)) throw EInOutError(GetLastError());
  }

  bool CopyReplacing(const std::string& from, const std::string& to) override {
    return CopyFileA(from.c_str(), to.c_str(), FALSE);
  }

  bool MoveReplacing(const std::string& from, const std::string& to) override {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED);
  }

  bool RemoveFile(const std::string& path) override { return DeleteFileA(path.c_str()); }

  std::unique_ptr<TFileStream> CreateFileExclusive(const std::string& path) override {
    if (IsReadOnlyFile(path)) throw EFCreateError(path);
    return std::make_unique<TFileStream>(path, fmCreate | fmShareExclusive);
  }

  bool SetLastWriteTime(TFileStream& file, uint32_t dosDateTime) override {
    FILETIME local, universal;
    if (!DosDateTimeToFileTime(static_cast<WORD>(dosDateTime >> 16),
                               static_cast<WORD>(dosDateTime & 0xFFFF), &local) ||
        !LocalFileTimeToFileTime(&local, &universal)) {
      return false;
    }
    return SetFileTime(reinterpret_cast<HANDLE>(file.Handle()), nullptr, nullptr, &universal);
  }

  bool SetAttributes(const std::string& path, int32_t attributes) override {
    return SetFileAttributesA(path.c_str(), static_cast<DWORD>(attributes));
  }
};

}  // namespace

TFileSystem& PlatformFileSystem() {
  static TWin32FileSystem fileSystem;
  return fileSystem;
}
