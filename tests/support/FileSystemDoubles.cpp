#include "tests/support/FileSystemDoubles.h"

#include <algorithm>

#include "toolkit/Exception.h"

namespace {

// A file whose writes fail once the disk's remaining bytes are used up, as a full disk
// makes them fail: the write that does not fit stores what fits and reports the shortfall.
class TFillingFileStream : public TFileStream {
public:
  TFillingFileStream(const std::string& path, int64_t& writable)
      : TFileStream(path, fmCreate | fmShareExclusive), writable_(writable) {}
  int32_t Write(const void* buffer, int32_t count) override {
    if (writable_ < 0) return TFileStream::Write(buffer, count);
    const int32_t fits = static_cast<int32_t>(std::min<int64_t>(count, writable_));
    const int32_t done = fits > 0 ? TFileStream::Write(buffer, fits) : 0;
    writable_ -= done;
    return done;
  }

private:
  int64_t& writable_;
};

}  // namespace

std::unique_ptr<TFileStream> TSmallDisk::CreateFileExclusive(const std::string& path) {
  // The platform decides whether the file may be created at all; the double only takes
  // over its writes.
  real_.CreateFileExclusive(path).reset();
  std::string host = path;
#ifndef _WIN32
  std::replace(host.begin(), host.end(), '\\', '/');
#endif
  try {
    return std::make_unique<TFillingFileStream>(host, writable_);
  } catch (const EFCreateError&) {
    throw EFCreateError(path);
  }
}

void TRefusingFileSystem::MakeDirectory(const std::string& path) {
  if (refusals_.makeDirectory) throw EInOutError(5);  // access denied
  real_.MakeDirectory(path);
}
