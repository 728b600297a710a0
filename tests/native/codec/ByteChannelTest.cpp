// RunBuiltInMethod and its byte channel: what is read, written and reported, and when.
#include <gtest/gtest.h>

#include <cstring>

#include "compress/ArchiveFormat.h"
#include "compress/compressor/BuiltInMethod.h"
#include "tests/support/Bytes.h"
#include "tests/support/MemoryStreams.h"
#include "tests/support/MethodRuns.h"

namespace {

// Bytes that RLE passes through one for one (no 0x94, no repeats).
Bytes PlainBytes(size_t n) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(i % 2 == 0 ? 'a' : 'b');
  return b;
}

TShowProgressEvent Recorder(std::vector<int32_t>& seen, int32_t answer = 0, int answerAt = -1) {
  return [&seen, answer, answerAt](int32_t& PercentageDone) {
    seen.push_back(PercentageDone);
    if (static_cast<int>(seen.size()) - 1 == answerAt) PercentageDone = answer;
  };
}

// A long source of one repeated byte that is never stored.
class TUniformSource : public TStream {
public:
  explicit TUniformSource(int64_t size) : size_(size) {}
  int32_t Read(void* buffer, int32_t count) override {
    const int32_t n = static_cast<int32_t>(std::min<int64_t>(count, size_ - position_));
    std::memset(buffer, 'A', static_cast<size_t>(std::max(n, 0)));
    position_ += std::max(n, 0);
    return std::max(n, 0);
  }
  int32_t Write(const void*, int32_t) override { return 0; }
  int64_t Seek(int64_t, TSeekOrigin) override { return position_; }

private:
  int64_t size_;
  int64_t position_ = 0;
};

}  // namespace

TEST(RunBuiltInMethod, OtherMethodsRunNothing) {
  for (int method : {0, 3, 7, -1}) {
    for (bool expand : {true, false}) {
      TScriptedSource source(PlainBytes(100));
      TRecordingSink sink;
      uint32_t checksum = 12345;
      EXPECT_EQ(RunBuiltInMethod(nullptr, sink, source, expand, checksum, method, 100, 100), 0);
      EXPECT_EQ(checksum, 0u);
      EXPECT_TRUE(source.Requests.empty());
      EXPECT_TRUE(sink.Writes.empty());
    }
  }
}

TEST(RunBuiltInMethod, LzhDestSizeZeroReadsNothing) {
  TScriptedSource source(Hex("E6 F3 40 00"));
  TRecordingSink sink;
  std::vector<int32_t> progress;
  uint32_t checksum = 7;
  EXPECT_EQ(RunBuiltInMethod(Recorder(progress), sink, source, true, checksum, kMethodLzh, 0, 4),
            0);
  EXPECT_EQ(checksum, 0u);
  EXPECT_TRUE(source.Requests.empty());
  EXPECT_TRUE(sink.Writes.empty());
  EXPECT_TRUE(progress.empty());
}

TEST(RunBuiltInMethod, ProgressOncePerFetchedBlock) {
  std::vector<int32_t> progress;
  RunMethod(true, kMethodRle, PlainBytes(8192), 0, Recorder(progress));
  EXPECT_EQ(progress, (std::vector<int32_t>{100}));

  progress.clear();
  RunMethod(true, kMethodRle, PlainBytes(20000), 0, Recorder(progress));
  EXPECT_EQ(progress, (std::vector<int32_t>{40, 81, 100}));

  // An LZH member hears ceil(compressed size / 8192) events as well.
  Bytes big(30000);
  uint32_t x = 1;
  for (auto& b : big) b = static_cast<uint8_t>((x = x * 1103515245 + 12345) >> 24);
  const Bytes stream = LzhCompressBytes(big);
  ASSERT_GT(stream.size(), 3u * 8192);
  progress.clear();
  const TMethodRun run =
      RunMethod(true, kMethodLzh, stream, static_cast<int32_t>(big.size()), Recorder(progress));
  EXPECT_EQ(run.Output, big);
  EXPECT_EQ(progress.size(), (stream.size() + 8191) / 8192);
  EXPECT_EQ(progress.back(), 100);
}

TEST(RunBuiltInMethod, ShortReadsAreAskedAgainWithARequestThatOnlyShrinks) {
  const Bytes input = PlainBytes(20000);
  TScriptedSource source(input, 3000);
  TRecordingSink sink;
  std::vector<int32_t> progress;
  uint32_t checksum = 0;
  RunBuiltInMethod(Recorder(progress), sink, source, true, checksum, kMethodRle, 0, 20000);
  EXPECT_EQ(source.Requests, (std::vector<int32_t>{8192, 8192, 8192, 8192, 8000, 5000, 2000}));
  EXPECT_EQ(progress, (std::vector<int32_t>{15, 30, 45, 60, 75, 90, 100}));
  EXPECT_EQ(sink.Data, input);
  EXPECT_EQ(checksum, SumOf(input));
}

TEST(RunBuiltInMethod, NeverReadsBeyondSourceSize) {
  const Bytes member = LzhCompressBytes(TextBytes("the member's own bytes, then the next header"));
  const Bytes following = Concat(member, Repeat(0xEE, 20000));
  TScriptedSource source(following);
  TRecordingSink sink;
  uint32_t checksum = 0;
  RunBuiltInMethod(nullptr, sink, source, true, checksum, kMethodLzh, 44,
                   static_cast<int32_t>(member.size()));
  EXPECT_EQ(source.Delivered, static_cast<int64_t>(member.size()));
  EXPECT_EQ(sink.Data, TextBytes("the member's own bytes, then the next header"));
}

TEST(RunBuiltInMethod, ASourceThatRunsDryIsNotAskedOnceForEveryByte) {
  // The data stops far short of SourceSize; expansion goes on with zero bits.
  TScriptedSource source(Hex("E6 F3"));
  TRecordingSink sink;
  uint32_t checksum = 0;
  RunBuiltInMethod(nullptr, sink, source, true, checksum, kMethodLzh, 50000, 1000000);
  EXPECT_GE(sink.Data.size(), 50000u);
  EXPECT_LE(source.Requests.size(), 2u);
}

TEST(RunBuiltInMethod, OutputGoesOutInBlocksAndTheLastOneAtTheEnd) {
  TScriptedSource source(PlainBytes(16384));
  TRecordingSink sink;
  uint32_t checksum = 0;
  EXPECT_EQ(RunBuiltInMethod(nullptr, sink, source, true, checksum, kMethodRle, 0, 16384), 16384);
  EXPECT_EQ(sink.Writes, (std::vector<int32_t>{8192, 8192}));

  // The same through LZH, with an expanded size that is a multiple of 8192.
  const Bytes data = PlainBytes(16384);
  const Bytes stream = LzhCompressBytes(data);
  TScriptedSource lzhSource(stream);
  TRecordingSink lzhSink;
  EXPECT_EQ(RunBuiltInMethod(nullptr, lzhSink, lzhSource, true, checksum, kMethodLzh, 16384,
                             static_cast<int32_t>(stream.size())),
            16384);
  EXPECT_EQ(lzhSink.Writes, (std::vector<int32_t>{8192, 8192}));
  EXPECT_EQ(lzhSink.Data, data);
  EXPECT_EQ(checksum, SumOf(data));

  TScriptedSource oddSource(PlainBytes(8193));
  TRecordingSink oddSink;
  RunBuiltInMethod(nullptr, oddSink, oddSource, true, checksum, kMethodRle, 0, 8193);
  EXPECT_EQ(oddSink.Writes, (std::vector<int32_t>{8192, 1}));
}

TEST(RunBuiltInMethod, AFailedWriteRaisesAndDropsThePendingBytes) {
  TScriptedSource source(PlainBytes(20000));
  TRecordingSink sink;
  sink.failAfter = 1;
  uint32_t checksum = 0;
  EXPECT_THROW(RunBuiltInMethod(nullptr, sink, source, true, checksum, kMethodRle, 0, 20000),
               EWriteError);
  EXPECT_EQ(sink.Data.size(), 8192u);
}

TEST(RunBuiltInMethod, NegativePercentageEndsTheInput) {
  const Bytes input = PlainBytes(20000);
  // Refused at the first block: nothing is compressed.
  std::vector<int32_t> progress;
  TMethodRun run = RunMethod(false, kMethodRle, input, 0, Recorder(progress, -1, 0));
  EXPECT_TRUE(run.Output.empty());
  EXPECT_EQ(run.Checksum, 0u);
  EXPECT_EQ(progress.size(), 1u);

  // Refused at the second block: the first block is compressed, and counted, alone.
  const Bytes first(input.begin(), input.begin() + 8192);
  progress.clear();
  run = RunMethod(false, kMethodRle, input, 0, Recorder(progress, -1, 1));
  EXPECT_EQ(run.Output, RunMethod(false, kMethodRle, first).Output);
  EXPECT_EQ(run.Checksum, SumOf(first));

  // LZH compression stops the same way and leaves a valid stream of what it read.
  progress.clear();
  run = RunMethod(false, kMethodLzh, input, 0, Recorder(progress, -1, 1));
  EXPECT_EQ(run.Checksum, SumOf(first));
  EXPECT_EQ(LzhExpandBytes(run.Output, 8192), first);

  // LZH expansion goes on to the expanded size, reading the refused block as zero bits.
  const Bytes stream = LzhCompressBytes(input);
  progress.clear();
  const auto refuseAll = [](int32_t& PercentageDone) { PercentageDone = -1; };
  run = RunMethod(true, kMethodLzh, stream, 20000, refuseAll);
  EXPECT_EQ(run.Output, LzhExpandBytes(Repeat(0, stream.size()), 20000));
}

TEST(RunBuiltInMethod, RleExpandAbortedAtACountByteWritesOneEscape) {
  // Block one ends with a lone 0x94; block two, whose count would follow, is refused.
  Bytes input = PlainBytes(8191);
  input.push_back(0x94);
  input.push_back(0x05);
  input.push_back('z');
  std::vector<int32_t> progress;
  const TMethodRun run = RunMethod(true, kMethodRle, input, 0, Recorder(progress, -1, 1));
  Bytes expected = PlainBytes(8191);
  expected.push_back(0x94);
  EXPECT_EQ(run.Output, expected);
}

TEST(RunBuiltInMethod, ProgressOfHugeMembersNeverWraps) {
  // Past 21,474,836 bytes, FetchedSoFar * 100 no longer fits in 32 bits.
  constexpr int32_t kSize = 25000000;
  TUniformSource source(kSize);
  TRecordingSink sink;
  std::vector<int32_t> progress;
  uint32_t checksum = 0;
  RunBuiltInMethod(Recorder(progress), sink, source, false, checksum, kMethodRle, 0, kSize);
  ASSERT_EQ(progress.size(), static_cast<size_t>((kSize + 8191) / 8192));
  for (size_t i = 1; i < progress.size(); ++i) {
    ASSERT_GE(progress[i], progress[i - 1]) << i;
    ASSERT_GE(progress[i], 0) << i;
  }
  EXPECT_EQ(progress.back(), 100);
  EXPECT_EQ(checksum, static_cast<uint32_t>(uint64_t{kSize} * 'A'));
}
