#include "fuzz/FuzzChecks.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

void FuzzFail(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  std::fputs("FUZZ FINDING: ", stderr);
  std::vfprintf(stderr, format, args);
  std::fputc('\n', stderr);
  va_end(args);
  std::abort();
}
