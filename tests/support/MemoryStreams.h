// Streams over memory for driving the codec: a memory stream preloaded with bytes, a
// source that hands out its bytes in pieces and records what was asked of it, a sink that
// records every write, and a sink into memory reserved beforehand.
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "tests/support/Bytes.h"
#include "toolkit/Exception.h"
#include "toolkit/Stream.h"

// A memory stream that starts out holding the bytes, positioned at 0.
class TBytesStream : public TMemoryStream {
public:
  explicit TBytesStream(const ::Bytes& bytes) {
    WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
    SetPosition(0);
  }
};

// A source over bytes that delivers at most maxPerRead bytes per call, as a slow pipe or a
// network stream may, and records what was asked of it. It keeps a copy of the bytes, or,
// given a pointer, reads them where they are (they must outlive it).
class TScriptedSource : public TStream {
public:
  explicit TScriptedSource(Bytes data, int32_t maxPerRead = INT32_MAX);
  TScriptedSource(const uint8_t* data, size_t size, int32_t maxPerRead = INT32_MAX);
  TScriptedSource(const TScriptedSource&) = delete;
  TScriptedSource& operator=(const TScriptedSource&) = delete;

  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void*, int32_t) override { throw EWriteError(); }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;

  std::vector<int32_t> Requests;  // the count of every Read call
  int64_t Delivered = 0;
  int64_t LastReadStart = 0;  // where the latest read began

private:
  Bytes owned_;
  const uint8_t* data_;
  int64_t size_;
  int32_t maxPerRead_;
  int64_t position_ = 0;
};

// A destination that keeps what it gets and the size of every write; optionally refuses
// every write after the first failAfter.
class TRecordingSink : public TStream {
public:
  int32_t Read(void*, int32_t) override { return 0; }
  int32_t Write(const void* buffer, int32_t count) override;
  int64_t Seek(int64_t, TSeekOrigin) override { return static_cast<int64_t>(Data.size()); }

  Bytes Data;
  std::vector<int32_t> Writes;
  int failAfter = -1;  // -1: never refuse
};

// Writes into memory reserved beforehand, so that a benchmark measures only the codec.
class TBufferSink : public TStream {
public:
  explicit TBufferSink(size_t capacity) : data_(capacity) {}
  int32_t Read(void*, int32_t) override { return 0; }
  int32_t Write(const void* buffer, int32_t count) override;
  int64_t Seek(int64_t, TSeekOrigin) override { return static_cast<int64_t>(size_); }
  void Rewind() { size_ = 0; }
  Bytes Contents() const { return Bytes(data_.begin(), data_.begin() + static_cast<long>(size_)); }
  size_t Filled() const { return size_; }

private:
  Bytes data_;
  size_t size_ = 0;
};
