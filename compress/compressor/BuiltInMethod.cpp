#include "compress/compressor/BuiltInMethod.h"

#include "compress/ByteChannel.h"
#include "compress/compressor/MethodCompressors.h"

int32_t RunBuiltInMethod(const TShowProgressEvent& OnShowProgress, TStream& Dest, TStream& Source,
                         bool Expand, uint32_t& Checksum, int Method, int32_t DestSize,
                         int32_t SourceSize) {
  if (Expand) {
    return ExpandBuiltInMethod(OnShowProgress, Dest, Source, Checksum, Method, DestSize,
                               SourceSize);
  }
  const TMethod* method = MethodByCode(Method);
  const TMethodCompressor* compressor = CompressorByCode(Method);
  if (method == nullptr || method->Kind != TMethodKind::mkChannel || compressor == nullptr) {
    Checksum = 0;
    return 0;
  }
  // The channel owns both blocks; an exception drops them, with any bytes not yet written.
  TByteChannel channel(OnShowProgress, Dest, Source, SourceSize);
  compressor->Compress(channel);
  Checksum = channel.InputSum();
  channel.FlushOutput();
  return channel.BytesWritten();
}
