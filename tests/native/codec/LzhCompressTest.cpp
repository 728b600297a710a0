// LZH compression: the bytes and the matches it must choose.
#include <gtest/gtest.h>

#include <memory>

#include "CodecTestSupport.h"
#include "compress/ArchiveFormat.h"
#include "compress/ByteChannel.h"
#include "compress/LzhBitReader.h"
#include "compress/LzhBitWriter.h"

namespace {
std::vector<std::string> TokensOf(const Bytes& input) {
  return LzhTokens(LzhCompressBytes(input), static_cast<int32_t>(input.size()));
}
using Tokens = std::vector<std::string>;
}  // namespace

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
