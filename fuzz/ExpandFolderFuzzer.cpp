// Expanding every member of any archive into a scratch folder through TCompress and the
// POSIX file-system backend. The first input byte sets the component's switches and
// handlers; the rest is the archive. Every outcome must be a normal return or one of the
// documented errors, and the file system is fenced so that a hostile name cannot reach
// beyond the scratch folder.
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "compress/Compress.h"
#include "fuzz/ConfinedFileSystem.h"
#include "fuzz/FuzzChecks.h"
#include "toolkit/Stream.h"
#include "toolkit/StringList.h"

namespace {

// A member larger than this finds the disk full; fuzzed sizes can say anything.
constexpr int64_t kFreeBytes = 1 << 20;

enum : uint8_t {
  kMakeDirectories = 0x01,
  kExceptionOnFileError = 0x02,
  kOnlyNamed = 0x04,        // Names holds two fixed names instead of being absent
  kSkipEverySecond = 0x08,  // OnCheckFile empties the path of every second member
  kStopAtThird = 0x10,      // OnCheckFile answers "*" at the third member
  kWatchProgress = 0x20,    // OnShowProgress checks every percentage
  kCustomHandler = 0x40,    // OnExpand copies the member's bytes as they are
};

std::string ScratchRoot() {
  const char* base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
  return std::string(base) + "/kestrel-fuzz-" + std::to_string(::getpid());
}

void FreshFolder(const std::string& root) {
  std::error_code ignored;
  std::filesystem::remove_all(root, ignored);
  std::filesystem::create_directories(root);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string root = ScratchRoot();
  static TConfinedFileSystem fileSystem(root, kFreeBytes);
  FreshFolder(root);

  TFuzzInput input(data, size);
  const uint8_t flags = input.Byte();
  TCompress compress(nullptr);
  compress.SetFileSystem(fileSystem);
  compress.SetTargetPath(root);
  compress.SetMakeDirectories(flags & kMakeDirectories);
  compress.SetExceptionOnFileError(flags & kExceptionOnFileError);

  int checked = 0;
  if (flags & (kSkipEverySecond | kStopAtThird)) {
    compress.SetOnCheckFile([&checked, flags](std::string& path, TCProcessMode mode) {
      FUZZ_CHECK(mode == TCProcessMode::pmExpanding, "OnCheckFile without pmExpanding");
      ++checked;
      if ((flags & kStopAtThird) && checked == 3)
        path = "*";
      else if ((flags & kSkipEverySecond) && checked % 2 == 0)
        path.clear();
    });
  }
  if (flags & kWatchProgress) {
    compress.SetOnShowProgress([](int32_t& percentage) {
      FUZZ_CHECK(percentage >= 0 && percentage <= 100, "progress of %d%%", percentage);
    });
  }
  if (flags & kCustomHandler) {
    compress.SetOnExpand([](TStream& dest, TStream& source, int32_t sourceSize, int32_t,
                            const std::string&, int32_t& checksum) {
      Bytes bytes(static_cast<size_t>(std::clamp<int32_t>(sourceSize, 0, kFreeBytes)));
      const int32_t got = source.Read(bytes.data(), static_cast<int32_t>(bytes.size()));
      dest.WriteBuffer(bytes.data(), got);
      checksum = static_cast<int32_t>(SumOf(bytes.data(), static_cast<size_t>(got)));
    });
  }

  TStringList names;
  names.Add("readme.txt");
  names.Add("SUB\\FILE.TXT");
  TReadOnlyMemoryStream archive(input.Data(), static_cast<int64_t>(input.Size()));
  TFault fault = TFault::fNone;
  try {
    compress.ExpandMembers(archive, (flags & kOnlyNamed) ? &names : nullptr);
  } catch (...) {
    fault = CurrentFault();
  }
  switch (fault) {
    case TFault::fNone:
      for (int k = 0; (flags & kOnlyNamed) && k < names.Count(); ++k) {
        FUZZ_CHECK(fileSystem.Inside(names[k]) && fileSystem.FileExists(names[k]),
                   "a path reported as written is no file in the folder");
      }
      break;
    case TFault::fInvalidHeader:
    case TFault::fArchiveType:
    case TFault::fUnknownMethod:
    case TFault::fMemberSize:
    case TFault::fDiskSpace:
    case TFault::fBadChecksum:
    case TFault::fReadError:  // a stored member cut short by the end of the archive
    case TFault::fInOut:      // a folder that cannot be made, a target that cannot be opened
      break;
    case TFault::fFileCreate:
      FUZZ_CHECK(flags & kExceptionOnFileError, "EFCreateError with ExceptionOnFileError off");
      break;
    default:
      FuzzFail("expansion raised %s", FaultName(fault));
  }
  return 0;
}
