#include "compress/LzhCompress.h"

#include <algorithm>
#include <cstdint>
#include <memory>

#include "compress/ByteChannel.h"
#include "compress/LzhBitWriter.h"
#include "compress/LzhMatchFinder.h"
#include "compress/LzhModel.h"

namespace {

// Sends each string as a literal or as a reference to the best match in the window.
class TLzhCompressor {
public:
  explicit TLzhCompressor(TByteChannel& channel) : channel_(channel), bits_(channel) {}
  void Run();

private:
  int ReadInput(uint8_t* bytes, int count);

  TByteChannel& channel_;
  TLzhModel model_;
  TLzhMatchFinder finder_;
  TBitWriter bits_;
  bool inputDone_ = false;
};

// Takes up to count bytes from the channel, fewer when the input ends.
int TLzhCompressor::ReadInput(uint8_t* bytes, int count) {
  // Nearly always, the current block holds them all.
  if (!inputDone_ && channel_.InputAvailable() >= count) {
    const uint8_t* from = channel_.InputCursor();
    for (int i = 0; i < count; ++i) bytes[i] = from[i];
    channel_.SkipInput(count);
    return count;
  }
  int n = 0;
  while (n < count && !inputDone_) {
    const uint8_t c = channel_.NextInputByte();
    // Not asked again once ended: after a refused block the channel would still hand out
    // its bytes, flagged, and they would count in the checksum without being compressed.
    if (channel_.InputEnded()) {
      inputDone_ = true;
    } else {
      bytes[n++] = c;
    }
  }
  return n;
}

void TLzhCompressor::Run() {
  model_.InitModel();
  uint8_t bytes[kMaxMatch];
  int len = ReadInput(bytes, kMaxMatch);  // the look-ahead: bytes not yet sent
  if (len == 0) return;
  finder_.Start(bytes, len);

  do {
    int last = std::min(finder_.MatchLength, len);  // no match runs past the input
    if (last <= kMatchThreshold) {
      last = 1;
      EncodeSymbol(model_, bits_, finder_.Current());
    } else {
      EncodeSymbol(model_, bits_, MatchSymbol(last));
      EncodePosition(bits_, finder_.MatchPosition);
    }
    const int got = ReadInput(bytes, last);
    finder_.Slide(bytes, got);
    // Once the input has ended, the look-ahead drains.
    for (int i = got; i < last; ++i) finder_.SlideEmpty(--len != 0);
  } while (len > 0);
  bits_.FlushBits();
}

}  // namespace

void LzhCompress(TByteChannel& channel) {
  auto compressor = std::make_unique<TLzhCompressor>(channel);
  compressor->Run();
}
