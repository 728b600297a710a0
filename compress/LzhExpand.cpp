#include "compress/LzhExpand.h"

#include <cstring>
#include <memory>

#include "compress/ByteChannel.h"
#include "compress/LzhBitReader.h"
#include "compress/LzhModel.h"

namespace {

// Output is written straight after the 4096 bytes that precede it, so that a match reads
// its source without wrapping around a ring: a match at distance code p starts p + 1
// bytes back. Whenever kOutputChunk new bytes have piled up they go to the channel, and
// the last 4096 move to the front again.
inline constexpr int kOutputChunk = 16384;
// A match may start writing just below the flush mark and run 60 bytes past it, and its
// word-wise copy may overshoot by up to 7 more.
inline constexpr int kOutputSlack = kMaxMatch + 8;

struct TExpandState {
  TLzhModel model;
  uint8_t output[kRingSize + kOutputChunk + kOutputSlack];
};

// Copies length bytes from back bytes behind out. A source that overlaps the bytes being
// written repeats them, as the method requires; sources far enough back go eight bytes
// at a time, possibly writing a few bytes past the end that later output overwrites.
inline void CopyMatch(uint8_t* out, int back, int length) {
  const uint8_t* from = out - back;
  if (back >= 8) {
    for (int k = 0; k < length; k += 8) std::memcpy(out + k, from + k, 8);
  } else {
    for (int k = 0; k < length; ++k) out[k] = from[k];
  }
}

// The expansion but for the allocation of its state. With nothing here to destroy when
// an exception passes, the 32-bit compiler need not keep a frame pointer, and the
// decoding loop has that register. Flattened, so that what it takes from the headers is
// its own copy, built with this file's flags (which the compressor's files do not share).
[[gnu::noinline, gnu::flatten]] void ExpandWith(TExpandState& state, TByteChannel& channel,
                                                int32_t DestSize) {
  TLzhModel& model = state.model;
  uint8_t* const output = state.output;
  model.InitModel();
  // The window before the first byte, oldest first: positions 4036..4095 of the ring,
  // which nothing has written yet (zero), then 0..4035, the space fill.
  std::memset(output, 0, kRingSize - kFirstWritePosition);
  std::memset(output + kRingSize - kFirstWritePosition, kWindowFill, kFirstWritePosition);
  TBitReader bits(channel);

  uint8_t* const fresh = output + kRingSize;  // the first byte not yet handed on
  uint8_t* const flushMark = fresh + kOutputChunk;
  uint8_t* out = fresh;
  int32_t left = DestSize;  // the bytes still due once those before `fresh` are handed on
  while (out - fresh < left) {
    const int s = DecodeSymbol(model, bits);
    if (s < 256) {
      *out++ = static_cast<uint8_t>(s);
    } else {
      const int back = DecodePosition(bits) + 1;
      const int length = MatchLengthOf(s);
      CopyMatch(out, back, length);
      out += length;
    }
    if (out >= flushMark) {
      const int32_t n = static_cast<int32_t>(out - fresh);
      channel.EmitOutputBytes(fresh, n);
      left -= n;
      std::memmove(output, out - kRingSize, kRingSize);
      out = fresh;
    }
  }
  bits.Release();
  channel.EmitOutputBytes(fresh, static_cast<int32_t>(out - fresh));
}

}  // namespace

void LzhExpand(TByteChannel& channel, int32_t DestSize) {
  if (DestSize <= 0) return;
  const auto state = std::make_unique<TExpandState>();
  ExpandWith(*state, channel, DestSize);
}
