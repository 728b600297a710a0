/* The reference codec is one program; its coding functions are reached by compiling it
   into this unit with its main renamed, and pointing its buffers at memory. */
#define main reference_codec_main
#include "lzhuf_ref.c"
#undef main

#include "ReferenceCodec.h"

static void ResetBuffers(const unsigned char* in, size_t inSize) {
  free(out_buf);
  out_buf = NULL;
  out_len = out_cap = 0;
  in_buf = (unsigned char*)in;
  in_len = inSize;
  in_pos = 0;
  make_position_tables();
}

const char* ReferenceName(void) {
  return "lzhuf_ref.c";
}

int ReferenceCanCompress(void) {
  return 1;
}

size_t ReferenceCompress(const unsigned char* in, size_t inSize, const unsigned char** out) {
  ResetBuffers(in, inSize);
  encode();
  *out = out_buf;
  return out_len;
}

size_t ReferenceExpand(const unsigned char* in, size_t inSize, long long expandedSize,
                       const unsigned char** out) {
  ResetBuffers(in, inSize);
  decode(expandedSize, 0);
  *out = out_buf;
  return out_len;
}
