// Compression of the RLE method (compress/Rle.h): a run of 3 to 255 equal bytes becomes the
// byte and a pair, 0x94 is always escaped and never runs.
#pragma once

class TByteChannel;

// Runs until the channel's input ends; each call starts from the initial RLE state.
void RleCompress(TByteChannel& channel);
