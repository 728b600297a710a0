// The RLE method: literal bytes, with the escape byte 0x94 introducing either an escaped
// 0x94 (94 00) or a run (94 n: n - 1 more copies of the byte before the pair, n 3..255 as
// written by the compressor). No header and no end marker.
#pragma once

#include <cstdint>

class TByteChannel;

inline constexpr uint8_t kRleEscape = 0x94;
inline constexpr int32_t kRleMaxRun = 255;

// Runs until the channel's input ends, from the initial RLE state. The stream tells its own
// end, so the member's expanded size is not consulted.
void RleExpand(TByteChannel& channel, int32_t DestSize);
