// Raw LZH expansion through RunBuiltInMethod. Input: expanded size (2 bytes, at most
// 16,383: a run stays fast), a flags byte, the most bytes per source read (1 byte, times
// 64), then the stream. The output must have the size the method promises, carry the sum
// it reports, match the reference expander, and the source must never be read beyond
// SourceSize. One progress answer may be negative; its block then reads as zeros.
#include <vector>

#include "compress/compressor/BuiltInMethod.h"
#include "fuzz/FuzzChecks.h"
#include "tests/support/MemoryStreams.h"
#include "tests/support/ReferenceCodec.h"

namespace {

enum : uint8_t {
  kShortSourceSize = 0x01,  // SourceSize stops short of the stream's end
  kAbortOnce = 0x02,        // one progress event answers -1
  kNegativeSize = 0x04,     // the expanded size is negative
};
constexpr int32_t kLongestOverrun = 59;
// Sizes are taken modulo 16 KiB: past one output block, yet fast enough per run.
constexpr uint32_t kLargestSize = 0x3FFF;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TFuzzInput input(data, size);
  int32_t destSize = static_cast<int32_t>(input.Little(2) & kLargestSize);
  const uint8_t flags = input.Byte();
  const int32_t mostPerRead = (input.Byte() + 1) * 64;
  if (flags & kNegativeSize) destSize = -destSize;
  const int32_t streamSize = static_cast<int32_t>(input.Size());
  const int32_t sourceSize = (flags & kShortSourceSize) ? streamSize / 2 : streamSize;
  const int abortAt = (flags & kAbortOnce) ? flags >> 4 : -1;

  TScriptedSource source(input.Data(), input.Size(), mostPerRead);
  std::vector<int32_t> reported;
  int64_t abortedBlock = -1;
  int64_t abortedBlockEnd = -1;
  TShowProgressEvent onProgress = [&](int32_t& percentage) {
    reported.push_back(percentage);
    if (static_cast<int>(reported.size()) - 1 == abortAt) {
      percentage = -1;
      abortedBlock = source.LastReadStart;
      abortedBlockEnd = source.Position();
    }
  };
  TMemoryStream out;
  uint32_t checksum = 0;
  int32_t written = 0;
  try {
    written = RunBuiltInMethod(onProgress, out, source, true, checksum, 2, destSize, sourceSize);
  } catch (...) {
    FuzzFail("LZH expansion raised %s", FaultName(CurrentFault()));
  }

  const Bytes& got = out.Bytes();
  const int64_t consumed = source.Position();
  FUZZ_CHECK(consumed <= sourceSize, "read %lld bytes of a %d-byte source",
             static_cast<long long>(consumed), sourceSize);
  FUZZ_CHECK(checksum == SumOf(got), "the checksum is not the sum of the output");
  FUZZ_CHECK(written == static_cast<int32_t>(got.size()), "result %d for %zu bytes written",
             written, got.size());
  if (destSize <= 0) {
    FUZZ_CHECK(got.empty() && consumed == 0 && reported.empty(), "size %d did something", destSize);
    return 0;
  }
  FUZZ_CHECK(static_cast<int64_t>(got.size()) >= destSize &&
                 static_cast<int64_t>(got.size()) <= destSize + kLongestOverrun,
             "%zu bytes for an expanded size of %d", got.size(), destSize);
  for (size_t k = 1; k < reported.size(); ++k) {
    FUZZ_CHECK(reported[k] >= reported[k - 1] && reported[k] <= 100, "progress %d after %d",
               reported[k], reported[k - 1]);
  }

  // What the expander saw: the source up to SourceSize, except that an aborted block reads
  // as zeros, and its first byte twice (once from the refused fetch, once from the block).
  Bytes seen(input.Data(), input.Data() + sourceSize);
  if (abortedBlock >= 0) {
    const size_t from = static_cast<size_t>(abortedBlock);
    const size_t blockEnd = static_cast<size_t>(abortedBlockEnd);
    std::fill(seen.begin() + static_cast<std::ptrdiff_t>(from),
              seen.begin() + static_cast<std::ptrdiff_t>(std::min(blockEnd, seen.size())), 0);
    seen.insert(seen.begin() + static_cast<std::ptrdiff_t>(from), 0);
  }
  const TReferenceLzhResult reference = ReferenceLzhExpand(seen, destSize);
  FUZZ_CHECK(reference.ReadUnsetWindow || got == reference.Output,
             "LZH differs from the reference%s", abortedBlock >= 0 ? " after an abort" : "");
  return 0;
}
