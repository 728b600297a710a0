// Byte strings for tests, fuzz targets and benchmarks: building them from hex or text,
// printing them, their sums, and little-endian stores.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// "E6 F3 40 00" -> bytes.
Bytes Hex(const std::string& text);
std::string ToHex(const Bytes& bytes);
Bytes Repeat(uint8_t b, size_t n);
Bytes Concat(const Bytes& a, const Bytes& b);
Bytes TextBytes(const std::string& text);

// The archive's checksum: the sum of the bytes, modulo 2^32.
uint32_t SumOf(const uint8_t* data, size_t size);
inline uint32_t SumOf(const Bytes& bytes) {
  return SumOf(bytes.data(), bytes.size());
}
// 64-bit FNV-1a, to pin long outputs in a test.
uint64_t HashOf(const Bytes& bytes);

// Appends the low `size` bytes of value, least significant first.
void PutLE(Bytes& out, uint64_t value, int size);
// Little-endian stores over bytes already there, to damage one field of an archive.
void PutInt16(Bytes& bytes, int64_t at, int16_t value);
void PutInt32(Bytes& bytes, int64_t at, int32_t value);
