// What every fuzz target shares: a reader over the fuzzer's bytes, a way to stop loudly
// on a broken promise, and the kinds of error that damaged input may raise
// (tests/support/Faults.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "tests/support/Bytes.h"
#include "tests/support/Faults.h"

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
