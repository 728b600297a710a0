// Generated inputs, the same on every run: seeded random bytes, word salad with CR LF lines,
// structured binary records, a skewed text of few letters that forces many model rescales,
// and random bytes that are their own RLE encoding.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tests/support/Bytes.h"

Bytes RandomBytes(size_t n, uint32_t seed);
Bytes TextOf(size_t n);
Bytes BinaryOf(size_t n);
Bytes SkewedOf(size_t n);
// Random bytes without 0x94, the RLE escape: each one is a literal of its own.
Bytes RandomBytesWithout94(size_t count, uint32_t seed);
