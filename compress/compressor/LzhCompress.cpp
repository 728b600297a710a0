#include "compress/compressor/LzhCompress.h"

#include <cstdint>
#include <memory>

#include "compress/ByteChannel.h"
#include "compress/LzhModel.h"
#include "compress/compressor/LzhBitWriter.h"
#include "compress/compressor/LzhSearch.h"

namespace {

// Sends each string as a literal or as a reference to the best match in the window.
class TLzhCompressor {
public:
  explicit TLzhCompressor(TByteChannel& channel) : channel_(channel), bits_(channel) {}
  void Run(bool withHelper);

private:
  TByteChannel& channel_;
  TLzhModel model_;
  TBitWriter bits_;
};

void TLzhCompressor::Run(bool withHelper) {
  model_.InitModel();
  TLzhSearch search(channel_, withHelper);
  for (uint32_t i = 0; search.HasString(i);) {
    const TLzhMatch match = search.MatchAt(i);
    if (match.Length == 0) {
      EncodeSymbol(model_, bits_, search.ByteAt(i));
      ++i;
    } else {
      EncodeSymbol(model_, bits_, MatchSymbol(match.Length));
      EncodePosition(bits_, match.Position);
      i += static_cast<uint32_t>(match.Length);
    }
  }
  bits_.FlushBits();
}

}  // namespace

void LzhCompress(TByteChannel& channel) {
  LzhCompress(channel, TLzhSearch::WorthAHelper(channel.InputExpected()));
}

void LzhCompress(TByteChannel& channel, bool withHelper) {
  auto compressor = std::make_unique<TLzhCompressor>(channel);
  compressor->Run(withHelper);
}
