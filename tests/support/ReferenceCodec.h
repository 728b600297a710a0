// Plain, slow versions of the built-in methods, written straight from the format's
// description and sharing no code with compress/. The fuzzers compare the real codec
// with them byte for byte, so a fast path that drifts from the format is a finding; the
// bench measures the codec against it where no other reference is at hand.
#pragma once

#include <cstdint>

#include "tests/support/Bytes.h"

// RLE expansion of a whole stream (the escape byte 0x94; 94 00 a literal 0x94; 94 n
// n - 1 more copies of the last lead byte, which starts at 0).
Bytes ReferenceRleExpand(const Bytes& stream);

// RLE compression: runs of 3 to 255 equal bytes (never of 0x94) become a literal and a pair.
Bytes ReferenceRleCompress(const Bytes& plain);

struct TReferenceLzhResult {
  Bytes Output;
  // The stream copied from window positions that neither the space fill nor an output byte
  // had set; what they hold is the implementation's choice, so such output is not compared.
  bool ReadUnsetWindow = false;
};

// LZH expansion of destSize bytes (a last match may run past it); past the end of the
// stream the bits read as 0. Bit by bit, one tree walk per symbol, no tables beyond the
// position code.
TReferenceLzhResult ReferenceLzhExpand(const Bytes& stream, int32_t destSize);
