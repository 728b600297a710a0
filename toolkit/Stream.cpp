#include "toolkit/Stream.h"

#include <algorithm>
#include <cstring>

#include "toolkit/Exception.h"

int64_t TStream::Size() {
  const int64_t here = Position();
  const int64_t end = Seek(0, TSeekOrigin::soEnd);
  SetPosition(here);
  return end;
}

void TStream::ReadBuffer(void* buffer, int32_t count) {
  if (count > 0 && Read(buffer, count) != count) throw EReadError();
}

void TStream::WriteBuffer(const void* buffer, int32_t count) {
  if (count > 0 && Write(buffer, count) != count) throw EWriteError();
}

void TStream::CopyFrom(TStream& source, int64_t count) {
  constexpr int32_t kChunk = 64 * 1024;
  std::vector<uint8_t> chunk(
      static_cast<size_t>(std::min<int64_t>(std::max<int64_t>(count, 0), kChunk)));
  while (count > 0) {
    const int32_t n = static_cast<int32_t>(std::min<int64_t>(count, kChunk));
    source.ReadBuffer(chunk.data(), n);
    WriteBuffer(chunk.data(), n);
    count -= n;
  }
}

namespace {
// Where a seek lands, never before the start of the stream.
int64_t SeekTarget(int64_t position, int64_t size, int64_t offset, TSeekOrigin origin) {
  int64_t base = 0;
  if (origin == TSeekOrigin::soCurrent) base = position;
  if (origin == TSeekOrigin::soEnd) base = size;
  return std::max<int64_t>(0, base + offset);
}

int32_t CopyOut(const uint8_t* data, int64_t size, int64_t& position, void* buffer, int32_t count) {
  if (count <= 0 || position >= size) return 0;
  const int32_t n = static_cast<int32_t>(std::min<int64_t>(count, size - position));
  std::memcpy(buffer, data + position, static_cast<size_t>(n));
  position += n;
  return n;
}
}  // namespace

int32_t TMemoryStream::Read(void* buffer, int32_t count) {
  return CopyOut(data_.data(), Size(), position_, buffer, count);
}

int32_t TMemoryStream::Write(const void* buffer, int32_t count) {
  if (count <= 0) return 0;
  const size_t end = static_cast<size_t>(position_) + static_cast<size_t>(count);
  if (end > data_.size()) data_.resize(end);
  std::memcpy(data_.data() + position_, buffer, static_cast<size_t>(count));
  position_ = static_cast<int64_t>(end);
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  position_ = SeekTarget(position_, Size(), offset, origin);
  return position_;
}

void TMemoryStream::Clear() {
  data_.clear();
  position_ = 0;
}

int32_t TReadOnlyMemoryStream::Read(void* buffer, int32_t count) {
  return CopyOut(data_, size_, position_, buffer, count);
}

int32_t TReadOnlyMemoryStream::Write(const void*, int32_t) {
  throw EWriteError();
}

int64_t TReadOnlyMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  position_ = SeekTarget(position_, size_, offset, origin);
  return position_;
}
