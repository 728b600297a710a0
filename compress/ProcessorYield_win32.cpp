#include "compress/ProcessorYield.h"

#include <windows.h>

void YieldProcessorSlice() { Sleep(0); }
