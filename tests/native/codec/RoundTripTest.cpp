// Compress, expand, compare, over inputs the tests make themselves.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "CodecTestSupport.h"
#include "compress/ArchiveFormat.h"

namespace {

struct TCorpusEntry {
  std::string label;
  Bytes data;
};

uint32_t NextRandom(uint32_t& state) {
  state ^= state << 13;
  state ^= state >> 17;
  state ^= state << 5;
  return state;
}

Bytes RandomBytes(size_t n, uint32_t seed) {
  Bytes b(n);
  for (auto& x : b) x = static_cast<uint8_t>(NextRandom(seed) >> 7);
  return b;
}

Bytes TextOf(size_t n) {
  static const char* const kWords[] = {"Kestrel ", "connects ", "to ",   "the ",  "FTP ",
                                       "site ",    "and ",      "lists ", "files ", "\r\n",
                                       "[Site01]", "Host=",     "ftp.",  "Port=21"};
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
    x = static_cast<uint8_t>((r & 0xFF) < 200 ? 'e' : (r & 0xFF) < 240 ? 't' : 'a' + (r >> 24) % 26);
  }
  return b;
}

std::vector<TCorpusEntry> Corpus() {
  std::vector<TCorpusEntry> corpus;
  for (size_t n = 0; n <= 130; ++n) {
    corpus.push_back({"text " + std::to_string(n), TextOf(n)});
    corpus.push_back({"random " + std::to_string(n), RandomBytes(n, static_cast<uint32_t>(n + 1))});
  }
  for (size_t n : {8191u, 8192u, 8193u, 16383u, 16384u, 16385u}) {
    corpus.push_back({"text " + std::to_string(n), TextOf(n)});
    corpus.push_back({"binary " + std::to_string(n), BinaryOf(n)});
  }
  corpus.push_back({"random 70000", RandomBytes(70000, 3)});
  corpus.push_back({"run of A", Repeat('A', 50000)});
  corpus.push_back({"run of 0x94", Repeat(0x94, 3000)});
  corpus.push_back({"runs of 0x94 and zeros", Concat(Concat(Repeat(0x94, 700), Repeat(0, 700)),
                                                     Concat(Hex("94 94 00 94"), Repeat(0x94, 2)))});
  corpus.push_back({"all byte values", [] {
                      Bytes b;
                      for (int rep = 0; rep < 3; ++rep)
                        for (int v = 0; v < 256; ++v) b.push_back(static_cast<uint8_t>(v));
                      return b;
                    }()});
  corpus.push_back({"skewed 400000", SkewedOf(400000)});
  return corpus;
}

void ExpectRoundTrip(int method, const TCorpusEntry& entry) {
  const TMethodRun packed = RunMethod(false, method, entry.data);
  EXPECT_EQ(packed.Checksum, SumOf(entry.data)) << entry.label;
  EXPECT_EQ(packed.Result, static_cast<int32_t>(packed.Output.size())) << entry.label;
  const TMethodRun unpacked =
      RunMethod(true, method, packed.Output, static_cast<int32_t>(entry.data.size()));
  EXPECT_EQ(unpacked.Output, entry.data) << entry.label;
  EXPECT_EQ(unpacked.Checksum, packed.Checksum) << entry.label;
}

}  // namespace

TEST(RoundTrip, Lzh) {
  for (const TCorpusEntry& entry : Corpus()) ExpectRoundTrip(kMethodLzh, entry);
}

TEST(RoundTrip, Rle) {
  for (const TCorpusEntry& entry : Corpus()) ExpectRoundTrip(kMethodRle, entry);
}

TEST(RoundTrip, LzhShrinksWhatRepeats) {
  EXPECT_LT(LzhCompressBytes(TextOf(16384)).size(), 16384u / 2);
  EXPECT_LT(LzhCompressBytes(SkewedOf(400000)).size(), 400000u / 2);
  EXPECT_LT(LzhCompressBytes(Repeat('A', 50000)).size(), 50000u / 40);
}
