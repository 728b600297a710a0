// Compression of the LZH method. Fully determined: the match finder's choices are fixed
// along with the bit layout, so the same input always gives the same bytes.
#pragma once

class TByteChannel;

// Compresses the channel's input until it ends and writes the stream; nothing at all for
// an empty input. The compressed size is the channel's BytesWritten.
void LzhCompress(TByteChannel& channel);
