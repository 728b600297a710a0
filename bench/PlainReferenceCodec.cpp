// The benchmarks' reference when lzhuf_ref.c is not at hand: the project's own plain
// expansion (tests/support/ReferenceCodec.cpp), written from the format alone. It has no
// compressor.
#include <vector>

#include "ReferenceCodec.h"
#include "tests/support/ReferenceCodec.h"

namespace {
Bytes gOutput;
}

extern "C" {

const char* ReferenceName(void) {
  return "the project's plain reference (tests/support/ReferenceCodec.cpp)";
}

size_t ReferenceCompress(const unsigned char*, size_t, const unsigned char** out) {
  *out = nullptr;
  return 0;
}

int ReferenceCanCompress(void) {
  return 0;
}

size_t ReferenceExpand(const unsigned char* in, size_t inSize, long long expandedSize,
                       const unsigned char** out) {
  gOutput = ReferenceLzhExpand(Bytes(in, in + inSize), static_cast<int32_t>(expandedSize)).Output;
  // A last match may run past the end; the file is what was asked for.
  if (gOutput.size() > static_cast<size_t>(expandedSize))
    gOutput.resize(static_cast<size_t>(expandedSize));
  *out = gOutput.data();
  return gOutput.size();
}
}
