#include <windows.h>

#include "compress/ProcessorYield.h"

void YieldProcessorSlice() {
  Sleep(0);
}
