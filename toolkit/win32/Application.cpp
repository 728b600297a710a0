#include "toolkit/win32/Application.h"

#include <new>

#include "toolkit/Exception.h"
#include "toolkit/win32/Dialogs.h"
#include "toolkit/win32/Forms.h"

TApplication* Application = nullptr;

TApplication::TApplication() : TComponent(nullptr), previous_(Application) {
  Application = this;
}

TApplication::~TApplication() {
  // The forms go first, while the application they belong to still exists.
  while (ComponentCount() > 0) delete Components(ComponentCount() - 1);
  mainForm_ = nullptr;
  Application = previous_;
}

void TApplication::Run() {
  if (mainForm_) mainForm_->Show();
  while (!terminated_) {
    MSG message;
    BOOL result = GetMessageW(&message, nullptr, 0, 0);
    if (result == 0 || result == -1) {
      terminated_ = true;
      break;
    }
    Dispatch(message);
  }
}

void TApplication::ProcessMessages() {
  while (ProcessMessage()) {
  }
}

bool TApplication::ProcessMessage() {
  MSG message;
  if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) return false;
  if (message.message == WM_QUIT) {
    terminated_ = true;
    return true;
  }
  Dispatch(message);
  return true;
}

// Keyboard navigation (Tab, Enter for the default button, Esc for the cancel button) is
// Windows' dialog navigation, applied to the form the message is for. Messages are taken
// and passed on as 16-bit ones, so that a typed letter reaches the controls (16-bit
// windows) whole: an 8-bit character message carries one letter of the keyboard's code
// page at most, never one of UTF-8.
void TApplication::Dispatch(MSG& message) {
  HWND top = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
  if (top && dynamic_cast<TForm*>(TWinControl::FindControl(top)) && IsDialogMessageW(top, &message))
    return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

void TApplication::Terminate() {
  if (terminated_) return;
  terminated_ = true;
  PostQuitMessage(0);
}

std::string ExceptionBoxText(const std::exception& error) {
  const auto* own = dynamic_cast<const Exception*>(&error);
  // An allocation that fails anywhere (the codec's blocks, a string) reads as the
  // toolkit's own out-of-memory error, not as the library's class name.
  std::string text = own                                           ? own->Message()
                     : dynamic_cast<const std::bad_alloc*>(&error) ? EOutOfMemory().Message()
                                                                   : std::string(error.what());
  // One more ".", also after a message that already ends in one.
  return text + '.';
}

void TApplication::HandleException(const std::exception& error) {
  ShowMessageBox(ExceptionBoxText(error), title_, mtError, mbOKButton);
}

void ShowUnhandledException(const std::exception& error) {
  if (Application) {
    Application->HandleException(error);
  } else {
    MessageBoxA(nullptr, ExceptionBoxText(error).c_str(), "", MB_OK | MB_ICONSTOP);
  }
}
