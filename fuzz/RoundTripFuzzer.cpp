// Compress, then expand, any input with either built-in method. Input: a method byte
// (odd: RLE, even: LZH), the most bytes per source read (1 byte, times 16), then the data.
// Expansion must give the data back with the same checksum, the compressor must not
// depend on how its source delivers bytes nor, for LZH, on whether its string search has
// a helper thread (the second compression has one), RLE must equal the reference
// compressor, and
// an LZH stream must expand correctly by the reference expander too, so that a fault
// shared by both directions of the codec cannot hide.
#include <utility>

#include "compress/ByteChannel.h"
#include "compress/compressor/LzhCompress.h"
#include "fuzz/FuzzChecks.h"
#include "tests/support/MemoryStreams.h"
#include "tests/support/MethodRuns.h"
#include "tests/support/ReferenceCodec.h"

namespace {

TMethodRun Run(bool expand, int method, TStream& source, int32_t destSize, int32_t sourceSize) {
  try {
    return RunMethodFrom(source, expand, method, destSize, sourceSize);
  } catch (...) {
    FuzzFail("%s raised %s", expand ? "expansion" : "compression", FaultName(CurrentFault()));
  }
}

// LZH compression as RunBuiltInMethod runs it, but with a helper for the search whatever
// the size.
TMethodRun CompressLzhWithHelper(TStream& source, int32_t sourceSize) {
  TMethodRun run;
  TRecordingSink out;
  try {
    TByteChannel channel(nullptr, out, source, sourceSize);
    LzhCompress(channel, true);
    run.Checksum = channel.InputSum();
    channel.FlushOutput();
    run.Result = channel.BytesWritten();
  } catch (...) {
    FuzzFail("compression with a helper raised %s", FaultName(CurrentFault()));
  }
  run.Output = std::move(out.Data);
  return run;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TFuzzInput input(data, size);
  const int method = (input.Byte() & 1) ? 1 : 2;
  const int32_t mostPerRead = (input.Byte() + 1) * 16;
  const Bytes plain(input.Data(), input.Data() + input.Size());
  const int32_t plainSize = static_cast<int32_t>(plain.size());

  TReadOnlyMemoryStream whole(plain.data(), plainSize);
  const TMethodRun packed = Run(false, method, whole, 0, plainSize);
  FUZZ_CHECK(packed.Checksum == SumOf(plain), "compression's checksum is not the input's sum");
  FUZZ_CHECK(packed.Result == static_cast<int32_t>(packed.Output.size()),
             "compressed size %d for %zu bytes", packed.Result, packed.Output.size());
  FUZZ_CHECK(!plain.empty() || packed.Output.empty(), "an empty input gave a stream");

  TScriptedSource choppy(plain.data(), plain.size(), mostPerRead);
  const TMethodRun packedInPieces = method == 2 ? CompressLzhWithHelper(choppy, plainSize)
                                                : Run(false, method, choppy, 0, plainSize);
  FUZZ_CHECK(packedInPieces.Output == packed.Output,
             "the compressed stream depends on the source's read sizes or on the helper");
  FUZZ_CHECK(packedInPieces.Checksum == packed.Checksum, "the checksum depends on the source");

  if (method == 1) {
    FUZZ_CHECK(packed.Output == ReferenceRleCompress(plain), "RLE differs from the reference");
  } else {
    const TReferenceLzhResult reference = ReferenceLzhExpand(packed.Output, plainSize);
    FUZZ_CHECK(reference.Output == plain, "the reference expander does not get the input back");
  }

  TReadOnlyMemoryStream stream(packed.Output.data(), static_cast<int64_t>(packed.Output.size()));
  const TMethodRun unpacked =
      Run(true, method, stream, plainSize, static_cast<int32_t>(packed.Output.size()));
  FUZZ_CHECK(unpacked.Output == plain, "the round trip changed the data (%zu -> %zu bytes)",
             plain.size(), unpacked.Output.size());
  FUZZ_CHECK(unpacked.Checksum == packed.Checksum, "the two directions' checksums differ");
  FUZZ_CHECK(stream.Position() == static_cast<int64_t>(packed.Output.size()),
             "expansion did not take the whole stream");
  return 0;
}
