#include "CodecTestSupport.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "compress/ByteChannel.h"
#include "compress/LzhBitReader.h"
#include "compress/LzhBitWriter.h"
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

uint32_t SumOf(const Bytes& bytes) {
  uint32_t sum = 0;
  for (uint8_t b : bytes) sum += b;
  return sum;
}

uint64_t HashOf(const Bytes& bytes) {
  uint64_t h = 14695981039346656037ull;
  for (uint8_t b : bytes) h = (h ^ b) * 1099511628211ull;
  return h;
}

namespace {
uint32_t NextRandom(uint32_t& state) {
  state ^= state << 13;
  state ^= state >> 17;
  state ^= state << 5;
  return state;
}

}  // namespace

Bytes RandomBytes(size_t n, uint32_t seed) {
  Bytes b(n);
  for (auto& x : b) x = static_cast<uint8_t>(NextRandom(seed) >> 7);
  return b;
}

Bytes TextOf(size_t n) {
  static const char* const kWords[] = {"Kestrel ", "connects ", "to ",    "the ",   "FTP ",
                                       "site ",    "and ",      "lists ", "files ", "\r\n",
                                       "[Site01]", "Host=",     "ftp.",   "Port=21"};
  Bytes b;
  uint32_t seed = 99;
  while (b.size() < n) {
    const char* w = kWords[NextRandom(seed) % 14];
    b.insert(b.end(), w, w + std::strlen(w));
  }
  b.resize(n);
  return b;
}

// Structured binary: small integers, repeated records and some noise.
Bytes BinaryOf(size_t n) {
  Bytes b(n);
  uint32_t seed = 5;
  for (size_t i = 0; i < n; ++i) {
    const uint32_t r = NextRandom(seed);
    b[i] = (i % 16 < 4) ? static_cast<uint8_t>(i >> 4) : (r % 5 == 0 ? static_cast<uint8_t>(r) : 0);
  }
  return b;
}

// Few symbols, heavily skewed, long enough for several rescales of the model.
Bytes SkewedOf(size_t n) {
  Bytes b(n);
  uint32_t seed = 17;
  for (auto& x : b) {
    const uint32_t r = NextRandom(seed);
    x = static_cast<uint8_t>((r & 0xFF) < 200   ? 'e'
                             : (r & 0xFF) < 240 ? 't'
                                                : 'a' + (r >> 24) % 26);
  }
  return b;
}

int32_t TScriptedSource::Read(void* buffer, int32_t count) {
  Requests.push_back(count);
  const int64_t left = static_cast<int64_t>(data_.size()) - position_;
  const int32_t n =
      static_cast<int32_t>(std::max<int64_t>(0, std::min<int64_t>({count, maxPerRead_, left})));
  if (n > 0) std::memcpy(buffer, data_.data() + position_, static_cast<size_t>(n));
  position_ += n;
  Delivered += n;
  return n;
}

int64_t TScriptedSource::Seek(int64_t offset, TSeekOrigin origin) {
  if (origin == TSeekOrigin::soBeginning) position_ = offset;
  if (origin == TSeekOrigin::soCurrent) position_ += offset;
  if (origin == TSeekOrigin::soEnd) position_ = static_cast<int64_t>(data_.size()) + offset;
  return position_;
}

int32_t TRecordingSink::Write(const void* buffer, int32_t count) {
  if (failAfter >= 0 && static_cast<int>(Writes.size()) >= failAfter) return 0;
  Writes.push_back(count);
  const uint8_t* p = static_cast<const uint8_t*>(buffer);
  Data.insert(Data.end(), p, p + count);
  return count;
}

TMethodRun RunMethod(bool expand, int method, const Bytes& input, int32_t destSize,
                     const TShowProgressEvent& onProgress, int32_t sourceSize) {
  TScriptedSource source(input);
  TRecordingSink sink;
  TMethodRun run;
  run.Result = RunBuiltInMethod(onProgress, sink, source, expand, run.Checksum, method, destSize,
                                sourceSize < 0 ? static_cast<int32_t>(input.size()) : sourceSize);
  run.Output = sink.Data;
  return run;
}

std::vector<std::string> LzhTokens(const Bytes& stream, int32_t expandedSize) {
  TScriptedSource source(stream);
  TRecordingSink sink;
  TByteChannel channel(nullptr, sink, source, static_cast<int32_t>(stream.size()));
  auto model = std::make_unique<TLzhModel>();
  model->InitModel();
  TBitReader bits(channel);
  std::vector<std::string> tokens;
  for (int32_t count = 0; count < expandedSize;) {
    const int s = DecodeSymbol(*model, bits);
    if (s < 256) {
      tokens.push_back(Format("L%02X", s));
      ++count;
    } else {
      const int p = DecodePosition(bits);
      tokens.push_back(Format("M%d@%d", MatchLengthOf(s), p));
      count += MatchLengthOf(s);
    }
  }
  return tokens;
}

Bytes LzhStreamOf(const std::vector<std::string>& tokens) {
  TScriptedSource source({});
  TRecordingSink sink;
  {
    TByteChannel channel(nullptr, sink, source, 0);
    auto model = std::make_unique<TLzhModel>();
    model->InitModel();
    TBitWriter bits(channel);
    for (const std::string& t : tokens) {
      if (t[0] == 'L') {
        EncodeSymbol(*model, bits, std::stoi(t.substr(1), nullptr, 16));
      } else {
        const size_t at = t.find('@');
        EncodeSymbol(*model, bits, MatchSymbol(std::stoi(t.substr(1, at - 1))));
        EncodePosition(bits, std::stoi(t.substr(at + 1)));
      }
    }
    bits.FlushBits();
    channel.FlushOutput();
  }
  return sink.Data;
}

std::string ShortcutMismatch(const TLzhModel& m) {
  for (int i = 0; i < kNodeCount; ++i) {
    if (i != kRootNode && m.GrandParent[i / 2] != m.Parent[m.Parent[i]]) {
      return "grandparent of " + std::to_string(i);
    }
    const int c = m.Child[i];
    if (c < kNodeCount && (m.GrandChild[2 * i] != m.Child[c] || m.GrandChild[2 * i + 1] != m.Child[c + 1])) {
      return "grandchildren of " + std::to_string(i);
    }
  }
  return "";
}
