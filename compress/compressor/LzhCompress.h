// Compression of the LZH method. Fully determined: the match finder's choices are fixed
// along with the bit layout, so the same input always gives the same bytes.
#pragma once

class TByteChannel;

// Compresses the channel's input until it ends and writes the stream; nothing at all for
// an empty input. The compressed size is the channel's BytesWritten.
// Larger inputs get a helper thread for the string search, where the machine has a
// second processor.
void LzhCompress(TByteChannel& channel);
// The same, with or without a helper as asked: the stream is the same either way.
void LzhCompress(TByteChannel& channel, bool withHelper);
