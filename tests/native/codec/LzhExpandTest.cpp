// LZH expansion: known streams, the initial window, overlapping copies and short input.
#include <gtest/gtest.h>

#include <algorithm>

#include "compress/ArchiveFormat.h"
#include "compress/ByteChannel.h"
#include "compress/LzhBitReader.h"
#include "compress/compressor/BuiltInMethod.h"
#include "tests/support/Bytes.h"
#include "tests/support/LzhTokens.h"
#include "tests/support/MemoryStreams.h"
#include "tests/support/MethodRuns.h"
#include "tests/support/SampleData.h"

// The worked examples of docs/FORMAT.md.
TEST(LzhExpand, FourBytesGiveSixtyOneLetters) {
  const TMethodRun run = RunMethod(true, kMethodLzh, Hex("E6 F3 40 00"), 61);
  EXPECT_EQ(run.Output, Repeat(0x41, 61));
  EXPECT_EQ(run.Checksum, 61u * 0x41);
  EXPECT_EQ(run.Result, 61);
  EXPECT_EQ(LzhTokens(Hex("E6 F3 40 00"), 61), (std::vector<std::string>{"L41", "M60@0"}));
}

TEST(LzhExpand, MatchesAtTheStartCopyTheSpaceFill) {
  // Distance codes 0..59 reach the positions 4035 down to 3976, all spaces at first.
  EXPECT_EQ(LzhExpandBytes(LzhStreamOf({"M5@10"}), 5), TextBytes("     "));
  EXPECT_EQ(LzhExpandBytes(LzhStreamOf({"L78", "M4@59", "L79"}), 6), TextBytes("x    y"));
}

TEST(LzhExpand, OverlappingMatchesRepeatTheirSource) {
  EXPECT_EQ(LzhExpandBytes(LzhStreamOf({"L61", "L62", "M10@1"}), 12), TextBytes("abababababab"));
  // Distance code 2 three bytes back, across several positions of the window.
  EXPECT_EQ(LzhExpandBytes(LzhStreamOf({"L31", "L32", "L33", "M3@2", "M6@5"}), 12),
            TextBytes("123123123123"));
}

TEST(LzhExpand, AMatchRunningPastDestSizeIsWrittenWhole) {
  const TMethodRun run = RunMethod(true, kMethodLzh, LzhStreamOf({"L78", "M60@0"}), 10);
  EXPECT_EQ(run.Output, Repeat('x', 61));
  EXPECT_EQ(run.Result, 61);
}

TEST(LzhExpand, EveryPositionCodeReadsBack) {
  std::vector<std::string> tokens;
  for (int p = 0; p < 4096; p += 1) tokens.push_back("M3@" + std::to_string(p));
  const Bytes stream = LzhStreamOf(tokens);
  EXPECT_EQ(LzhTokens(stream, 3 * 4096), tokens);
}

TEST(LzhExpand, ShortInputReadsAsZeroBits) {
  Bytes text;
  for (int k = 0; k < 300; ++k) {
    const std::string line = "line " + std::to_string(k * k) + " of the readme\r\n";
    text.insert(text.end(), line.begin(), line.end());
  }
  const Bytes stream = LzhCompressBytes(text);
  const int32_t size = static_cast<int32_t>(text.size());
  for (size_t cut : {size_t{0}, size_t{1}, stream.size() / 2, stream.size() - 1}) {
    const Bytes truncated(stream.begin(), stream.begin() + static_cast<long>(cut));
    const TMethodRun run = RunMethod(true, kMethodLzh, truncated, size);
    // Exactly what the same bytes followed by zeros give, and never more than one match
    // beyond the size.
    EXPECT_EQ(run.Output, LzhExpandBytes(Concat(truncated, Repeat(0, stream.size())), size)) << cut;
    EXPECT_GE(run.Output.size(), text.size()) << cut;
    EXPECT_LE(run.Output.size(), text.size() + 59) << cut;
    EXPECT_EQ(run.Result, static_cast<int32_t>(run.Output.size())) << cut;
    // A member cut before a byte that carries bits must not pass as the original.
    if (std::any_of(stream.begin() + static_cast<long>(cut), stream.end(),
                    [](uint8_t b) { return b != 0; })) {
      EXPECT_NE(run.Output, text) << cut;
      EXPECT_NE(run.Checksum, SumOf(text)) << cut;
    }
  }
}

TEST(LzhExpand, ShortReadsGiveTheSameBytes) {
  Bytes data;
  for (int k = 0; k < 40000; ++k) data.push_back(static_cast<uint8_t>((k * k) >> 3));
  const Bytes stream = LzhCompressBytes(data);
  for (int32_t perRead : {1, 7, 4096, 8191}) {
    TScriptedSource source(stream, perRead);
    TRecordingSink sink;
    uint32_t checksum = 0;
    RunBuiltInMethod(nullptr, sink, source, true, checksum, kMethodLzh,
                     static_cast<int32_t>(data.size()), static_cast<int32_t>(stream.size()));
    EXPECT_EQ(sink.Data, data) << perRead;
    EXPECT_EQ(checksum, SumOf(data)) << perRead;
  }
}

// The decoder counts each symbol on its way down the tree and settles any move afterwards;
// the model must end exactly as the ordinary leaf-upward update leaves it, through moves,
// repeated moves and rescales. Random bits make every symbol and code length appear.
TEST(LzhExpand, DecodingUpdatesTheModelAsTheOrdinaryUpdateDoes) {
  const Bytes noise = Concat(RandomBytes(60000, 7), Repeat(0x00, 20000));
  TScriptedSource source(noise);
  TRecordingSink unused;
  TByteChannel channel(nullptr, unused, source, static_cast<int32_t>(noise.size()));
  TBitReader bits(channel);
  auto decoding = std::make_unique<TLzhModel>();
  auto plain = std::make_unique<TLzhModel>();
  decoding->InitModel();
  plain->InitModel();
  for (int n = 0; n < 100000; ++n) {
    const int s = DecodeSymbol(*decoding, bits);
    plain->UpdateModel(s);
    ASSERT_EQ(decoding->Frequency, plain->Frequency) << n;
    ASSERT_EQ(decoding->Child, plain->Child) << n;
    ASSERT_EQ(decoding->Parent, plain->Parent) << n;
    // The two-level steps of the walk must see the tree as it is.
    ASSERT_EQ(ShortcutMismatch(*decoding), "") << n;
  }
}
