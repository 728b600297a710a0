// The LZH method's bit layer on the expanding side: bits are taken most significant first,
// and symbols and match positions are decoded on top of them.
#pragma once

#include <cstdint>

#include "compress/ByteChannel.h"
#include "compress/LzhModel.h"

// The valid bits sit left-aligned at the top of a 32-bit word. The buffer never holds
// more than 16 of them: one byte is taken whenever 8 or fewer remain at the start of a
// read, and a byte taken at the end of the input reads as 0.
class TBitReader {
public:
  explicit TBitReader(TByteChannel& channel) : channel_(channel) {}

  int ReadOneBit() {
    Refill();
    const int bit = static_cast<int>(buffer_ >> 31);
    buffer_ <<= 1;
    --count_;
    return bit;
  }
  int ReadEightBits() { return ReadBits(8); }
  // The next k bits, k from 1 to 8.
  int ReadBits(int k) {
    Refill();
    const int bits = static_cast<int>(buffer_ >> (32 - k));
    buffer_ <<= k;
    count_ -= k;
    return bits;
  }

private:
  void Refill() {
    if (count_ <= 8) {
      uint32_t b = channel_.NextInputByte();
      if (channel_.InputEnded()) b = 0;
      buffer_ |= b << (24 - count_);
      count_ += 8;
    }
  }

  TByteChannel& channel_;
  uint32_t buffer_ = 0;
  int count_ = 0;
};

// Walks the tree from the root, bit 0 to the first child and bit 1 to the second, then
// counts the symbol along the path just walked.
inline int DecodeSymbol(TLzhModel& model, TBitReader& bits) {
  uint16_t path[kNodeCount];  // no path is longer than the tree has nodes
  int depth = 0;
  int c = model.Child[kRootNode];
  while (c < kNodeCount) {
    const int node = c + bits.ReadOneBit();
    path[depth++] = static_cast<uint16_t>(node);
    c = model.Child[node];
  }
  const int symbol = c - kNodeCount;
  model.UpdateModelAlong(symbol, path, depth);
  return symbol;
}

// The upper 6 bits from their prefix code, then the lower 6 bits verbatim.
inline int DecodePosition(TBitReader& bits) {
  const int b = bits.ReadEightBits();
  const int upper = kPositionTables.PrefixToUpper[b];
  const int k = kPositionTables.PrefixToLength[b] - 2;
  const int low = bits.ReadBits(k);
  return upper * 64 + (((b << k) | low) & 0x3F);
}
