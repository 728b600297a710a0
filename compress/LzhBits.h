// The LZH method's bit layer over the byte channel, both directions, and the coding of
// symbols and match positions on top of it. Bits go most significant first.
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
