#include "toolkit/Exception.h"

#include "toolkit/Format.h"

EResNotFound::EResNotFound(const std::string& resourceName)
    : Exception(Format("Resource %s not found", resourceName.c_str())) {}

EFCreateError::EFCreateError(const std::string& fileName)
    : Exception(Format("Cannot create file %s", fileName.c_str())) {}

EFOpenError::EFOpenError(const std::string& fileName)
    : Exception(Format("Cannot open file %s", fileName.c_str())) {}

EReadError::EReadError() : Exception("Stream read error") {}
EWriteError::EWriteError() : Exception("Stream write error") {}
EOutOfMemory::EOutOfMemory() : Exception("Out of memory") {}

namespace {
std::string InOutMessage(uint32_t code) {
  switch (code) {
    case 2:
      return "File not found";
    case 3:
      return "Invalid filename";
    case 4:
      return "Too many open files";
    case 5:
      return "File access denied";
    case 38:
      return "Read beyond end of file";
    case 39:
    case 112:
      return "Disk full";
    default:
      return Format("I/O error %u", static_cast<unsigned>(code));
  }
}
}  // namespace

EInOutError::EInOutError(uint32_t errorCode)
    : Exception(InOutMessage(errorCode)), errorCode_(errorCode) {}
