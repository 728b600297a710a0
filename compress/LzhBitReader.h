// The LZH method's bit layer on the expanding side: bits are taken most significant first,
// and symbols and match positions are decoded on top of them.
#pragma once

#include <cstdint>

#include "compress/ByteChannel.h"
#include "compress/LzhModel.h"

// The valid bits sit left-aligned in a 64-bit word. A refill tops them up to at least 57,
// a byte at a time; a byte taken at the end of the input reads as 0. Decoding refills
// once per symbol: the longest code the model can form is far shorter than that.
class TBitReader {
public:
  explicit TBitReader(TByteChannel& channel) : channel_(channel) {}

  void Refill() {
    while (count_ <= 56) {
      uint64_t b = channel_.NextInputByte();
      if (channel_.InputEnded()) b = 0;
      buffer_ |= b << (56 - count_);
      count_ += 8;
    }
  }
  int ReadOneBit() {
    if (count_ == 0) Refill();
    const int bit = static_cast<int>(buffer_ >> 63);
    buffer_ <<= 1;
    --count_;
    return bit;
  }
  int ReadEightBits() { return ReadBits(8); }
  // The next k bits, k from 1 to 8.
  int ReadBits(int k) {
    if (count_ < k) Refill();
    const int bits = static_cast<int>(buffer_ >> (64 - k));
    buffer_ <<= k;
    count_ -= k;
    return bits;
  }

private:
  TByteChannel& channel_;
  uint64_t buffer_ = 0;
  int count_ = 0;
};

// Walks the tree from the root, bit 0 to the first child and bit 1 to the second, then
// counts the symbol along the path just walked.
[[gnu::always_inline]] inline int DecodeSymbol(TLzhModel& model, TBitReader& bits) {
  uint16_t path[kNodeCount];  // no path is longer than the tree has nodes
  int depth = 0;
  bits.Refill();
  // Unsigned indices keep sign extensions off the chain of dependent loads.
  unsigned c = model.Child[kRootNode];
  while (c < kNodeCount) {
    const unsigned node = c + static_cast<unsigned>(bits.ReadOneBit());
    path[depth++] = static_cast<uint16_t>(node);
    c = model.Child[node];
  }
  const int symbol = static_cast<int>(c) - kNodeCount;
  model.UpdateModelAlong(symbol, path, depth);
  return symbol;
}

// The upper 6 bits from their prefix code, then the lower 6 bits verbatim.
[[gnu::always_inline]] inline int DecodePosition(TBitReader& bits) {
  const int b = bits.ReadEightBits();
  const int upper = kPositionTables.PrefixToUpper[b];
  const int k = kPositionTables.PrefixToLength[b] - 2;
  const int low = bits.ReadBits(k);
  return upper * 64 + (((b << k) | low) & 0x3F);
}
