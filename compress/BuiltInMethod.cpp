#include "compress/BuiltInMethod.h"

#include "compress/ArchiveFormat.h"
#include "compress/ByteChannel.h"
#include "compress/LzhCompress.h"
#include "compress/Rle.h"

int32_t RunBuiltInMethod(const TShowProgressEvent& OnShowProgress, TStream& Dest, TStream& Source,
                         bool Expand, uint32_t& Checksum, int Method, int32_t DestSize,
                         int32_t SourceSize) {
  if (Expand) {
    return ExpandBuiltInMethod(OnShowProgress, Dest, Source, Checksum, Method, DestSize,
                               SourceSize);
  }
  if (Method != kMethodRle && Method != kMethodLzh) {
    Checksum = 0;
    return 0;
  }
  // The channel owns both blocks; an exception drops them, with any bytes not yet written.
  TByteChannel channel(OnShowProgress, Dest, Source, SourceSize);
  if (Method == kMethodLzh) {
    LzhCompress(channel);
  } else {
    RleCompress(channel);
  }
  Checksum = channel.InputSum();
  channel.FlushOutput();
  return channel.BytesWritten();
}
