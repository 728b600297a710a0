// Compress, expand, compare, over inputs the tests make themselves.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "compress/ArchiveFormat.h"
#include "tests/support/Bytes.h"
#include "tests/support/MethodRuns.h"
#include "tests/support/SampleData.h"

namespace {

struct TCorpusEntry {
  std::string label;
  Bytes data;
};

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
