#include "tests/support/MethodRuns.h"

#include <utility>

#include "compress/ArchiveFormat.h"
#include "compress/compressor/BuiltInMethod.h"
#include "tests/support/MemoryStreams.h"

int32_t RunMethodInto(TStream& sink, bool expand, int method, const uint8_t* input, size_t size,
                      int32_t destSize, uint32_t& checksum, const TShowProgressEvent& onProgress,
                      int32_t sourceSize) {
  TReadOnlyMemoryStream source(input, static_cast<int64_t>(size));
  return RunBuiltInMethod(onProgress, sink, source, expand, checksum, method, destSize,
                          sourceSize < 0 ? static_cast<int32_t>(size) : sourceSize);
}

TMethodRun RunMethodFrom(TStream& source, bool expand, int method, int32_t destSize,
                         int32_t sourceSize, const TShowProgressEvent& onProgress) {
  TRecordingSink sink;
  TMethodRun run;
  run.Result = RunBuiltInMethod(onProgress, sink, source, expand, run.Checksum, method, destSize,
                                sourceSize);
  run.Output = std::move(sink.Data);
  return run;
}

TMethodRun RunMethod(bool expand, int method, const Bytes& input, int32_t destSize,
                     const TShowProgressEvent& onProgress, int32_t sourceSize) {
  TScriptedSource source(input.data(), input.size());
  return RunMethodFrom(source, expand, method, destSize,
                       sourceSize < 0 ? static_cast<int32_t>(input.size()) : sourceSize,
                       onProgress);
}

Bytes CompressBytes(int method, const Bytes& plain) {
  if (method == kMethodStored) return plain;
  return RunMethod(false, method, plain).Output;
}

Bytes LzhCompressBytes(const Bytes& input) {
  return RunMethod(false, kMethodLzh, input).Output;
}

Bytes LzhExpandBytes(const Bytes& stream, int32_t size) {
  return RunMethod(true, kMethodLzh, stream, size).Output;
}
