// The LZH method's bit layer on the expanding side: bits are taken most significant first,
// and symbols and match positions are decoded on top of them.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "compress/ByteChannel.h"
#include "compress/LzhModel.h"

// The bit buffer is as wide as a register: 64 bits on a 64-bit target, 32 on a 32-bit
// one, where a 64-bit word would take a pair of registers and every shift a pair of
// instructions.
using TBitWord = std::conditional_t<(sizeof(void*) >= 8), uint64_t, uint32_t>;
inline constexpr int kWordBits = 8 * static_cast<int>(sizeof(TBitWord));
// What a refill leaves at least: 57 bits, or 25. Decoding refills once per symbol and once
// more for a match's position where 25 do not cover both, so a refill must cover the
// longest code of the model (kLongestCode, 22 bits) and the longest position (14).
inline constexpr int kRefillBits = kWordBits - 7;
static_assert(kRefillBits >= kLongestCode && kRefillBits >= 14);

// The valid bits sit left-aligned in the word. A refill tops them up to at least
// kRefillBits, a word's bytes at once where the channel's block has them, else byte by
// byte; a byte taken at the end of the input reads as 0.
// The reader holds the channel's input position while it works: a caller that goes on
// reading the channel after it calls Release. There is no destructor to do so, because a
// function that would have to run one when an exception passes keeps a frame pointer on
// the 32-bit target, and the decoding loop needs that register.
class TBitReader {
public:
  explicit TBitReader(TByteChannel& channel) : channel_(channel) { TakeCursor(); }
  TBitReader(const TBitReader&) = delete;
  TBitReader& operator=(const TBitReader&) = delete;

  // Hands the bytes not yet taken into the buffer back to the channel.
  void Release() { ReturnCursor(); }

  void Refill() {
    if (count_ < 0) count_ = 0;  // never so for a model's codes; keeps the shifts defined
    if (end_ - next_ >= static_cast<int>(sizeof(TBitWord))) {
      // A word's bytes read at once, and as many whole bytes taken as fit behind the bits
      // still buffered: no loop, so nothing to guess wrong.
      buffer_ |= BigEndianWord(next_) >> count_;
      const int taken = (kWordBits - 1 - count_) >> 3;
      next_ += taken;
      count_ += taken * 8;
      return;
    }
    ReturnCursor();
    while (count_ <= kWordBits - 8) {
      TBitWord b = channel_.NextInputByte();
      if (channel_.InputEnded()) b = 0;
      buffer_ |= b << (kWordBits - 8 - count_);
      count_ += 8;
    }
    TakeCursor();
  }
  // The next k bits, k from 1 to 8.
  int ReadBits(int k) {
    if (count_ < k) Refill();
    const int bits = static_cast<int>(buffer_ >> (kWordBits - k));
    buffer_ <<= k;
    count_ -= k;
    return bits;
  }
  // Makes sure that n bits (n up to kRefillBits) are buffered.
  void Reserve(int n) {
    if (count_ < n) Refill();
  }
  // The buffered bits, left-aligned, for a caller that takes them without a refill check
  // and then reports how many it used. Valid for as many bits as the last refill left.
  TBitWord Peek() const { return buffer_; }
  void Skip(int n) {
    buffer_ = n < kWordBits ? buffer_ << n : 0;
    count_ -= n;
  }

private:
  static TBitWord BigEndianWord(const uint8_t* bytes) {
    TBitWord word;
    std::memcpy(&word, bytes, sizeof word);
    if constexpr (std::endian::native == std::endian::little) {
      if constexpr (sizeof word == 8) return __builtin_bswap64(word);
      return __builtin_bswap32(static_cast<uint32_t>(word));
    }
    return word;
  }
  // Between refills the reader keeps the channel's input position in next_, so that the
  // fast refill touches nothing but its own registers. Bytes that arrive flagged as the
  // end of the input are left to the byte-wise path, which reads them as 0.
  void TakeCursor() {
    next_ = channel_.InputCursor();
    end_ = channel_.InputEnded() ? next_ : next_ + channel_.InputAvailable();
  }
  void ReturnCursor() { channel_.SkipInput(static_cast<int32_t>(next_ - channel_.InputCursor())); }

  TByteChannel& channel_;
  const uint8_t* next_ = nullptr;
  const uint8_t* end_ = nullptr;
  TBitWord buffer_ = 0;
  int count_ = 0;
};

// Walks the tree from the root, bit 0 to the first child and bit 1 to the second, and
// counts the symbol on the way down: each node of the path is counted as it is passed
// and checked against its right neighbour. The model then finishes the update from the
// deepest node that outranks its neighbour, if there is one (see TLzhModel::MoveCounted).
[[gnu::always_inline]] inline int DecodeSymbol(TLzhModel& model, TBitReader& bits) {
  uint16_t path[kNodeCount];  // no path is longer than the tree has nodes
  uint16_t* const frequency = model.Frequency.data();
  const bool rescale = frequency[kRootNode] == kMaxFrequency;
  ++frequency[kRootNode];
  uint16_t* step = path;
  uint16_t* moved = nullptr;  // the deepest node that outranks its right neighbour
  bits.Refill();
  TBitWord code = bits.Peek();
  // Unsigned indices keep sign extensions off the chain of dependent loads. Two levels
  // at a time: the grandchild comes with one load, while the child, needed only for
  // its count and to see whether it is a leaf, is loaded beside it.
  unsigned c = model.Child[kRootNode];
  for (;;) {
    const unsigned two = static_cast<unsigned>(code >> (kWordBits - 2));
    const unsigned first = two >> 1;
    const unsigned child = model.Child[c + first];
    const unsigned grandChild = model.GrandChild[2 * c + two];
    {
      const unsigned node = c + first;
      *step = static_cast<uint16_t>(node);
      uint16_t* const count = frequency + node;
      const uint16_t f = ++count[0];
      moved = f > count[1] ? step : moved;
      ++step;
    }
    if (child >= kNodeCount) {
      c = child;
      break;
    }
    {
      const unsigned node = child + (two & 1);
      *step = static_cast<uint16_t>(node);
      uint16_t* const count = frequency + node;
      const uint16_t f = ++count[0];
      moved = f > count[1] ? step : moved;
      ++step;
    }
    code <<= 2;
    c = grandChild;
    if (c >= kNodeCount) break;
  }
  const int depth = static_cast<int>(step - path);
  bits.Skip(depth);
  const int symbol = static_cast<int>(c) - kNodeCount;
  if (rescale) {
    // The counts must follow the rescale: taken back, then counted again after it.
    --frequency[kRootNode];
    model.TakeBackCounts(path, depth);
    model.UpdateModel(symbol);
  } else if (moved != nullptr) {
    model.MoveCounted(path, static_cast<int>(moved - path));
  }
  model.CheckPath(symbol, "DecodeSymbol");
  return symbol;
}

// The upper 6 bits from their prefix code, then the lower 6 bits verbatim: read together
// from the buffered bits, as the top (code length + 6) bits, of which the last 6 are the
// lower bits.
[[gnu::always_inline]] inline int DecodePosition(TBitReader& bits) {
  constexpr int kLongestPosition = 8 + 6;
  bits.Reserve(kLongestPosition);
  const TBitWord ahead = bits.Peek();
  const int b = static_cast<int>(ahead >> (kWordBits - 8));
  const int length = kPositionTables.PrefixToLength[b] + 6;
  bits.Skip(length);
  return kPositionTables.PrefixToUpper[b] * 64 +
         static_cast<int>((ahead >> (kWordBits - length)) & 0x3F);
}
