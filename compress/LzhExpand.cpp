#include "compress/LzhExpand.h"

#include <cstring>
#include <memory>

#include "compress/ByteChannel.h"
#include "compress/LzhBitReader.h"
#include "compress/LzhModel.h"

namespace {
struct TExpandState {
  TLzhModel model;
  uint8_t window[kRingSize];
};
}  // namespace

void LzhExpand(TByteChannel& channel, int32_t DestSize) {
  if (DestSize <= 0) return;
  auto state = std::make_unique<TExpandState>();
  TLzhModel& model = state->model;
  uint8_t* const window = state->window;
  model.InitModel();
  std::memset(window, kWindowFill, kFirstWritePosition);
  TBitReader bits(channel);

  int r = kFirstWritePosition;
  int32_t count = 0;
  while (count < DestSize) {
    const int s = DecodeSymbol(model, bits);
    if (s < 256) {
      channel.EmitOutputByte(static_cast<uint8_t>(s));
      window[r] = static_cast<uint8_t>(s);
      r = (r + 1) & kRingMask;
      ++count;
    } else {
      const int p = DecodePosition(bits);
      const int start = (r - p - 1) & kRingMask;
      const int length = MatchLengthOf(s);
      // One byte at a time: a source that overlaps the bytes being written repeats them.
      for (int k = 0; k < length; ++k) {
        const uint8_t b = window[(start + k) & kRingMask];
        channel.EmitOutputByte(b);
        window[r] = b;
        r = (r + 1) & kRingMask;
      }
      count += length;
    }
  }
}
