// LZH compression: the bytes and the matches it must choose.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "compress/ArchiveFormat.h"
#include "compress/ByteChannel.h"
#include "compress/LzhBitReader.h"
#include "compress/compressor/LzhBitWriter.h"
#include "compress/compressor/LzhCompress.h"
#include "compress/compressor/LzhMatchFinder.h"
#include "compress/compressor/LzhSearch.h"
#include "tests/support/Bytes.h"
#include "tests/support/LzhTokens.h"
#include "tests/support/MemoryStreams.h"
#include "tests/support/MethodRuns.h"
#include "tests/support/SampleData.h"
#include "toolkit/Exception.h"
#include "toolkit/Format.h"

namespace {
std::vector<std::string> TokensOf(const Bytes& input) {
  return LzhTokens(LzhCompressBytes(input), static_cast<int32_t>(input.size()));
}
using Tokens = std::vector<std::string>;
}  // namespace

// The worked examples of docs/FORMAT.md.
TEST(LzhCompress, SixtyOneLettersGiveFourBytes) {
  const TMethodRun run = RunMethod(false, kMethodLzh, Repeat(0x41, 61));
  EXPECT_EQ(ToHex(run.Output), "E6 F3 40 00");
  EXPECT_EQ(run.Result, 4);
  EXPECT_EQ(run.Checksum, 61u * 0x41);
}

TEST(LzhCompress, ChoosesTheDocumentedMatches) {
  EXPECT_EQ(TokensOf(Repeat(0x41, 100)), (Tokens{"L41", "M60@0", "M39@0"}));
  // The space fill before the first byte is a match source like any other.
  EXPECT_EQ(TokensOf(Concat(Repeat(' ', 10), TextBytes("xyz"))),
            (Tokens{"M10@0", "L78", "L79", "L7A"}));
  EXPECT_EQ(TokensOf(TextBytes("abcabcabcabc")), (Tokens{"L61", "L62", "L63", "M9@2"}));
}

TEST(LzhCompress, MatchesAreCappedAtTheEndOfTheInput) {
  // The 3-byte match "abc" is cut to what is left; two bytes or fewer go as literals.
  EXPECT_EQ(TokensOf(TextBytes("abcdabc")), (Tokens{"L61", "L62", "L63", "L64", "M3@3"}));
  EXPECT_EQ(TokensOf(TextBytes("abcdab")), (Tokens{"L61", "L62", "L63", "L64", "L61", "L62"}));
  EXPECT_EQ(TokensOf(Repeat('q', 4)), (Tokens{"L71", "M3@0"}));
  EXPECT_EQ(TokensOf(Repeat('q', 3)), (Tokens{"L71", "L71", "L71"}));
}

TEST(LzhCompress, EmptyInputGivesAnEmptyStream) {
  const TMethodRun run = RunMethod(false, kMethodLzh, {});
  EXPECT_TRUE(run.Output.empty());
  EXPECT_EQ(run.Result, 0);
  EXPECT_EQ(run.Checksum, 0u);
  EXPECT_TRUE(RunMethod(true, kMethodLzh, {}, 0).Output.empty());
}

TEST(LzhCompress, CodesLongerThan16BitsGoOutInTwoParts) {
  // Fibonacci-like counts push symbol 36 (still counted once) 19 levels down.
  auto writerModel = std::make_unique<TLzhModel>();
  writerModel->InitModel();
  int64_t a = 1, b = 1;
  for (int s = 0; s < 9; ++s) {
    for (int64_t i = 0; i < a * 330; ++i) writerModel->UpdateModel(s);
    const int64_t next = a + b;
    a = b;
    b = next;
  }
  auto readerModel = std::make_unique<TLzhModel>(*writerModel);

  TScriptedSource none({});
  TRecordingSink sink;
  int length = 0;
  {
    TByteChannel channel(nullptr, sink, none, 0);
    TBitWriter bits(channel);
    bits.WriteBits(3, 0xA000);  // not byte-aligned, so both parts straddle bytes
    length = EncodeSymbol(*writerModel, bits, 36);
    EncodeSymbol(*writerModel, bits, 0);
    bits.FlushBits();
    channel.FlushOutput();
  }
  EXPECT_GT(length, 16);

  TScriptedSource source(sink.Data);
  TRecordingSink unused;
  TByteChannel channel(nullptr, unused, source, static_cast<int32_t>(sink.Data.size()));
  TBitReader bits(channel);
  EXPECT_EQ(bits.ReadBits(3), 5);
  EXPECT_EQ(DecodeSymbol(*readerModel, bits), 36);
  EXPECT_EQ(DecodeSymbol(*readerModel, bits), 0);
}

// The compressor's output pinned over larger inputs, so that no later change to the
// match finder or the bit writer can alter a byte unnoticed. Each stream also expands back.
TEST(LzhCompress, LargerInputsGiveTheirKnownStreams) {
  struct Case {
    const char* label;
    Bytes input;
    size_t size;
    uint64_t hash;
  };
  const Case cases[] = {
      {"text", TextOf(300000), 51778, 0xA959209441817553ull},
      {"binary", BinaryOf(200000), 97308, 0x92D09F98336CE84Bull},
      {"skewed", SkewedOf(300000), 67844, 0x1131FED6627F9C10ull},
      {"random", RandomBytes(50000, 11), 50140, 0xF03EE526E175A41Bull},
  };
  for (const Case& c : cases) {
    const Bytes stream = LzhCompressBytes(c.input);
    EXPECT_EQ(stream.size(), c.size) << c.label;
    EXPECT_EQ(HashOf(stream), c.hash) << c.label;
    EXPECT_EQ(LzhExpandBytes(stream, static_cast<int32_t>(c.input.size())), c.input) << c.label;
  }
}

namespace {

// The match finder as first laid out: byte-wise comparisons, each node caching the length
// of the prefix it shares with its parent, one position at a time. Slow and plain, it is
// the yardstick for the compressor's choices, which must be exactly the same.
class TPlainMatchFinder {
public:
  static constexpr int kRing = 4096;
  static constexpr int kLongest = 60;
  static constexpr int kNil = kRing;

  TPlainMatchFinder() {
    std::fill(std::begin(Window), std::end(Window), ' ');
    std::fill(std::begin(Right), std::end(Right), kNil);
    std::fill(std::begin(Dad), std::end(Dad), kNil);
  }

  void Insert(int r) {
    const uint8_t* const key = &Window[r];
    const int x = key[1] ^ key[2];
    int p = kRing + 1 + key[0] + 256 * ((x ^ (x >> 4)) & 0x0F);
    int cmp = 1;
    int s = 1;
    int i = 1;
    Left[r] = Right[r] = kNil;
    MatchLength = 0;
    for (;;) {
      int& link = cmp >= 0 ? Right[p] : Left[p];
      if (link == kNil) {
        link = r;
        Dad[r] = p;
        Shared[r] = i;
        return;
      }
      p = link;
      s = Shared[p];
      if (s < i) {
        i = s;
        cmp = key[i] - Window[p + i];
      } else if (s == i) {
        for (; i < kLongest; ++i) {
          cmp = key[i] - Window[p + i];
          if (cmp != 0) break;
        }
      }
      if (i > 2) {
        const int d = ((r - p) & (kRing - 1)) - 1;
        if (i > MatchLength) {
          MatchPosition = d;
          MatchLength = i;
          if (i >= kLongest) break;
        } else if (i == MatchLength && d < MatchPosition) {
          MatchPosition = d;
        }
      }
    }
    Shared[r] = Shared[p];
    Dad[r] = Dad[p];
    Left[r] = Left[p];
    Right[r] = Right[p];
    Dad[Left[p]] = r;
    Dad[Right[p]] = r;
    (Right[Dad[p]] == p ? Right[Dad[p]] : Left[Dad[p]]) = r;
    Dad[p] = kNil;
  }

  void Delete(int p) {
    if (Dad[p] == kNil) return;
    int q;
    if (Right[p] == kNil) {
      q = Left[p];
      if (q != kNil) Reattach(Dad[p], p, q);
    } else if (Left[p] == kNil) {
      q = Right[p];
      Reattach(Dad[p], p, q);
    } else {
      q = Left[p];
      if (Right[q] != kNil) {
        do q = Right[q];
        while (Right[q] != kNil);
        if (Left[q] != kNil) Reattach(Dad[q], q, Left[q]);
        MeasurePrefix(1, q, Left[p]);
        Right[Dad[q]] = Left[q];
        Dad[Left[q]] = Dad[q];
        Left[q] = Left[p];
        Dad[Left[p]] = q;
      }
      MeasurePrefix(1, Dad[p], q);
      MeasurePrefix(1, q, Right[p]);
      Right[q] = Right[p];
      Dad[Right[p]] = q;
    }
    Dad[q] = Dad[p];
    (Right[Dad[p]] == p ? Right[Dad[p]] : Left[Dad[p]]) = q;
    Dad[p] = kNil;
  }

  uint8_t Window[kRing + kLongest - 1];
  int MatchLength = 0;
  int MatchPosition = 0;

private:
  void MeasurePrefix(int a, int b, int c) {
    if (b >= kRing) {
      Shared[c] = 1;
      return;
    }
    int k = a;
    while (k < kLongest && Window[b + k] == Window[c + k]) ++k;
    Shared[c] = k;
  }
  void Reattach(int g, int y, int z) {
    if (Shared[y] == Shared[z]) {
      MeasurePrefix(Shared[y], g, z);
    } else if (Shared[y] < Shared[z]) {
      Shared[z] = Shared[y];
    }
  }

  int Right[2 * kRing + 1];
  int Left[kRing + 1];
  int Dad[kRing + 1];
  int Shared[kRing + 1] = {};
};

// The tokens the plain finder chooses, one position after the other.
Tokens PlainTokens(const Bytes& input) {
  auto finder = std::make_unique<TPlainMatchFinder>();
  uint8_t* const window = finder->Window;
  size_t taken = 0;
  int r = TPlainMatchFinder::kRing - TPlainMatchFinder::kLongest;
  int s = 0;
  int len = 0;
  for (; len < TPlainMatchFinder::kLongest && taken < input.size(); ++len) {
    window[r + len] = input[taken++];
  }
  Tokens tokens;
  if (len == 0) return tokens;
  for (int i = 1; i <= TPlainMatchFinder::kLongest; ++i) finder->Insert(r - i);
  finder->Insert(r);
  do {
    int& length = finder->MatchLength;
    if (length > len) length = len;
    if (length <= 2) {
      length = 1;
      tokens.push_back(Format("L%02X", window[r]));
    } else {
      tokens.push_back(Format("M%d@%d", length, finder->MatchPosition));
    }
    const int last = length;
    int i = 0;
    for (; i < last && taken < input.size(); ++i) {
      finder->Delete(s);
      window[s] = input[taken++];
      if (s < TPlainMatchFinder::kLongest - 1) window[s + TPlainMatchFinder::kRing] = window[s];
      s = (s + 1) % TPlainMatchFinder::kRing;
      r = (r + 1) % TPlainMatchFinder::kRing;
      finder->Insert(r);
    }
    for (; i < last; ++i) {
      finder->Delete(s);
      s = (s + 1) % TPlainMatchFinder::kRing;
      r = (r + 1) % TPlainMatchFinder::kRing;
      if (--len != 0) finder->Insert(r);
    }
  } while (len > 0);
  return tokens;
}

// The index of the first token where the two differ, or -1.
long FirstDifference(const Tokens& a, const Tokens& b) {
  for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
    if (a[i] != b[i]) return static_cast<long>(i);
  }
  return a.size() == b.size() ? -1 : static_cast<long>(std::min(a.size(), b.size()));
}

// Seeded bytes drawn from the first `letters` letters of the alphabet.
Bytes LettersOf(size_t n, int letters, uint32_t seed) {
  Bytes b = RandomBytes(n, seed);
  for (auto& x : b) x = static_cast<uint8_t>('a' + x % letters);
  return b;
}

// A 17-byte motif repeated with an occasional changed byte: common prefixes of 17 bytes
// and more, and runs of equal 60-byte strings.
Bytes MotifOf(size_t n) {
  const Bytes motif = TextBytes("0123456789ABCDEFG");
  const Bytes dice = RandomBytes(n / motif.size() + 1, 3);
  Bytes b;
  for (size_t k = 0; b.size() < n; ++k) {
    b.insert(b.end(), motif.begin(), motif.end());
    if (dice[k] % 4 == 0) b[b.size() - 1 - dice[k] / 4 % motif.size()] ^= 1;
  }
  b.resize(n);
  return b;
}

}  // namespace

// Ties between equally long matches are settled by the shape of the trees, so these
// inputs are chosen for shape: deep trees of few letters, long runs in which consecutive
// strings share a tree and equal strings replace each other, long common prefixes, and
// inputs short enough to end inside the first window.
TEST(LzhCompress, ChoosesWhatThePlainMatchFinderChooses) {
  struct Case {
    const char* label;
    Bytes input;
  };
  const Case cases[] = {
      {"two letters", LettersOf(60000, 2, 10)},
      {"three letters", LettersOf(60000, 3, 2)},
      {"runs", Concat(Concat(Repeat('a', 300), LettersOf(700, 2, 3)), Repeat(0, 9000))},
      {"motif", MotifOf(25000)},
      {"text", TextOf(40000)},
      {"binary", BinaryOf(30000)},
      {"random", RandomBytes(9000, 4)},
  };
  for (const Case& c : cases) {
    const Tokens mine = TokensOf(c.input);
    const Tokens plain = PlainTokens(c.input);
    EXPECT_EQ(FirstDifference(mine, plain), -1) << c.label;
  }
  for (size_t n = 1; n <= 130; n += 3) {
    const Bytes input = LettersOf(n, 2, static_cast<uint32_t>(n));
    EXPECT_EQ(FirstDifference(TokensOf(input), PlainTokens(input)), -1) << n << " bytes";
  }
}

namespace {

struct TCompressRun {
  Bytes Output;
  uint32_t Checksum = 0;
};

// LZH compression of the input with the search on this thread alone, or shared with a
// helper; the source hands out at most perRead bytes a call.
TCompressRun CompressWith(bool helper, const Bytes& input, int32_t perRead = INT32_MAX,
                          const TShowProgressEvent& onProgress = nullptr) {
  TScriptedSource source(input, perRead);
  TRecordingSink sink;
  TByteChannel channel(onProgress, sink, source, static_cast<int32_t>(input.size()));
  LzhCompress(channel, helper);
  channel.FlushOutput();
  return {sink.Data, channel.InputSum()};
}

}  // namespace

// The helper only takes part of the search: the stream must not change by a bit, whatever
// the data, however the input arrives, and wherever it ends: inside the first window,
// inside a batch, or far beyond the room kept for strings ahead of the coding.
TEST(LzhCompress, AHelperThreadChangesNothing) {
  struct Case {
    const char* label;
    Bytes input;
    int32_t perRead;
  };
  const Case cases[] = {
      {"text", TextOf(300000), INT32_MAX},
      {"binary", BinaryOf(150000), 1000},
      {"two letters", LettersOf(120000, 2, 7), 8191},
      {"motif", MotifOf(70000), 7},
      {"zeros", Repeat(0, 100000), INT32_MAX},
      {"random", RandomBytes(70001, 5), 333},
  };
  for (const Case& c : cases) {
    const TCompressRun alone = CompressWith(false, c.input, c.perRead);
    const TCompressRun helped = CompressWith(true, c.input, c.perRead);
    EXPECT_EQ(helped.Output, alone.Output) << c.label;
    EXPECT_EQ(helped.Checksum, alone.Checksum) << c.label;
    EXPECT_EQ(LzhExpandBytes(helped.Output, static_cast<int32_t>(c.input.size())), c.input)
        << c.label;
  }
  EXPECT_TRUE(CompressWith(true, {}).Output.empty());
  for (size_t n = 1; n <= 130; n += 7) {
    const Bytes input = LettersOf(n, 3, static_cast<uint32_t>(n));
    EXPECT_EQ(CompressWith(true, input, 5).Output, CompressWith(false, input).Output) << n;
  }
}

// Trees change hands only when the threads' idle times drift apart, which a test cannot
// count on: here every review trades, both ways in turn, and the stream stays the same.
TEST(LzhCompress, TreesTradedAtEveryReviewChangeNothing) {
  struct TradingEveryReview {
    TradingEveryReview() { TLzhSearch::SetTradeAtEveryReview(true); }
    ~TradingEveryReview() { TLzhSearch::SetTradeAtEveryReview(false); }
  };
  const Bytes input = Concat(TextOf(250000), BinaryOf(200000));
  const TCompressRun alone = CompressWith(false, input);
  const uint32_t tradesBefore = TLzhSearch::TradesMade();
  TCompressRun helped;
  {
    const TradingEveryReview trading;
    helped = CompressWith(true, input, 4096);
  }
  EXPECT_GE(TLzhSearch::TradesMade() - tradesBefore, 3u);
  EXPECT_EQ(helped.Output, alone.Output);
  EXPECT_EQ(helped.Checksum, alone.Checksum);
}

// Reading ahead for the helper must not change where a refused block ends the input, and
// a failing destination must end the compression with its error, the helper stopped.
TEST(LzhCompress, AHelperThreadStopsWhereTheInputOrTheOutputFails) {
  const Bytes input = TextOf(100000);
  int fetched = 0;
  const auto refuseThird = [&fetched](int32_t& percentage) {
    if (++fetched == 3) percentage = -1;
  };
  const TCompressRun alone = CompressWith(false, input, INT32_MAX, refuseThird);
  fetched = 0;
  const TCompressRun helped = CompressWith(true, input, INT32_MAX, refuseThird);
  EXPECT_EQ(helped.Output, alone.Output);
  EXPECT_EQ(helped.Checksum, alone.Checksum);
  EXPECT_EQ(LzhExpandBytes(helped.Output, 2 * kChannelBlockSize),
            Bytes(input.begin(), input.begin() + 2 * kChannelBlockSize));

  for (const bool helper : {false, true}) {
    TScriptedSource source(input);
    TRecordingSink sink;
    sink.failAfter = 1;
    TByteChannel channel(nullptr, sink, source, static_cast<int32_t>(input.size()));
    EXPECT_THROW(LzhCompress(channel, helper), EWriteError) << helper;
    EXPECT_EQ(sink.Writes.size(), 1u) << helper;
  }
}

// Two finders that split the trees, and hand some over to each other every few hundred
// bytes, record between them what one finder with all the trees records, to the last
// string of the input.
TEST(LzhCompress, MatchFindersThatShareTheTreesFindWhatOneFinds) {
  const Bytes input = Concat(Concat(TextOf(30000), LettersOf(20000, 2, 9)), MotifOf(12000));
  constexpr uint32_t kMask = (1u << 16) - 1;
  ASSERT_LT(input.size(), kMask);
  std::vector<uint32_t> whole(kMask + 1), low(kMask + 1), high(kMask + 1);
  auto one = std::make_unique<TLzhMatchFinder>();
  auto first = std::make_unique<TLzhMatchFinder>(0x00FF);
  auto second = std::make_unique<TLzhMatchFinder>(0xFF00);
  one->RecordMatchesIn(whole.data(), kMask);
  first->RecordMatchesIn(low.data(), kMask);
  second->RecordMatchesIn(high.data(), kMask);
  TLzhMatchFinder* const finders[] = {one.get(), first.get(), second.get()};

  for (TLzhMatchFinder* f : finders) f->Start(input.data(), kMaxMatch);
  int trades = 0;
  for (size_t at = kMaxMatch; at < input.size(); ++trades) {
    const int chunk =
        static_cast<int>(std::min<size_t>(333 + 97 * (trades % 5), input.size() - at));
    for (TLzhMatchFinder* f : finders) f->Slide(&input[at], chunk);
    at += static_cast<size_t>(chunk);
    const unsigned hash = 1u << (trades * 7 % 16);
    if (first->OwnedHashes() & hash) {
      first->HandOver(hash, *second);
    } else {
      second->HandOver(hash, *first);
    }
    ASSERT_EQ(first->OwnedHashes() | second->OwnedHashes(), TLzhMatchFinder::kEveryHash);
    ASSERT_EQ(first->OwnedHashes() & second->OwnedHashes(), 0u);
  }
  for (int k = 1; k < kMaxMatch; ++k) {
    for (TLzhMatchFinder* f : finders) f->SlideEmpty();
  }
  EXPECT_GT(trades, 100);
  size_t differences = 0;
  size_t matches = 0;
  for (size_t i = 0; i < input.size(); ++i) {
    if ((low[i] | high[i]) != whole[i] || (low[i] != 0 && high[i] != 0)) ++differences;
    if (TLzhMatch::FromRecord(whole[i]).Length != 0) ++matches;
  }
  EXPECT_EQ(differences, 0u);
  EXPECT_GT(matches, input.size() / 2);
}
