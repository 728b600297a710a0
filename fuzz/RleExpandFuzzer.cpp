// Raw RLE expansion through RunBuiltInMethod. Input: a flags byte, the most bytes per
// source read (1 byte, plus 1), then the stream. The output must equal the reference
// expander's over the bytes the method was given, carry the sum it reports, and take the
// whole source up to SourceSize. A negative progress answer ends the input at the start
// of its block.
#include <vector>

#include "compress/compressor/BuiltInMethod.h"
#include "fuzz/FuzzChecks.h"
#include "tests/support/MemoryStreams.h"
#include "tests/support/ReferenceCodec.h"

namespace {
enum : uint8_t {
  kShortSourceSize = 0x01,  // SourceSize stops short of the stream's end
  kAbortOnce = 0x02,        // one progress event answers -1
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TFuzzInput input(data, size);
  const uint8_t flags = input.Byte();
  const int32_t mostPerRead = input.Byte() + 1;
  const int32_t streamSize = static_cast<int32_t>(input.Size());
  const int32_t sourceSize = (flags & kShortSourceSize) ? streamSize / 2 : streamSize;
  const int abortAt = (flags & kAbortOnce) ? flags >> 4 : -1;

  TScriptedSource source(input.Data(), input.Size(), mostPerRead);
  int events = 0;
  int64_t inputEnd = sourceSize;
  TShowProgressEvent onProgress = [&](int32_t& percentage) {
    FUZZ_CHECK(percentage >= 0 && percentage <= 100, "progress of %d%%", percentage);
    if (events++ == abortAt) {
      percentage = -1;
      inputEnd = source.LastReadStart;
    }
  };
  TMemoryStream out;
  uint32_t checksum = 0;
  int32_t written = 0;
  try {
    written = RunBuiltInMethod(onProgress, out, source, true, checksum, 1, 0, sourceSize);
  } catch (...) {
    FuzzFail("RLE expansion raised %s", FaultName(CurrentFault()));
  }
  const Bytes& got = out.Bytes();
  FUZZ_CHECK(checksum == SumOf(got), "the checksum is not the sum of the output");
  FUZZ_CHECK(written == static_cast<int32_t>(got.size()), "result %d for %zu bytes", written,
             got.size());
  if (inputEnd == sourceSize) {
    FUZZ_CHECK(source.Position() == sourceSize, "RLE stopped at %lld of %d",
               static_cast<long long>(source.Position()), sourceSize);
  }
  const Bytes given(input.Data(), input.Data() + inputEnd);
  FUZZ_CHECK(got == ReferenceRleExpand(given), "RLE differs from the reference");
  return 0;
}
