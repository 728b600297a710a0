#include "tests/support/MemoryStreams.h"

#include <algorithm>
#include <cstring>

TScriptedSource::TScriptedSource(Bytes data, int32_t maxPerRead)
    : owned_(std::move(data)),
      data_(owned_.data()),
      size_(static_cast<int64_t>(owned_.size())),
      maxPerRead_(std::max(maxPerRead, 1)) {}

TScriptedSource::TScriptedSource(const uint8_t* data, size_t size, int32_t maxPerRead)
    : data_(data), size_(static_cast<int64_t>(size)), maxPerRead_(std::max(maxPerRead, 1)) {}

int32_t TScriptedSource::Read(void* buffer, int32_t count) {
  Requests.push_back(count);
  const int64_t left = size_ - position_;
  const int32_t n =
      static_cast<int32_t>(std::max<int64_t>(0, std::min<int64_t>({count, maxPerRead_, left})));
  if (n > 0) std::memcpy(buffer, data_ + position_, static_cast<size_t>(n));
  LastReadStart = position_;
  position_ += n;
  Delivered += n;
  return n;
}

int64_t TScriptedSource::Seek(int64_t offset, TSeekOrigin origin) {
  const int64_t base = origin == TSeekOrigin::soBeginning ? 0
                       : origin == TSeekOrigin::soCurrent ? position_
                                                          : size_;
  position_ = std::max<int64_t>(0, base + offset);
  return position_;
}

int32_t TRecordingSink::Write(const void* buffer, int32_t count) {
  if (failAfter >= 0 && static_cast<int>(Writes.size()) >= failAfter) return 0;
  Writes.push_back(count);
  const uint8_t* p = static_cast<const uint8_t*>(buffer);
  Data.insert(Data.end(), p, p + count);
  return count;
}

int32_t TBufferSink::Write(const void* buffer, int32_t count) {
  if (size_ + static_cast<size_t>(count) > data_.size()) data_.resize(2 * data_.size() + count);
  std::memcpy(data_.data() + size_, buffer, static_cast<size_t>(count));
  size_ += static_cast<size_t>(count);
  return count;
}
