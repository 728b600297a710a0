// Portable code that reaches for Win32: the layer check must stop it.
#include <windows.h>
// And the expansion side that reaches for the compressor.
#include "compress/compressor/RleCompress.h"
