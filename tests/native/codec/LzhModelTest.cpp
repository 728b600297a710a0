// The position tables and the adaptive Huffman model.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <utility>

#include "compress/LzhModel.h"
#include "tests/support/LzhTokens.h"

namespace {

// The search one count at a time, as the model's update is defined: the index before the
// first count from `from` on that is not below f.
int LastCountBelow(const uint16_t* counts, int from, uint16_t f) {
  while (f > counts[from]) ++from;
  return from - 1;
}

// A table as (value, run length) pairs.
template <size_t N>
std::vector<std::pair<int, int>> Runs(const std::array<uint8_t, N>& table) {
  std::vector<std::pair<int, int>> runs;
  for (uint8_t v : table) {
    if (!runs.empty() && runs.back().first == v) {
      ++runs.back().second;
    } else {
      runs.emplace_back(v, 1);
    }
  }
  return runs;
}

// (value, count) runs where each of the values first..last repeats count times.
std::vector<std::pair<int, int>> EachRepeated(int first, int last, int count) {
  std::vector<std::pair<int, int>> runs;
  for (int v = first; v <= last; ++v) runs.emplace_back(v, count);
  return runs;
}

template <typename T>
T Joined(std::initializer_list<T> parts) {
  T all;
  for (const T& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

// Checks the sibling property, the parent links and the shortcut tables of the whole tree.
void ExpectConsistent(const TLzhModel& m) {
  for (int i = 0; i < kNodeCount; ++i) {
    ASSERT_LE(m.Frequency[i], m.Frequency[i + 1]) << "order at " << i;
    const int c = m.Child[i];
    if (c >= kNodeCount) {
      ASSERT_EQ(m.Parent[c], i) << "leaf link of " << c - kNodeCount;
    } else {
      ASSERT_EQ(c % 2, 0) << "first child at an odd node " << i;
      ASSERT_EQ(m.Parent[c], i);
      ASSERT_EQ(m.Parent[c + 1], i);
      ASSERT_EQ(m.Frequency[i], m.Frequency[c] + m.Frequency[c + 1]) << "sum at " << i;
    }
  }
  ASSERT_EQ(ShortcutMismatch(m), "");
}

std::vector<int> LeafFrequencies(const TLzhModel& m) {
  std::vector<int> f(kSymbolCount);
  for (int i = 0; i < kNodeCount; ++i) {
    if (m.Child[i] >= kNodeCount) f[m.Child[i] - kNodeCount] = m.Frequency[i];
  }
  return f;
}

}  // namespace

// The worked examples of docs/FORMAT.md.
TEST(PositionTables, RunsFollowFromTheCodeLengths) {
  const TPositionTables& t = kPositionTables;
  EXPECT_EQ(Runs(t.UpperCodeLength),
            (std::vector<std::pair<int, int>>{{3, 1}, {4, 3}, {5, 8}, {6, 12}, {7, 24}, {8, 16}}));
  EXPECT_EQ(Runs(t.PrefixToLength), (std::vector<std::pair<int, int>>{
                                        {3, 32}, {4, 48}, {5, 64}, {6, 48}, {7, 48}, {8, 16}}));
  EXPECT_EQ(Runs(t.PrefixToUpper),
            Joined({std::vector<std::pair<int, int>>{{0, 32}}, EachRepeated(1, 3, 16),
                    EachRepeated(4, 11, 8), EachRepeated(12, 23, 4), EachRepeated(24, 47, 2),
                    EachRepeated(48, 63, 1)}));
  const std::vector<int> head(t.UpperCode.begin(), t.UpperCode.begin() + 7);
  const std::vector<int> tail(t.UpperCode.end() - 4, t.UpperCode.end());
  EXPECT_EQ(head, (std::vector<int>{0x00, 0x20, 0x30, 0x40, 0x50, 0x58, 0x60}));
  EXPECT_EQ(tail, (std::vector<int>{0xFC, 0xFD, 0xFE, 0xFF}));
  // Every code is the prefix that the decoding tables map back to it.
  for (int u = 0; u < 64; ++u) {
    EXPECT_EQ(t.PrefixToUpper[t.UpperCode[u]], u);
    EXPECT_EQ(t.PrefixToLength[t.UpperCode[u]], t.UpperCodeLength[u]);
  }
  static_assert(kPositionTables.UpperCode[63] == 0xFF, "derived at compile time");
}

TEST(LzhModel, InitialTreeIsBalancedOverAllSymbols) {
  auto m = std::make_unique<TLzhModel>();
  m->InitModel();
  ExpectConsistent(*m);
  EXPECT_EQ(m->Frequency[kRootNode], kSymbolCount);
  EXPECT_EQ(m->Frequency[kNodeCount], 0xFFFF);
  EXPECT_EQ(m->Parent[kRootNode], 0);
}

// The model's own checks (on in the sanitizer tree) stop at a broken tree.
TEST(LzhModel, ItsChecksNameABrokenInvariant) {
  auto m = std::make_unique<TLzhModel>();
  m->InitModel();
  EXPECT_EQ(m->Inconsistency(), "");
  ++m->Frequency[kRootNode];
  EXPECT_EQ(m->Inconsistency(), "sums: node 626");
  if (!KESTREL_MODEL_CHECKS) GTEST_SKIP() << "this tree is built without the model's checks";
  EXPECT_DEATH(m->UpdateModel(0), "LZH model broken after UpdateModel: sums at node 626");
}

TEST(LzhModel, UpdatesKeepTheSiblingPropertyAndCount) {
  auto m = std::make_unique<TLzhModel>();
  m->InitModel();
  uint32_t x = 7;
  for (int n = 0; n < 5000; ++n) {
    x = x * 1664525 + 1013904223;
    // Skewed: low symbols far more often, so that nodes keep moving.
    const int s = static_cast<int>((x >> 8) % 314) * static_cast<int>((x >> 20) % 4) / 3;
    m->UpdateModel(s);
  }
  ExpectConsistent(*m);
  EXPECT_EQ(m->Frequency[kRootNode], kSymbolCount + 5000);
}

TEST(LzhModel, RescalesExactlyWhenTheRootHasReached0x8000) {
  auto m = std::make_unique<TLzhModel>();
  m->InitModel();
  // Uneven counts, odd and even, so that the rounding shows.
  int n = kSymbolCount;
  for (int s = 0; n < kMaxFrequency; s = (s * 7 + 3) % kSymbolCount) {
    m->UpdateModel(s);
    ++n;
  }
  ASSERT_EQ(m->Frequency[kRootNode], 0x8000);
  const std::vector<int> before = LeafFrequencies(*m);

  m->UpdateModel(5);  // rescales first, then counts
  ExpectConsistent(*m);
  std::vector<int> expected(kSymbolCount);
  int total = 0;
  for (int s = 0; s < kSymbolCount; ++s) {
    expected[s] = (before[s] + 1) / 2 + (s == 5 ? 1 : 0);
    EXPECT_GE(expected[s], 1);
    total += expected[s];
  }
  EXPECT_EQ(LeafFrequencies(*m), expected);
  EXPECT_EQ(m->Frequency[kRootNode], total);
}

TEST(LzhModel, RescaleOnlyAtTheLimit) {
  auto m = std::make_unique<TLzhModel>();
  m->InitModel();
  for (int n = kSymbolCount; n < kMaxFrequency - 1; ++n) m->UpdateModel(n % 3);
  ASSERT_EQ(m->Frequency[kRootNode], 0x7FFF);
  m->UpdateModel(0);  // reaches 0x8000 without a rescale
  EXPECT_EQ(m->Frequency[kRootNode], 0x8000);
}

// The compressor's update: the code it returns is the symbol's path before the update,
// and the model ends as the ordinary update leaves it.
TEST(LzhModel, CodeAndUpdateGivesThePathAndTheOrdinaryUpdate) {
  auto plain = std::make_unique<TLzhModel>();
  auto coding = std::make_unique<TLzhModel>();
  plain->InitModel();
  coding->InitModel();
  uint32_t x = 12345;
  // Enough updates for several rescales, with skew so that nodes keep moving.
  for (int n = 0; n < 120000; ++n) {
    x = x * 1664525 + 1013904223;
    const int s =
        (x >> 29) < 5 ? static_cast<int>((x >> 16) % 8) : static_cast<int>((x >> 8) % 314);
    std::string path;  // '0' or '1' per level, from the root down
    for (int k = plain->Parent[s + kNodeCount]; k != kRootNode; k = plain->Parent[k]) {
      path.insert(path.begin(), (k & 1) != 0 ? '1' : '0');
    }
    plain->UpdateModel(s);
    const TLzhCode code = coding->CodeAndUpdate(s);
    std::string got;
    for (int i = 0; i < code.Length; ++i) got += (code.Bits >> (31 - i) & 1) != 0 ? '1' : '0';
    ASSERT_EQ(got, path) << n;
    ASSERT_EQ(plain->Frequency, coding->Frequency) << n;
    ASSERT_EQ(plain->Child, coding->Child) << n;
    ASSERT_EQ(plain->Parent, coding->Parent) << n;
    ASSERT_EQ(ShortcutMismatch(*coding), "") << n;
  }
}

// The search for a node's new place: runs of equal counts of every length around the
// eight-count steps, stopping at a count equal to f, above it, or at the end.
TEST(LzhModel, SearchesForTheLastCountBelowAgree) {
  std::array<uint16_t, kNodeCount + 8> counts;
  uint32_t x = 99;
  for (int round = 0; round < 200; ++round) {
    uint16_t c = 1;
    for (int i = 0; i < kNodeCount; ++i) {
      x = x * 1664525 + 1013904223;
      if ((x >> 28) < static_cast<uint32_t>(round % 16))
        c = static_cast<uint16_t>(c + 1 + (x >> 30));
      counts[i] = c;
    }
    std::fill(counts.begin() + kNodeCount, counts.end(), 0xFFFF);
    for (int from = 0; from <= kNodeCount; from += 1 + round % 5) {
      for (int f : {static_cast<int>(counts[from == kNodeCount ? from - 1 : from]), 0x8000, 1}) {
        for (int d : {0, 1}) {
          const uint16_t key = static_cast<uint16_t>(std::min(f + d, 0x8000));
          const int plain = LastCountBelow(counts.data(), from, key);
          ASSERT_GE(plain, from - 1);
          ASSERT_LT(plain, kNodeCount);
          ASSERT_EQ(LastCountBelowEight(counts.data(), from, key), plain)
              << "round " << round << " from " << from << " f " << key;
        }
      }
    }
  }
}
