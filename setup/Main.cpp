// Start-up: the process made safe against what lies beside setup.exe, one copy at a time,
// the component object library for the shell links, the application titled "Setup", the
// main window from its layout, then the message loop until the window closes.
#include <windows.h>

#include "setup/MainForm.h"
#include "setup/ProcessSafety.h"
#include "setup/ShellLink.h"
#include "setup/SingleInstance.h"
#include "toolkit/win32/Application.h"

namespace {
constexpr const char* kApplicationTitle = "Setup";
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  SecureTheProcess();  // before the component library loads its first DLL
  const TSingleInstance instance;
  ComLibrary comLibrary;
  TApplication application;
  application.SetTitle(kApplicationTitle);
  if (!instance.First()) {
    ReportSetupAlreadyRunning();
    return 1;  // this copy installed nothing
  }
  try {
    application.CreateForm<TfrmMain>();
  } catch (const std::exception& error) {
    application.HandleException(error);  // a window that cannot be made cannot run
    return 1;
  }
  application.Run();
  return 0;
}
