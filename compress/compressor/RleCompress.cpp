#include "compress/compressor/RleCompress.h"

#include "compress/ByteChannel.h"
#include "compress/Rle.h"

namespace {

// The compressor's state, fresh for every member.
struct TRleState {
  uint8_t PreviousByte = 0;
  int32_t RunLength = 0;  // counts the run's first byte, at most 255
  bool InRun = false;
  bool AtFirstByte = true;  // keeps the first byte from running on from PreviousByte 0
};

void WriteLiteral(TByteChannel& channel, uint8_t c) {
  channel.EmitOutputByte(c);
  if (c == kRleEscape) channel.EmitOutputByte(0);
}

// A finished run as a pair, or, for one or two bytes, as that many literals less the one
// already written.
void EmitRun(TByteChannel& channel, int32_t n, uint8_t b) {
  if (n == 0 || n > 2) {
    channel.EmitOutputByte(kRleEscape);
    channel.EmitOutputByte(static_cast<uint8_t>(n));
  } else {
    for (int32_t k = 1; k < n; ++k) channel.EmitOutputByte(b);
  }
}

}  // namespace

void RleCompress(TByteChannel& channel) {
  TRleState st;
  for (;;) {
    const uint8_t c = channel.NextInputByte();
    if (channel.InputEnded()) break;
    if (st.InRun) {
      if (c == st.PreviousByte && st.RunLength < kRleMaxRun) {
        ++st.RunLength;
      } else {
        EmitRun(channel, st.RunLength, st.PreviousByte);
        st.PreviousByte = c;
        WriteLiteral(channel, c);
        st.InRun = false;
      }
    } else {
      if (c == kRleEscape || c != st.PreviousByte || st.AtFirstByte) {
        WriteLiteral(channel, c);
      } else {
        // The byte repeats a literal just written: a run of two so far, written later.
        st.RunLength = 2;
        st.InRun = true;
      }
      st.PreviousByte = c;
    }
    st.AtFirstByte = false;
  }
  if (st.InRun) EmitRun(channel, st.RunLength, st.PreviousByte);
}
