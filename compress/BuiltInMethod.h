// The drivers that run one of the built-in methods (1 RLE, 2 LZH) over one member through
// the byte channel: expansion alone, which is all the setup program needs and links, and
// either direction, which the build-side tools use to make archives.
#pragma once

#include <cstdint>

#include "compress/CompressEvents.h"

class TStream;

// Expands (Expand true) or compresses Source into Dest. Source is read from its current
// position, at most SourceSize bytes; when expanding LZH, DestSize is the exact size to
// produce. OnShowProgress (may be empty) hears once per 8192-byte block fetched; a negative
// PercentageDone ends the input. Checksum receives the sum of the uncompressed bytes.
// Returns the count of bytes written to Dest. Any other Method runs nothing and yields
// checksum 0. Part of the compress library.
int32_t RunBuiltInMethod(const TShowProgressEvent& OnShowProgress, TStream& Dest, TStream& Source,
                         bool Expand, uint32_t& Checksum, int Method, int32_t DestSize,
                         int32_t SourceSize);

// RunBuiltInMethod's expanding direction, in the compress_expand library.
int32_t ExpandBuiltInMethod(const TShowProgressEvent& OnShowProgress, TStream& Dest,
                            TStream& Source, uint32_t& Checksum, int Method, int32_t DestSize,
                            int32_t SourceSize);
