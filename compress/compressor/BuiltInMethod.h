// The driver that runs one of the built-in methods over one member through the byte
// channel in either direction, which the build-side tools use to make archives. The setup
// program links only its expanding direction, ExpandBuiltInMethod (compress/BuiltInExpansion.h).
#pragma once

#include <cstdint>

#include "compress/BuiltInExpansion.h"
#include "compress/CompressEvents.h"

class TStream;

// Expands (Expand true) or compresses Source into Dest. Source is read from its current
// position, at most SourceSize bytes; when expanding LZH, DestSize is the exact size to
// produce. OnShowProgress (may be empty) hears once per 8192-byte block fetched; a negative
// PercentageDone ends the input. Checksum receives the sum of the uncompressed bytes.
// Returns the count of bytes written to Dest. A Method that the table does not run through
// the channel in that direction (stored, custom, unknown) runs nothing and yields checksum 0.
int32_t RunBuiltInMethod(const TShowProgressEvent& OnShowProgress, TStream& Dest, TStream& Source,
                         bool Expand, uint32_t& Checksum, int Method, int32_t DestSize,
                         int32_t SourceSize);
