// Portable code that reaches for Win32: the layer check must stop it.
#include <windows.h>
