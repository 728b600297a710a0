// Expansion of the LZH method: adaptive Huffman symbols for literals and match lengths, a
// prefix-coded 12-bit position for each match, copied from the 4096-byte ring window.
#pragma once

#include <cstdint>

class TByteChannel;

// Produces DestSize bytes (a final match may run up to 59 bytes past it) from the
// channel's input. Stops only on the output count: past the end of the input the stream
// reads as zero bits. DestSize 0 reads and writes nothing.
void LzhExpand(TByteChannel& channel, int32_t DestSize);
