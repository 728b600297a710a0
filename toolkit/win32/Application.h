// The application object: its title, the message loop, the processing of pending
// messages, termination and the default exception handler. One exists while the program
// (or a test) runs; it owns the forms created through it.
#pragma once

#include <windows.h>

#include <exception>
#include <string>

#include "toolkit/Component.h"

class TForm;

class TApplication : public TComponent {
public:
  // Becomes the current application (Application) until it is destroyed.
  TApplication();
  ~TApplication() override;

  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title) { title_ = title; }

  // Creates a form owned by the application; the first one becomes the main form, whose
  // closing ends the application.
  template <typename T>
  T* CreateForm() {
    T* form = new T(this);
    if (!mainForm_) mainForm_ = form;
    return form;
  }
  TForm* MainForm() const { return mainForm_; }

  // Shows the main form and dispatches messages until the application is terminated.
  void Run();
  // Dispatches every message waiting in the queue, then returns.
  void ProcessMessages();
  // Ends the message loop; modal loops end too and later message boxes close at once.
  void Terminate();
  bool Terminated() const { return terminated_; }

  // The default exception handler: a box with a stop icon, the application title as
  // caption and the error's message with a "." appended.
  void HandleException(const std::exception& error);

private:
  // Returns false when the queue was empty.
  bool ProcessMessage();
  void Dispatch(MSG& message);

  std::string title_;
  TForm* mainForm_ = nullptr;
  bool terminated_ = false;
  TApplication* previous_;
};

extern TApplication* Application;

// Where a window procedure hands an exception it caught: the current application's
// default handler.
void ShowUnhandledException(const std::exception& error);

// The text the default handler shows for an error: its message with "." appended.
std::string ExceptionBoxText(const std::exception& error);
