// What every fuzz target shares: a reader over the fuzzer's bytes, a way to stop loudly
// on a broken promise, and the names of the errors that damaged input may raise.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tests/support/Bytes.h"

// Ends the run with a message; libFuzzer keeps the input as a finding.
[[noreturn]] void FuzzFail(const char* format, ...) __attribute__((format(printf, 1, 2)));

#define FUZZ_CHECK(condition, ...)           \
  do {                                       \
    if (!(condition)) FuzzFail(__VA_ARGS__); \
  } while (0)

// Takes control values from the front of the input; the rest is the data under test.
class TFuzzInput {
public:
  TFuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint8_t Byte() { return size_ > 0 ? (--size_, *data_++) : 0; }
  uint32_t Little(int bytes) {
    uint32_t v = 0;
    for (int k = 0; k < bytes; ++k) v |= static_cast<uint32_t>(Byte()) << (8 * k);
    return v;
  }
  const uint8_t* Data() const { return data_; }
  size_t Size() const { return size_; }

private:
  const uint8_t* data_;
  size_t size_;
};

// The kinds of error that the archive code raises, by class.
enum class TFault {
  fNone,
  fInvalidHeader,   // EInvalidHeader
  fArchiveType,     // EInvalidHeaderArchiveType
  fUnknownMethod,   // EUnrecognizedCompressionMethod
  fMemberSize,      // EInvalidMemberSize
  fDiskSpace,       // EInsufficientDiskSpace
  fBadChecksum,     // EBadChecksum
  fReadError,       // EReadError
  fWriteError,      // EWriteError
  fInOut,           // EInOutError
  fFileCreate,      // EFCreateError
  fOtherException,  // any other Exception: a finding wherever it appears
  fForeign,         // not an Exception at all (std::bad_alloc, std::out_of_range, ...)
};

// The kind of the exception being handled; call only inside a catch block.
TFault CurrentFault();
const char* FaultName(TFault fault);
