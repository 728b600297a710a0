// Streams and helpers shared by the codec tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "compress/BuiltInMethod.h"
#include "compress/CompressEvents.h"
#include "compress/LzhModel.h"
#include "toolkit/Exception.h"
#include "toolkit/Stream.h"

using Bytes = std::vector<uint8_t>;

// "E6 F3 40 00" -> bytes.
Bytes Hex(const std::string& text);
std::string ToHex(const Bytes& bytes);
Bytes Repeat(uint8_t b, size_t n);
Bytes Concat(const Bytes& a, const Bytes& b);
Bytes TextBytes(const std::string& text);
uint32_t SumOf(const Bytes& bytes);
// 64-bit FNV-1a, to pin long outputs in a test.
uint64_t HashOf(const Bytes& bytes);

// Generated inputs: seeded random bytes, word salad with CR LF lines, structured binary
// records, and a skewed text of few letters that forces many model rescales.
Bytes RandomBytes(size_t n, uint32_t seed);
Bytes TextOf(size_t n);
Bytes BinaryOf(size_t n);
Bytes SkewedOf(size_t n);

// Where the model's shortcut tables (grandchildren, grandparents) differ from the tree they
// are derived from, as text; empty when they agree everywhere.
std::string ShortcutMismatch(const TLzhModel& m);

// A memory stream that starts out holding the bytes, positioned at 0.
class TBytesStream : public TMemoryStream {
public:
  explicit TBytesStream(const ::Bytes& bytes) {
    WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
    SetPosition(0);
  }
};

// A source over bytes that delivers at most maxPerRead bytes per call and records what
// was asked of it.
class TScriptedSource : public TStream {
public:
  explicit TScriptedSource(Bytes data, int32_t maxPerRead = INT32_MAX)
      : data_(std::move(data)), maxPerRead_(maxPerRead) {}
  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void*, int32_t) override { throw EWriteError(); }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;

  std::vector<int32_t> Requests;  // the count of every Read call
  int64_t Delivered = 0;

private:
  Bytes data_;
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

struct TMethodRun {
  Bytes Output;
  uint32_t Checksum = 0;
  int32_t Result = 0;
};

// RunBuiltInMethod over memory streams; SourceSize is the input's size unless given.
TMethodRun RunMethod(bool expand, int method, const Bytes& input, int32_t destSize = 0,
                     const TShowProgressEvent& onProgress = nullptr, int32_t sourceSize = -1);
inline Bytes LzhCompressBytes(const Bytes& input) {
  return RunMethod(false, 2, input).Output;
}
inline Bytes LzhExpandBytes(const Bytes& stream, int32_t size) {
  return RunMethod(true, 2, stream, size).Output;
}

// The tokens of an LZH stream as text, for checking what a compressor chose:
// "L41" for a literal byte, "M60@0" for a 60-byte match at distance code 0.
std::vector<std::string> LzhTokens(const Bytes& stream, int32_t expandedSize);
// The LZH stream of such tokens, written with a fresh model as the compressor would.
Bytes LzhStreamOf(const std::vector<std::string>& tokens);
