#include "tests/support/Bytes.h"

#include "toolkit/Format.h"

Bytes Hex(const std::string& text) {
  Bytes out;
  for (size_t i = 0; i < text.size();) {
    if (text[i] == ' ') {
      ++i;
      continue;
    }
    out.push_back(static_cast<uint8_t>(std::stoi(text.substr(i, 2), nullptr, 16)));
    i += 2;
  }
  return out;
}

std::string ToHex(const Bytes& bytes) {
  std::string s;
  for (uint8_t b : bytes) {
    if (!s.empty()) s += ' ';
    s += Format("%02X", b);
  }
  return s;
}

Bytes Repeat(uint8_t b, size_t n) {
  return Bytes(n, b);
}

Bytes Concat(const Bytes& a, const Bytes& b) {
  Bytes out = a;
  out.insert(out.end(), b.begin(), b.end());
  return out;
}

Bytes TextBytes(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

uint32_t SumOf(const uint8_t* data, size_t size) {
  uint32_t sum = 0;
  for (size_t k = 0; k < size; ++k) sum += data[k];
  return sum;
}

uint64_t HashOf(const Bytes& bytes) {
  uint64_t h = 14695981039346656037ull;
  for (uint8_t b : bytes) h = (h ^ b) * 1099511628211ull;
  return h;
}

void PutLE(Bytes& out, uint64_t value, int size) {
  for (int i = 0; i < size; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void PutInt16(Bytes& bytes, int64_t at, int16_t value) {
  for (int k = 0; k < 2; ++k)
    bytes.at(static_cast<size_t>(at + k)) = static_cast<uint8_t>(value >> (8 * k));
}

void PutInt32(Bytes& bytes, int64_t at, int32_t value) {
  for (int k = 0; k < 4; ++k)
    bytes.at(static_cast<size_t>(at + k)) = static_cast<uint8_t>(value >> (8 * k));
}
