// One built-in method run from memory to memory, in either direction.
#pragma once

#include <cstddef>
#include <cstdint>

#include "compress/CompressEvents.h"
#include "tests/support/Bytes.h"
#include "toolkit/Stream.h"

struct TMethodRun {
  Bytes Output;
  uint32_t Checksum = 0;
  int32_t Result = 0;
};

// RunBuiltInMethod over the input, read as a plain memory stream, into the sink; SourceSize
// is the input's size unless given. Returns RunBuiltInMethod's result.
int32_t RunMethodInto(TStream& sink, bool expand, int method, const uint8_t* input, size_t size,
                      int32_t destSize, uint32_t& checksum,
                      const TShowProgressEvent& onProgress = nullptr, int32_t sourceSize = -1);

// RunBuiltInMethod from the source into memory, keeping the output and the checksum.
TMethodRun RunMethodFrom(TStream& source, bool expand, int method, int32_t destSize,
                         int32_t sourceSize, const TShowProgressEvent& onProgress = nullptr);
// The same from the input's bytes.
TMethodRun RunMethod(bool expand, int method, const Bytes& input, int32_t destSize = 0,
                     const TShowProgressEvent& onProgress = nullptr, int32_t sourceSize = -1);

// The plain bytes compressed with a method (the stored method leaves them as they are).
Bytes CompressBytes(int method, const Bytes& plain);
Bytes LzhCompressBytes(const Bytes& input);
Bytes LzhExpandBytes(const Bytes& stream, int32_t size);
