// One setup at a time in the user's session. Two copies would move the same files into
// Backup, and the second would replace the backups of the user's own files with files the
// first had just installed.
#pragma once

#include "toolkit/Handles_win32.h"

class TSingleInstance {
public:
  // Takes the session's named mutex of the setup, or learns that another copy holds it.
  TSingleInstance();
  // True when no other copy of the setup runs in this session.
  bool First() const { return first_; }

private:
  KernelHandle mutex_;
  bool first_ = false;
};

// Tells the person that the setup already runs, then brings that copy's window to the
// front, where it shows whatever it was asking.
void ReportSetupAlreadyRunning();
