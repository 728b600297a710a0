#include "setup/SingleInstance.h"

#include <windows.h>

#include "toolkit/win32/Dialogs.h"

namespace {
// "Local\": the user's session. Another user's setup on the same machine is left alone.
constexpr const char* kMutexName = "Local\\Harrowby Kestrel 2.2 Setup";
constexpr const char* kAlreadyRunning = "Kestrel Setup is already running.";
constexpr const char* kMainCaption = "Kestrel Setup";
constexpr const char* kFormClass = "KestrelForm";
}  // namespace

TSingleInstance::TSingleInstance() : mutex_(CreateMutexA(nullptr, FALSE, kMutexName)) {
  // Without a mutex of its own (no rights, say) the setup runs, as it did before.
  first_ = !mutex_ || GetLastError() != ERROR_ALREADY_EXISTS;
}

void ReportSetupAlreadyRunning() {
  MessageDlg(kAlreadyRunning, mtInformation, mbOKButton);
  HWND running = FindWindowA(kFormClass, kMainCaption);
  if (!running) return;
  if (IsIconic(running)) ShowWindow(running, SW_RESTORE);
  // The box or the extraction window it shows, if any, rather than the window behind it.
  SetForegroundWindow(GetLastActivePopup(running));
}
