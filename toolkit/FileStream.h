// A stream over a file. The mode combines one access value with one sharing value, or is
// fmCreate (create anew or truncate, read and write) combined with a sharing value.
#pragma once

#include <cstdint>
#include <string>

#include "toolkit/Stream.h"

constexpr uint16_t fmOpenRead = 0x0000;
constexpr uint16_t fmOpenWrite = 0x0001;
constexpr uint16_t fmOpenReadWrite = 0x0002;
constexpr uint16_t fmShareExclusive = 0x0010;
constexpr uint16_t fmShareDenyWrite = 0x0020;
constexpr uint16_t fmShareDenyRead = 0x0030;
constexpr uint16_t fmShareDenyNone = 0x0040;
constexpr uint16_t fmCreate = 0xFF00;

class TFileStream : public TStream {
public:
  // Raises EFCreateError ("Cannot create file %s") or EFOpenError ("Cannot open file %s").
  TFileStream(const std::string& fileName, uint16_t mode);
  ~TFileStream() override;

  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void* buffer, int32_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;

  const std::string& FileName() const { return fileName_; }
  // The operating system's handle (a HANDLE on Windows, a descriptor elsewhere).
  intptr_t Handle() const { return handle_; }

private:
  std::string fileName_;
  intptr_t handle_;
};
