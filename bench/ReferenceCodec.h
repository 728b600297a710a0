// In-memory entry points into the reference codec, for side-by-side measurements.
#pragma once

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

// Each returns the output's size; *out stays valid until the next call.
size_t ReferenceCompress(const unsigned char* in, size_t inSize, const unsigned char** out);
size_t ReferenceExpand(const unsigned char* in, size_t inSize, long long expandedSize,
                       const unsigned char** out);

#ifdef __cplusplus
}
#endif
