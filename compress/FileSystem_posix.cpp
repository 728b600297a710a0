// The file system on POSIX hosts: archive paths ("\" separated) become host paths, and
// the Windows read-only attribute is a file without write permission bits.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <filesystem>

#include "compress/DosDateTime.h"
#include "compress/FileSystem.h"
#include "toolkit/Exception.h"

namespace {

constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;

// Windows error codes for the errno values the engine can meet, so that EInOutError
// speaks the same language on every host.
uint32_t WindowsErrorFor(int error) {
  switch (error) {
    case ENOENT:
      return 2;  // file not found
    case ENOTDIR:
      return 3;  // path not found
    case EMFILE:
    case ENFILE:
      return 4;  // too many open files
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
      return 5;  // access denied
    case EEXIST:
      return 183;  // already exists
    case ENOSPC:
      return 112;  // disk full
    case ENAMETOOLONG:
      return 206;
    default:
      return 31;  // general failure
  }
}

std::string HostPath(const std::string& path) {
  std::string host = path;
  for (char& c : host) {
    if (c == '\\') c = '/';
  }
  return host;
}

// A file whose write bits are all clear is read-only even for a privileged user, as the
// attribute is on Windows.
bool IsReadOnly(const struct stat& st) {
  return (st.st_mode & kWriteBits) == 0;
}

bool IsFolder(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The path itself when it is a folder, else its nearest ancestor that is ("." for a
// relative path none of whose ancestors exist).
std::string NearestFolder(std::string path) {
  while (!path.empty() && !IsFolder(path)) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    path.resize(slash == 0 ? 1 : slash);
  }
  return path.empty() ? "." : path;
}

class TPosixFileSystem final : public TFileSystem {
public:
  const char* PathDelimiters() const override { return "\\/"; }

  int64_t DriveFreeSpace(const std::string& path) override {
    // The nearest folder that exists on the way up holds the room the path may use.
    const std::string folder = NearestFolder(HostPath(path));
    struct statvfs vfs;
    if (::statvfs(folder.c_str(), &vfs) != 0) return -1;
    return static_cast<int64_t>(vfs.f_bavail) * static_cast<int64_t>(vfs.f_frsize);
  }

  bool FileExists(const std::string& path) override {
    struct stat st;
    return ::stat(HostPath(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
  }

  bool DirectoryExists(const std::string& path) override { return IsFolder(HostPath(path)); }

  int64_t OpenedFileSize(const std::string& path) override {
    const int fd = ::open(HostPath(path).c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) throw EInOutError(WindowsErrorFor(errno));
    struct stat st;
    const bool measured = ::fstat(fd, &st) == 0;
    const int error = errno;
    ::close(fd);
    if (!measured) throw EInOutError(WindowsErrorFor(error));
    if (IsReadOnly(st)) throw EInOutError(WindowsErrorFor(EACCES));
    return static_cast<int64_t>(st.st_size);
  }

  void MakeDirectory(const std::string& path) override {
    if (::mkdir(HostPath(path).c_str(), 0777) != 0) throw EInOutError(WindowsErrorFor(errno));
  }

  bool CopyReplacing(const std::string& from, const std::string& to) override {
    std::error_code error;
    return std::filesystem::copy_file(HostPath(from), HostPath(to),
                                      std::filesystem::copy_options::overwrite_existing, error);
  }

  bool MoveReplacing(const std::string& from, const std::string& to) override {
    if (::rename(HostPath(from).c_str(), HostPath(to).c_str()) == 0) return true;
    if (errno != EXDEV || !CopyReplacing(from, to)) return false;
    return RemoveFile(from);  // across file systems: a copy, then the original goes
  }

  bool RemoveFile(const std::string& path) override {
    struct stat st;
    const std::string host = HostPath(path);
    // Windows deletes no read-only file; neither does this.
    if (::stat(host.c_str(), &st) != 0 || S_ISDIR(st.st_mode) || IsReadOnly(st)) return false;
    return ::unlink(host.c_str()) == 0;
  }

  std::unique_ptr<TFileStream> CreateFileExclusive(const std::string& path) override {
    const std::string host = HostPath(path);
    struct stat st;
    if (::stat(host.c_str(), &st) == 0 && !S_ISDIR(st.st_mode) && IsReadOnly(st)) {
      throw EFCreateError(path);
    }
    try {
      return std::make_unique<TFileStream>(host, fmCreate | fmShareExclusive);
    } catch (const EFCreateError&) {
      throw EFCreateError(path);  // name the file as the caller knows it
    }
  }

  bool SetLastWriteTime(TFileStream& file, uint32_t dosDateTime) override {
    const TDosDateTime d = UnpackDosDateTime(dosDateTime);
    std::tm local{};
    local.tm_year = d.Year - 1900;
    local.tm_mon = d.Month - 1;
    local.tm_mday = d.Day;
    local.tm_hour = d.Hour;
    local.tm_min = d.Minute;
    local.tm_sec = d.Second;
    local.tm_isdst = -1;
    const time_t when = std::mktime(&local);
    if (when == static_cast<time_t>(-1)) return false;
    const struct timespec times[2] = {{0, UTIME_OMIT}, {when, 0}};
    return ::futimens(static_cast<int>(file.Handle()), times) == 0;
  }

  bool SetAttributes(const std::string& path, int32_t attributes) override {
    const std::string host = HostPath(path);
    struct stat st;
    if (::stat(host.c_str(), &st) != 0) return false;
    mode_t mode = st.st_mode & 07777;
    if (attributes & kFileAttributeReadOnly) {
      mode &= ~kWriteBits;
    } else if (IsReadOnly(st)) {
      mode |= S_IWUSR;
    }
    return mode == (st.st_mode & 07777) || ::chmod(host.c_str(), mode) == 0;
  }
};

}  // namespace

TFileSystem& PlatformFileSystem() {
  static TPosixFileSystem fileSystem;
  return fileSystem;
}
