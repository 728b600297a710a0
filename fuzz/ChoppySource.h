// A source stream over bytes that hands out at most a set number of bytes per read, as
// a slow pipe or a network stream may, and remembers where each read began.
#pragma once

#include <algorithm>
#include <cstring>

#include "fuzz/FuzzChecks.h"
#include "toolkit/Exception.h"
#include "toolkit/Stream.h"

class TChoppySource : public TStream {
public:
  TChoppySource(const uint8_t* data, size_t size, int32_t mostPerRead)
      : data_(data), size_(static_cast<int64_t>(size)), mostPerRead_(std::max(mostPerRead, 1)) {}

  int32_t Read(void* buffer, int32_t count) override {
    const int64_t n =
        std::max<int64_t>(0, std::min<int64_t>({count, mostPerRead_, size_ - position_}));
    std::memcpy(buffer, data_ + position_, static_cast<size_t>(n));
    LastReadStart = position_;
    position_ += n;
    return static_cast<int32_t>(n);
  }
  int32_t Write(const void*, int32_t) override { throw EWriteError(); }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override {
    const int64_t base = origin == TSeekOrigin::soBeginning ? 0
                         : origin == TSeekOrigin::soCurrent ? position_
                                                            : size_;
    position_ = std::max<int64_t>(0, base + offset);
    return position_;
  }

  int64_t LastReadStart = 0;  // where the latest read began

private:
  const uint8_t* data_;
  int64_t size_;
  int32_t mostPerRead_;
  int64_t position_ = 0;
};
