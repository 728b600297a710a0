#include <windows.h>

#include "toolkit/Exception.h"
#include "toolkit/FileStream.h"
#include "toolkit/Handles_win32.h"

namespace {
DWORD AccessFor(uint16_t mode) {
  if (mode >= fmCreate) return GENERIC_READ | GENERIC_WRITE;
  switch (mode & 0x3) {
    case fmOpenWrite:
      return GENERIC_WRITE;
    case fmOpenReadWrite:
      return GENERIC_READ | GENERIC_WRITE;
    default:
      return GENERIC_READ;
  }
}

DWORD ShareFor(uint16_t mode) {
  switch (mode & 0xF0) {
    case fmShareExclusive:
      return 0;
    case fmShareDenyWrite:
      return FILE_SHARE_READ;
    case fmShareDenyRead:
      return FILE_SHARE_WRITE;
    default:
      return FILE_SHARE_READ | FILE_SHARE_WRITE;
  }
}
}  // namespace

TFileStream::TFileStream(const std::string& fileName, uint16_t mode) : fileName_(fileName) {
  const bool create = (mode & fmCreate) == fmCreate;
  HANDLE h = CreateFileA(fileName.c_str(), AccessFor(mode), ShareFor(mode), nullptr,
                         create ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    if (create) throw EFCreateError(fileName);
    throw EFOpenError(fileName);
  }
  handle_ = reinterpret_cast<intptr_t>(h);
}

// The portable header keeps the handle as a number; the owner takes it back only to close it.
TFileStream::~TFileStream() {
  const KernelHandle file(reinterpret_cast<HANDLE>(handle_));
}

int32_t TFileStream::Read(void* buffer, int32_t count) {
  DWORD got = 0;
  if (count <= 0 || !ReadFile(reinterpret_cast<HANDLE>(handle_), buffer, count, &got, nullptr))
    return 0;
  return static_cast<int32_t>(got);
}

int32_t TFileStream::Write(const void* buffer, int32_t count) {
  DWORD put = 0;
  if (count <= 0 || !WriteFile(reinterpret_cast<HANDLE>(handle_), buffer, count, &put, nullptr))
    return 0;
  return static_cast<int32_t>(put);
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  LARGE_INTEGER distance, result;
  distance.QuadPart = offset;
  const DWORD method = origin == TSeekOrigin::soBeginning ? FILE_BEGIN
                       : origin == TSeekOrigin::soCurrent ? FILE_CURRENT
                                                          : FILE_END;
  if (!SetFilePointerEx(reinterpret_cast<HANDLE>(handle_), distance, &result, method)) return -1;
  return result.QuadPart;
}
