// Gives the rest of the time slice to other threads without dispatching any messages:
// a zero-length Sleep on Windows.
#pragma once

void YieldProcessorSlice();
