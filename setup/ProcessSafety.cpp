#include "setup/ProcessSafety.h"

#include <windows.h>

namespace {
using TSetDefaultDllDirectories = BOOL(WINAPI*)(DWORD flags);
}  // namespace

void SecureTheProcess() {
  // The shell-link object, the common controls, an input method: each loads DLLs by bare
  // name later on, and the program's own folder comes first in the default search. The
  // call is looked up because systems without the loader update lack it; they still start.
  if (HMODULE kernel = GetModuleHandleA("kernel32.dll")) {
    const auto setDefault = reinterpret_cast<TSetDefaultDllDirectories>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
  }
  // "Unable to access X:\" is the only report of an empty drive the user should see.
  const UINT mode = SetErrorMode(0);
  SetErrorMode(mode | SEM_FAILCRITICALERRORS);
}
