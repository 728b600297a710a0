// The driver that expands one member of a method of the method table through the byte
// channel: all that the setup program runs of the built-in methods.
#pragma once

#include <cstdint>

#include "compress/CompressEvents.h"

class TStream;

// Expands Source into Dest. Source is read from its current position, at most SourceSize
// bytes; DestSize is the member's expanded size, the exact size an LZH member produces.
// OnShowProgress (may be empty) hears once per 8192-byte block fetched; a negative
// PercentageDone ends the input. Checksum receives the sum of the bytes written. Returns the
// count of bytes written to Dest. A Method without an expander in the table runs nothing and
// yields checksum 0.
int32_t ExpandBuiltInMethod(const TShowProgressEvent& OnShowProgress, TStream& Dest,
                            TStream& Source, uint32_t& Checksum, int Method, int32_t DestSize,
                            int32_t SourceSize);
