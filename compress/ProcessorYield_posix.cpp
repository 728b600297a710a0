#include "compress/ProcessorYield.h"

#include <sched.h>

void YieldProcessorSlice() { sched_yield(); }
