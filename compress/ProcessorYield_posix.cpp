#include <sched.h>

#include "compress/ProcessorYield.h"

void YieldProcessorSlice() {
  sched_yield();
}
