#include "compress/BuiltInExpansion.h"

#include "compress/ByteChannel.h"
#include "compress/MethodTable.h"

int32_t ExpandBuiltInMethod(const TShowProgressEvent& OnShowProgress, TStream& Dest,
                            TStream& Source, uint32_t& Checksum, int Method, int32_t DestSize,
                            int32_t SourceSize) {
  const TMethod* method = MethodByCode(Method);
  if (method == nullptr || method->Kind != TMethodKind::mkChannel) {
    Checksum = 0;
    return 0;
  }
  // The channel owns both blocks; an exception drops them, with any bytes not yet written.
  TByteChannel channel(OnShowProgress, Dest, Source, SourceSize);
  method->Expand(channel, DestSize);
  Checksum = channel.OutputSum();
  channel.FlushOutput();
  return channel.BytesWritten();
}
