// The program under test: started by the robot, ended by it if it is still running when
// the scenario is over, so a failing scenario never leaves a window behind.
#pragma once

#include <windows.h>

#include <optional>
#include <stdexcept>
#include <string>

namespace robot {

// A scenario step that could not be carried out (a window that never came, a process that
// would not end); the message says what was awaited.
class RobotError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// The Windows name of a file of the build: Wine shows the host's root as drive Z:.
std::string WindowsPath(const std::string& hostPath);

class TestedProcess {
public:
  // Starts `program` with `arguments` in `workingDirectory` (empty: the robot's own); all
  // three UTF-8.
  TestedProcess(const std::string& program, const std::string& arguments = "",
                const std::string& workingDirectory = "");
  ~TestedProcess();
  TestedProcess(const TestedProcess&) = delete;
  TestedProcess& operator=(const TestedProcess&) = delete;

  DWORD Id() const { return info_.dwProcessId; }
  bool Running() const;
  // The exit code once the process has ended within `timeoutMs`, otherwise nothing.
  std::optional<DWORD> WaitForExit(DWORD timeoutMs);
  void Terminate();

private:
  PROCESS_INFORMATION info_{};
};

}  // namespace robot
