#include "compress/Rle.h"

#include "compress/ByteChannel.h"

void RleExpand(TByteChannel& channel, int32_t) {
  uint8_t PreviousByte = 0;  // the last lead byte read, so 0x94 after any pair
  for (;;) {
    const uint8_t c = channel.NextInputByte();
    if (channel.InputEnded()) break;
    if (c != kRleEscape) {
      channel.EmitOutputByte(c);
    } else {
      // No end test: a stream ending after 0x94 reads a count of 0, a literal 0x94.
      const uint8_t n = channel.NextInputByte();
      if (n == 0) {
        channel.EmitOutputByte(kRleEscape);
      } else {
        for (int k = 1; k < n; ++k) channel.EmitOutputByte(PreviousByte);
      }
    }
    PreviousByte = c;
  }
}
