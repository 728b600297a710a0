#include "tests/support/ReferenceCodec.h"

#include <array>
#include <cstring>

namespace {

constexpr uint8_t kEscape = 0x94;
constexpr int kLongestRun = 255;

constexpr int kRing = 4096;
constexpr int kLookAhead = 60;
constexpr int kFirstPosition = kRing - kLookAhead;  // 4036; 0..4035 start as spaces
constexpr int kSymbols = 314;
constexpr int kNodes = 2 * kSymbols - 1;
constexpr int kRoot = kNodes - 1;
constexpr uint16_t kRescaleAt = 0x8000;

// The position prefix code, from its code lengths by runs: 1 of 3 bits, 3 of 4, 8 of 5,
// 12 of 6, 24 of 7, 16 of 8, assigned in order of the upper six bits.
struct TPrefixCode {
  std::array<uint8_t, 256> upper{};
  std::array<uint8_t, 256> length{};
  TPrefixCode() {
    const int runs[6][2] = {{1, 3}, {3, 4}, {8, 5}, {12, 6}, {24, 7}, {16, 8}};
    int u = 0;
    int next = 0;
    for (const auto& run : runs) {
      for (int k = 0; k < run[0]; ++k, ++u) {
        for (int b = 0; b < (1 << (8 - run[1])); ++b, ++next) {
          upper[next] = static_cast<uint8_t>(u);
          length[next] = static_cast<uint8_t>(run[1]);
        }
      }
    }
  }
};

class TReferenceLzh {
public:
  TReferenceLzh(const Bytes& stream) : in_(stream) {
    for (int s = 0; s < kSymbols; ++s) {
      freq_[s] = 1;
      child_[s] = static_cast<uint16_t>(s + kNodes);
      parent_[s + kNodes] = static_cast<uint16_t>(s);
    }
    for (int i = 0, j = kSymbols; j < kNodes; ++j, i += 2) {
      freq_[j] = static_cast<uint16_t>(freq_[i] + freq_[i + 1]);
      child_[j] = static_cast<uint16_t>(i);
      parent_[i] = parent_[i + 1] = static_cast<uint16_t>(j);
    }
    freq_[kNodes] = 0xFFFF;
    parent_[kRoot] = 0;
  }

  int DecodeSymbol() {
    int c = child_[kRoot];
    while (c < kNodes) c = child_[c + ReadBit()];
    const int symbol = c - kNodes;
    Update(symbol);
    return symbol;
  }

  int DecodePosition() {
    static const TPrefixCode code;
    const int b = ReadBits(8);
    const int k = code.length[b] - 2;
    const int low = ReadBits(k);
    return code.upper[b] * 64 + (((b << k) | low) & 0x3F);
  }

private:
  // The decoder's 16-bit bit buffer is only a way of reading bits in order, most
  // significant first; a bit cursor over the stream reads the same bits.
  int ReadBit() {
    const size_t byte = bit_ / 8;
    const int value = byte < in_.size() ? (in_[byte] >> (7 - bit_ % 8)) & 1 : 0;
    ++bit_;
    return value;
  }
  int ReadBits(int count) {
    int v = 0;
    for (int k = 0; k < count; ++k) v = (v << 1) | ReadBit();
    return v;
  }

  void Update(int symbol) {
    if (freq_[kRoot] == kRescaleAt) Rescale();
    int n = parent_[symbol + kNodes];
    do {
      const uint16_t f = ++freq_[n];
      if (f > freq_[n + 1]) {
        int l = n + 2;
        while (f > freq_[l]) ++l;
        --l;
        freq_[n] = freq_[l];
        freq_[l] = f;
        const int i = child_[n];
        parent_[i] = static_cast<uint16_t>(l);
        if (i < kNodes) parent_[i + 1] = static_cast<uint16_t>(l);
        const int j = child_[l];
        child_[l] = static_cast<uint16_t>(i);
        parent_[j] = static_cast<uint16_t>(n);
        if (j < kNodes) parent_[j + 1] = static_cast<uint16_t>(n);
        child_[n] = static_cast<uint16_t>(j);
        n = l;
      }
      n = parent_[n];
    } while (n != 0);
  }

  void Rescale() {
    int j = 0;
    for (int i = 0; i < kNodes; ++i) {
      if (child_[i] >= kNodes) {
        freq_[j] = static_cast<uint16_t>((freq_[i] + 1) / 2);
        child_[j] = child_[i];
        ++j;
      }
    }
    for (int i = 0, j2 = kSymbols; j2 < kNodes; ++j2, i += 2) {
      const uint16_t f = static_cast<uint16_t>(freq_[i] + freq_[i + 1]);
      int k = j2 - 1;
      while (f < freq_[k]) --k;
      ++k;
      for (int m = j2; m > k; --m) {
        freq_[m] = freq_[m - 1];
        child_[m] = child_[m - 1];
      }
      freq_[k] = f;
      child_[k] = static_cast<uint16_t>(i);
    }
    for (int i = 0; i < kNodes; ++i) {
      const int c = child_[i];
      parent_[c] = static_cast<uint16_t>(i);
      if (c < kNodes) parent_[c + 1] = static_cast<uint16_t>(i);
    }
  }

  const Bytes& in_;
  size_t bit_ = 0;
  std::array<uint16_t, kNodes + 1> freq_{};
  std::array<uint16_t, kNodes> child_{};
  std::array<uint16_t, kNodes + kSymbols> parent_{};
};

}  // namespace

Bytes ReferenceRleExpand(const Bytes& stream) {
  Bytes out;
  uint8_t previous = 0;
  for (size_t k = 0; k < stream.size(); ++k) {
    const uint8_t c = stream[k];
    if (c != kEscape) {
      out.push_back(c);
    } else {
      const uint8_t n = k + 1 < stream.size() ? stream[++k] : 0;
      if (n == 0) {
        out.push_back(kEscape);
      } else {
        out.insert(out.end(), n - 1, previous);
      }
    }
    previous = c;
  }
  return out;
}

Bytes ReferenceRleCompress(const Bytes& plain) {
  Bytes out;
  size_t k = 0;
  while (k < plain.size()) {
    const uint8_t c = plain[k];
    if (c == kEscape) {
      out.push_back(kEscape);
      out.push_back(0);
      ++k;
      continue;
    }
    size_t run = 1;
    while (k + run < plain.size() && plain[k + run] == c && run < kLongestRun) ++run;
    out.push_back(c);
    if (run >= 3) {
      out.push_back(kEscape);
      out.push_back(static_cast<uint8_t>(run));
    } else if (run == 2) {
      out.push_back(c);
    }
    k += run;
  }
  return out;
}

TReferenceLzhResult ReferenceLzhExpand(const Bytes& stream, int32_t destSize) {
  TReferenceLzhResult result;
  if (destSize <= 0) return result;
  TReferenceLzh lzh(stream);
  std::array<uint8_t, kRing> window{};
  std::array<bool, kRing> set{};
  std::memset(window.data(), ' ', kFirstPosition);
  for (int k = 0; k < kFirstPosition; ++k) set[k] = true;
  int r = kFirstPosition;
  int32_t count = 0;
  auto put = [&](uint8_t b) {
    result.Output.push_back(b);
    window[r] = b;
    set[r] = true;
    r = (r + 1) % kRing;
    ++count;
  };
  while (count < destSize) {
    const int symbol = lzh.DecodeSymbol();
    if (symbol < 256) {
      put(static_cast<uint8_t>(symbol));
      continue;
    }
    const int position = lzh.DecodePosition();
    const int start = ((r - position - 1) % kRing + kRing) % kRing;
    for (int k = 0; k < symbol - 253; ++k) {
      const int from = (start + k) % kRing;
      if (!set[from]) result.ReadUnsetWindow = true;
      put(window[from]);
    }
  }
  return result;
}
