// In-memory entry points into the reference codec, for side-by-side measurements.
#pragma once

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

// Which reference this is, for the tables; and whether it compresses (the project's own
// plain reference only expands).
const char* ReferenceName(void);
int ReferenceCanCompress(void);

// Each returns the output's size; *out stays valid until the next call.
size_t ReferenceCompress(const unsigned char* in, size_t inSize, const unsigned char** out);
size_t ReferenceExpand(const unsigned char* in, size_t inSize, long long expandedSize,
                       const unsigned char** out);

#ifdef __cplusplus
}
#endif
