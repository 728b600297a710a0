#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "toolkit/Exception.h"
#include "toolkit/FileStream.h"

// Sharing values have no equivalent in POSIX open(); exclusive and deny-write modes take
// an advisory lock so that two streams of this program honour them against each other.
TFileStream::TFileStream(const std::string& fileName, uint16_t mode) : fileName_(fileName) {
  const bool create = (mode & fmCreate) == fmCreate;
  int flags = O_CLOEXEC;
  if (create) {
    flags |= O_RDWR | O_CREAT;  // emptied only once the lock is ours, below
  } else {
    switch (mode & 0x3) {
      case fmOpenWrite:
        flags |= O_WRONLY;
        break;
      case fmOpenReadWrite:
        flags |= O_RDWR;
        break;
      default:
        flags |= O_RDONLY;
        break;
    }
  }
  const int fd = ::open(fileName.c_str(), flags, 0666);
  if (fd < 0) {
    if (create) throw EFCreateError(fileName);
    throw EFOpenError(fileName);
  }
  const uint16_t share = mode & 0xF0;
  if (share == fmShareExclusive || share == fmShareDenyWrite) {
    const int lock = share == fmShareExclusive ? LOCK_EX : LOCK_SH;
    if (::flock(fd, lock | LOCK_NB) != 0) {
      ::close(fd);
      if (create) throw EFCreateError(fileName);
      throw EFOpenError(fileName);
    }
  }
  // A file that another stream holds must keep its content when creation is refused, so
  // an existing file is emptied only after the lock above was granted.
  if (create && ::ftruncate(fd, 0) != 0) {
    ::close(fd);
    throw EFCreateError(fileName);
  }
  handle_ = fd;
}

TFileStream::~TFileStream() {
  ::close(static_cast<int>(handle_));
}

int32_t TFileStream::Read(void* buffer, int32_t count) {
  if (count <= 0) return 0;
  ssize_t n;
  do n = ::read(static_cast<int>(handle_), buffer, static_cast<size_t>(count));
  while (n < 0 && errno == EINTR);
  return n < 0 ? 0 : static_cast<int32_t>(n);
}

int32_t TFileStream::Write(const void* buffer, int32_t count) {
  const char* p = static_cast<const char*>(buffer);
  int32_t done = 0;
  while (done < count) {
    const ssize_t n =
        ::write(static_cast<int>(handle_), p + done, static_cast<size_t>(count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<int32_t>(n);
  }
  return done;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  const int whence = origin == TSeekOrigin::soBeginning ? SEEK_SET
                     : origin == TSeekOrigin::soCurrent ? SEEK_CUR
                                                        : SEEK_END;
  return ::lseek(static_cast<int>(handle_), offset, whence);
}
