// Comparing the strings of the LZH window a word at a time: the match finder's view of
// its bytes.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "compress/LzhModel.h"

// Eight window bytes as a number whose lowest byte is the first of them.
inline uint64_t LoadWord(const uint8_t* p) {
  uint64_t w;
  std::memcpy(&w, p, sizeof w);
  if constexpr (std::endian::native == std::endian::big) w = __builtin_bswap64(w);
  return w;
}

// The same eight bytes as a number whose highest byte is the first of them: such numbers
// compare as the bytes do.
inline uint64_t Ordered(uint64_t word) {
  return __builtin_bswap64(word);
}

// Sixteen window bytes as one number that compares as the bytes do.
#ifdef __SIZEOF_INT128__
using TBytes16 = unsigned __int128;

inline TBytes16 Bytes16(const uint8_t* p) {
  return TBytes16{Ordered(LoadWord(p))} << 64 | Ordered(LoadWord(p + 8));
}
// The number of leading bytes two such numbers share, when they differ.
inline int SharedBytes(TBytes16 a, TBytes16 b) {
  const TBytes16 differ = a ^ b;
  const uint64_t high = static_cast<uint64_t>(differ >> 64);
  return high != 0 ? std::countl_zero(high) / 8
                   : 8 + std::countl_zero(static_cast<uint64_t>(differ)) / 8;
}
#else
struct TBytes16 {
  uint64_t High;
  uint64_t Low;
  friend bool operator==(const TBytes16&, const TBytes16&) = default;
  friend bool operator<(const TBytes16& a, const TBytes16& b) {
    return a.High != b.High ? a.High < b.High : a.Low < b.Low;
  }
};

inline TBytes16 Bytes16(const uint8_t* p) {
  return {Ordered(LoadWord(p)), Ordered(LoadWord(p + 8))};
}
inline int SharedBytes(TBytes16 a, TBytes16 b) {
  return a.High != b.High ? std::countl_zero(a.High ^ b.High) / 8
                          : 8 + std::countl_zero(a.Low ^ b.Low) / 8;
}
#endif

// The length of the prefix that the 60-byte strings at a and b share, their first `from`
// bytes being known equal; `less` tells whether a sorts before b, when they differ. The
// window's tail padding lets the last word read past the 60th byte.
inline int CommonPrefix(const uint8_t* a, const uint8_t* b, int from, bool& less) {
  for (int i = from; i < kMaxMatch; i += 8) {
    const uint64_t wa = LoadWord(a + i);
    const uint64_t wb = LoadWord(b + i);
    if (wa != wb) {
      less = Ordered(wa) < Ordered(wb);
      return std::min(i + std::countr_zero(wa ^ wb) / 8, kMaxMatch);
    }
  }
  return kMaxMatch;
}
