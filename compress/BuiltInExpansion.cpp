#include "compress/ArchiveFormat.h"
#include "compress/BuiltInMethod.h"
#include "compress/ByteChannel.h"
#include "compress/LzhExpand.h"
#include "compress/Rle.h"

int32_t ExpandBuiltInMethod(const TShowProgressEvent& OnShowProgress, TStream& Dest,
                            TStream& Source, uint32_t& Checksum, int Method, int32_t DestSize,
                            int32_t SourceSize) {
  if (Method != kMethodRle && Method != kMethodLzh) {
    Checksum = 0;
    return 0;
  }
  // The channel owns both blocks; an exception drops them, with any bytes not yet written.
  TByteChannel channel(OnShowProgress, Dest, Source, SourceSize);
  if (Method == kMethodLzh) {
    LzhExpand(channel, DestSize);
  } else {
    RleExpand(channel);
  }
  Checksum = channel.OutputSum();
  channel.FlushOutput();
  return channel.BytesWritten();
}
