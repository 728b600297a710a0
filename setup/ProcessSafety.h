// What the setup sets for its whole process before anything else runs. setup.exe is
// usually started from a downloads folder and runs elevated, so nothing lying beside it
// may be loaded or started in its place.
#pragma once

// Loads DLLs from the system folder only (where the platform offers the choice) and
// leaves a drive without a medium to the setup's own message, without the system's
// critical-error box before it.
void SecureTheProcess();
