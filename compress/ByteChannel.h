// The byte channel that the built-in methods read and write through: 8192-byte input and
// output blocks over the two streams, the progress event once per fetched block, the
// end-of-input flag and the running sums of the bytes taken in and put out.
//
// One channel serves one run of a method over one member; it owns its blocks. The sums are settled
// per block rather than per byte, which gives the same values.
#pragma once

#include <cstdint>
#include <memory>

#include "compress/CompressEvents.h"

class TStream;

inline constexpr int32_t kChannelBlockSize = 8192;

class TByteChannel {
public:
  TByteChannel(const TShowProgressEvent& onShowProgress, TStream& dest, TStream& source,
               int32_t sourceSize);
  TByteChannel(const TByteChannel&) = delete;
  TByteChannel& operator=(const TByteChannel&) = delete;

  // The next input byte. After it returns, a set InputEnded() means the byte is no data
  // (0 at the end of the input), except for the bytes of a block whose progress event
  // answered with a negative percentage: those are real but arrive with the flag set.
  uint8_t NextInputByte() {
    if (inCursor_ != inEnd_) return *inCursor_++;
    return FetchBlock();
  }
  bool InputEnded() const { return inputEnded_; }
  // For readers that take several bytes at once: the unread bytes of the current block,
  // handed out by NextInputByte one by one, or taken here and then passed over with
  // SkipInput. Only meaningful while InputEnded() is false.
  const uint8_t* InputCursor() const { return inCursor_; }
  int32_t InputAvailable() const { return static_cast<int32_t>(inEnd_ - inCursor_); }
  void SkipInput(int32_t count) { inCursor_ += count; }
  // The input bytes still to come, as far as the source's size tells.
  int64_t InputExpected() const { return int64_t{sourceLeft_} + InputAvailable(); }

  void EmitOutputByte(uint8_t b) {
    if (outCursor_ == outLimit_) WriteFullBlock();
    *outCursor_++ = b;
  }
  // The same for count bytes at once.
  void EmitOutputBytes(const uint8_t* bytes, int32_t count);

  // Writes what the output block still holds. Only on success: bytes pending when an
  // exception leaves a method are dropped with the block.
  void FlushOutput();

  uint32_t InputSum();
  uint32_t OutputSum();
  int32_t BytesWritten() const;

private:
  uint8_t FetchBlock();
  void WriteFullBlock();
  void SettleInputSum();

  const TShowProgressEvent onShowProgress_;  // taken at the start of the call
  TStream& dest_;
  TStream& source_;

  std::unique_ptr<uint8_t[]> inBlock_;
  const uint8_t* inCursor_;
  const uint8_t* inEnd_;
  const uint8_t* inSummedTo_;  // bytes before this are counted in inputSum_
  int32_t sourceLeft_;
  int32_t requestSize_ = kChannelBlockSize;
  int32_t fetchedSoFar_ = 0;
  bool inputEnded_ = false;
  bool sourceDry_ = false;  // a read returned nothing: the source is not asked again
  uint32_t inputSum_ = 0;

  std::unique_ptr<uint8_t[]> outBlock_;
  uint8_t* outCursor_;
  uint8_t* outLimit_;
  uint32_t outputSum_ = 0;  // over the blocks already written
  int32_t bytesFlushed_ = 0;
};
