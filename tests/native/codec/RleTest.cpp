// The RLE method both ways, and the member checksum.
#include <gtest/gtest.h>

#include "compress/ArchiveFormat.h"
#include "tests/support/Bytes.h"
#include "tests/support/MethodRuns.h"

namespace {
std::string RleCompressHex(const Bytes& input) {
  return ToHex(RunMethod(false, kMethodRle, input).Output);
}
std::string RleExpandHex(const std::string& stream) {
  return ToHex(RunMethod(true, kMethodRle, Hex(stream)).Output);
}
}  // namespace

// The worked examples of docs/FORMAT.md.
TEST(RleCompress, DocumentedVectors) {
  EXPECT_EQ(RleCompressHex(Hex("41")), "41");
  EXPECT_EQ(RleCompressHex(Hex("41 41")), "41 41");
  EXPECT_EQ(RleCompressHex(Hex("41 41 41")), "41 94 03");
  EXPECT_EQ(RleCompressHex(Repeat(0x41, 255)), "41 94 FF");
  EXPECT_EQ(RleCompressHex(Repeat(0x41, 256)), "41 94 FF 41");
  EXPECT_EQ(RleCompressHex(Repeat(0x41, 600)), "41 94 FF 41 94 FF 41 94 5A");
  // The first byte does not run on from the initial previous byte 0.
  EXPECT_EQ(RleCompressHex(Hex("00 00 00")), "00 94 03");
  EXPECT_EQ(RleCompressHex(Hex("94")), "94 00");
  EXPECT_EQ(RleCompressHex(Hex("94 94 94")), "94 00 94 00 94 00");
  EXPECT_EQ(RleCompressHex(Hex("41 42 42 42 43")), "41 42 94 03 43");
  EXPECT_EQ(RleCompressHex({}), "");
}

TEST(RleCompress, RunsEndAtEscapesAndOtherBytes) {
  EXPECT_EQ(RleCompressHex(Hex("41 41 94")), "41 41 94 00");
  EXPECT_EQ(RleCompressHex(Hex("41 41 41 41 94 41 41")), "41 94 04 94 00 41 41");
  EXPECT_EQ(RleCompressHex(Hex("41 41 42 42")), "41 41 42 42");
  // Escapes can make the output larger than the input.
  EXPECT_EQ(RunMethod(false, kMethodRle, Repeat(0x94, 100)).Result, 200);
}

TEST(RleExpand, DocumentedVectors) {
  // The previous byte starts at 0.
  EXPECT_EQ(RleExpandHex("94 03"), "00 00");
  // After a pair the previous byte is the escape itself.
  EXPECT_EQ(RleExpandHex("41 94 05 94 03"), "41 41 41 41 41 94 94");
  EXPECT_EQ(RleExpandHex("94 00"), "94");
  // A stream ending right after the escape expands it as a literal.
  EXPECT_EQ(RleExpandHex("41 94"), "41 94");
  EXPECT_EQ(RleExpandHex("41 94 01"), "41");
  EXPECT_EQ(RleExpandHex(""), "");
}

TEST(RleExpand, IgnoresDestSizeAndStopsAtSourceSize) {
  const Bytes stream = Hex("41 94 FF 42 43");
  const TMethodRun run = RunMethod(true, kMethodRle, stream, 3, nullptr, 4);
  EXPECT_EQ(run.Output, Concat(Repeat(0x41, 255), Hex("42")));
  EXPECT_EQ(run.Result, 256);
}

TEST(Checksum, IsTheSumOfTheUncompressedBytes) {
  EXPECT_EQ(RunMethod(false, kMethodRle, TextBytes("abc")).Checksum, 294u);
  EXPECT_EQ(RunMethod(false, kMethodLzh, TextBytes("abc")).Checksum, 294u);
  EXPECT_EQ(RunMethod(true, kMethodRle, Hex("61 62 63")).Checksum, 294u);
  EXPECT_EQ(RunMethod(false, kMethodRle, {}).Checksum, 0u);
  EXPECT_EQ(RunMethod(false, kMethodRle, Repeat(0, 1000)).Checksum, 0u);
  // Expanding sums what comes out, not what goes in.
  EXPECT_EQ(RunMethod(true, kMethodRle, Hex("41 94 FF")).Checksum, 255u * 0x41);
  // The sum wraps modulo 2^32 and does not see order.
  const Bytes ff = Repeat(0xFF, 17000000);
  EXPECT_EQ(RunMethod(false, kMethodRle, ff).Checksum, static_cast<uint32_t>(17000000ull * 255));
  EXPECT_EQ(RunMethod(false, kMethodRle, Hex("01 02 03")).Checksum,
            RunMethod(false, kMethodRle, Hex("03 01 02")).Checksum);
}
