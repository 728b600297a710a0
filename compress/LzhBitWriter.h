// The LZH method's bit layer on the compressing side: bits go out most significant first,
// and symbols and match positions are encoded on top of them.
#pragma once

#include <cstdint>

#include "compress/ByteChannel.h"
#include "compress/LzhModel.h"

// Pending bits left-aligned in 16 bits; at most two bytes go out per call.
class TBitWriter {
public:
  explicit TBitWriter(TByteChannel& channel) : channel_(channel) {}

  // Appends the top n bits (n <= 16) of the 16-bit value v.
  void WriteBits(int n, unsigned v) {
    buffer_ = (buffer_ | (v >> count_)) & 0xFFFF;
    count_ += n;
    if (count_ >= 8) {
      channel_.EmitOutputByte(static_cast<uint8_t>(buffer_ >> 8));
      count_ -= 8;
      if (count_ >= 8) {
        channel_.EmitOutputByte(static_cast<uint8_t>(buffer_));
        count_ -= 8;
        buffer_ = (v << (n - count_)) & 0xFFFF;
      } else {
        buffer_ = (buffer_ << 8) & 0xFFFF;
      }
    }
  }
  // The last partial byte, its unused low bits 0.
  void FlushBits() {
    if (count_ > 0) channel_.EmitOutputByte(static_cast<uint8_t>(buffer_ >> 8));
  }

private:
  TByteChannel& channel_;
  unsigned buffer_ = 0;
  int count_ = 0;
};

// Writes the symbol's path from the root, gathered leaf upwards into the top of 32 bits:
// the tree can grow deeper than 16 levels, and such codes go out in two parts. Then
// counts the symbol. Returns the code's length in bits.
inline int EncodeSymbol(TLzhModel& model, TBitWriter& bits, int c) {
  uint16_t path[kNodeCount];  // filled from the end: the nodes below the root, leaf last
  uint16_t* top = path + kNodeCount;
  uint32_t code = 0;
  int length = 0;
  int k = model.Parent[c + kNodeCount];
  do {
    *--top = static_cast<uint16_t>(k);
    code >>= 1;
    if (k & 1) code |= 0x80000000u;  // a second child
    ++length;
    k = model.Parent[k];
  } while (k != kRootNode);
  if (length > 16) {
    bits.WriteBits(16, code >> 16);
    bits.WriteBits(length - 16, code & 0xFFFF);
  } else {
    bits.WriteBits(length, code >> 16);
  }
  model.UpdateModelAlong(c, top, length);
  return length;
}

inline void EncodePosition(TBitWriter& bits, int d) {
  const int u = d >> 6;
  bits.WriteBits(kPositionTables.UpperCodeLength[u], kPositionTables.UpperCode[u] << 8u);
  bits.WriteBits(6, static_cast<unsigned>(d & 0x3F) << 10);
}
