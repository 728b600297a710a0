// The LZH method's bit layer on the compressing side: bits go out most significant first,
// and symbols and match positions are encoded on top of them.
#pragma once

#include <cstdint>

#include "compress/ByteChannel.h"
#include "compress/LzhModel.h"

// Pending bits gather left-aligned in 64 bits and go out four bytes at a time, so that a
// code costs a shift and an OR, and the test for full bytes is made once per 32 bits.
class TBitWriter {
public:
  explicit TBitWriter(TByteChannel& channel) : channel_(channel) {}

  // Appends the top n bits (n <= 16) of the 16-bit value v.
  void WriteBits(int n, unsigned v) { WriteTop(n, (v & 0xFFFFu) << 16); }
  // Appends the top n bits (n <= 32) of v; the bits below them must be 0.
  void WriteTop(int n, uint32_t v) {
    pending_ |= static_cast<uint64_t>(v) << 32 >> count_;
    count_ += n;
    if (count_ >= 32) {
      for (int shift = 56; shift >= 32; shift -= 8) {
        channel_.EmitOutputByte(static_cast<uint8_t>(pending_ >> shift));
      }
      pending_ <<= 32;
      count_ -= 32;
    }
  }
  // The last bits, the unused low bits of the last byte 0.
  void FlushBits() {
    for (int shift = 56; count_ > 0; shift -= 8, count_ -= 8) {
      channel_.EmitOutputByte(static_cast<uint8_t>(pending_ >> shift));
    }
    pending_ = 0;
    count_ = 0;
  }

private:
  TByteChannel& channel_;
  uint64_t pending_ = 0;  // left-aligned: the next bit to go out is bit 63
  int count_ = 0;         // fewer than 32 between calls
};

// Writes the symbol's code, then counts the symbol. Returns the code's length in bits.
inline int EncodeSymbol(TLzhModel& model, TBitWriter& bits, int c) {
  const TLzhCode code = model.CodeAndUpdate(c);
  bits.WriteTop(code.Length, code.Bits);
  return code.Length;
}

// The prefix code of the upper 6 bits, then the lower 6 bits as they are.
inline void EncodePosition(TBitWriter& bits, int d) {
  const int u = d >> 6;
  const int length = kPositionTables.UpperCodeLength[u];
  bits.WriteTop(length + 6, static_cast<uint32_t>(kPositionTables.UpperCode[u]) << 24 |
                                static_cast<uint32_t>(d & 0x3F) << (26 - length));
}
