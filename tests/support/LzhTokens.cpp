#include "tests/support/LzhTokens.h"

#include <memory>

#include "compress/ByteChannel.h"
#include "compress/LzhBitReader.h"
#include "compress/compressor/LzhBitWriter.h"
#include "tests/support/MemoryStreams.h"
#include "toolkit/Format.h"

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
    if (c < kNodeCount &&
        (m.GrandChild[2 * i] != m.Child[c] || m.GrandChild[2 * i + 1] != m.Child[c + 1])) {
      return "grandchildren of " + std::to_string(i);
    }
  }
  return "";
}
