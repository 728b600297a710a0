#include "compress/ByteChannel.h"

#include <cstring>

#include "compress/ProcessorYield.h"
#include "toolkit/Stream.h"

namespace {
uint32_t SumOfBytes(const uint8_t* from, const uint8_t* to) {
  uint32_t sum = 0;
  for (; from != to; ++from) sum += *from;
  return sum;
}
}  // namespace

TByteChannel::TByteChannel(const TShowProgressEvent& onShowProgress, TStream& dest, TStream& source,
                           int32_t sourceSize)
    : onShowProgress_(onShowProgress),
      dest_(dest),
      source_(source),
      inBlock_(new uint8_t[kChannelBlockSize]),
      inCursor_(inBlock_.get()),
      inEnd_(inBlock_.get()),
      inSummedTo_(inBlock_.get()),
      sourceLeft_(sourceSize < 0 ? 0 : sourceSize),
      outBlock_(new uint8_t[kChannelBlockSize]),
      outCursor_(outBlock_.get()),
      outLimit_(outBlock_.get() + kChannelBlockSize) {}

void TByteChannel::SettleInputSum() {
  inputSum_ += SumOfBytes(inSummedTo_, inCursor_);
  inSummedTo_ = inCursor_;
}

uint8_t TByteChannel::FetchBlock() {
  inputEnded_ = true;
  if (sourceLeft_ == 0 || sourceDry_) return 0;
  if (requestSize_ > sourceLeft_) requestSize_ = sourceLeft_;
  SettleInputSum();
  const int32_t n = source_.Read(inBlock_.get(), requestSize_);
  if (n <= 0) {
    sourceDry_ = true;
    return 0;
  }
  sourceLeft_ -= n;
  inCursor_ = inBlock_.get();
  inEnd_ = inBlock_.get() + n;
  inSummedTo_ = inCursor_;
  if (onShowProgress_) {
    fetchedSoFar_ += n;
    // 64-bit product: members beyond 21,474,836 bytes would wrap in 32 bits.
    int32_t PercentageDone =
        static_cast<int32_t>(int64_t{fetchedSoFar_} * 100 / (int64_t{fetchedSoFar_} + sourceLeft_));
    onShowProgress_(PercentageDone);
    // The block stays fetched, but its bytes arrive flagged as the end of the input.
    if (PercentageDone < 0) return 0;
  }
  YieldProcessorSlice();
  inputEnded_ = false;
  return *inCursor_++;
}

void TByteChannel::WriteFullBlock() {
  YieldProcessorSlice();
  dest_.WriteBuffer(outBlock_.get(), kChannelBlockSize);
  outputSum_ += SumOfBytes(outBlock_.get(), outLimit_);
  bytesFlushed_ += kChannelBlockSize;
  outCursor_ = outBlock_.get();
}

void TByteChannel::EmitOutputBytes(const uint8_t* bytes, int32_t count) {
  while (count > 0) {
    if (outCursor_ == outLimit_) WriteFullBlock();
    const int32_t room = static_cast<int32_t>(outLimit_ - outCursor_);
    const int32_t n = count < room ? count : room;
    std::memcpy(outCursor_, bytes, static_cast<size_t>(n));
    outCursor_ += n;
    bytes += n;
    count -= n;
  }
}

void TByteChannel::FlushOutput() {
  const int32_t pending = static_cast<int32_t>(outCursor_ - outBlock_.get());
  if (pending == 0) return;
  dest_.WriteBuffer(outBlock_.get(), pending);
  outputSum_ += SumOfBytes(outBlock_.get(), outCursor_);
  bytesFlushed_ += pending;
  outCursor_ = outBlock_.get();
}

uint32_t TByteChannel::InputSum() {
  SettleInputSum();
  return inputSum_;
}

uint32_t TByteChannel::OutputSum() {
  return outputSum_ + SumOfBytes(outBlock_.get(), outCursor_);
}

int32_t TByteChannel::BytesWritten() const {
  return bytesFlushed_ + static_cast<int32_t>(outCursor_ - outBlock_.get());
}
