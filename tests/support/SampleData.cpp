#include "tests/support/SampleData.h"

#include <cstring>
#include <random>

namespace {
uint32_t NextRandom(uint32_t& state) {
  state ^= state << 13;
  state ^= state >> 17;
  state ^= state << 5;
  return state;
}
}  // namespace

Bytes RandomBytes(size_t n, uint32_t seed) {
  Bytes b(n);
  for (auto& x : b) x = static_cast<uint8_t>(NextRandom(seed) >> 7);
  return b;
}

Bytes TextOf(size_t n) {
  static const char* const kWords[] = {"Kestrel ", "connects ", "to ",    "the ",   "FTP ",
                                       "site ",    "and ",      "lists ", "files ", "\r\n",
                                       "[Site01]", "Host=",     "ftp.",   "Port=21"};
  Bytes b;
  uint32_t seed = 99;
  while (b.size() < n) {
    const char* w = kWords[NextRandom(seed) % 14];
    b.insert(b.end(), w, w + std::strlen(w));
  }
  b.resize(n);
  return b;
}

// Structured binary: small integers, repeated records and some noise.
Bytes BinaryOf(size_t n) {
  Bytes b(n);
  uint32_t seed = 5;
  for (size_t i = 0; i < n; ++i) {
    const uint32_t r = NextRandom(seed);
    b[i] = (i % 16 < 4) ? static_cast<uint8_t>(i >> 4) : (r % 5 == 0 ? static_cast<uint8_t>(r) : 0);
  }
  return b;
}

// Few symbols, heavily skewed, long enough for several rescales of the model.
Bytes SkewedOf(size_t n) {
  Bytes b(n);
  uint32_t seed = 17;
  for (auto& x : b) {
    const uint32_t r = NextRandom(seed);
    x = static_cast<uint8_t>((r & 0xFF) < 200   ? 'e'
                             : (r & 0xFF) < 240 ? 't'
                                                : 'a' + (r >> 24) % 26);
  }
  return b;
}

Bytes RandomBytesWithout94(size_t count, uint32_t seed) {
  std::mt19937 random(seed);
  Bytes bytes(count);
  for (auto& b : bytes) {
    do b = static_cast<uint8_t>(random());
    while (b == 0x94);
  }
  return bytes;
}
