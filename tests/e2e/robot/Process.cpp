#include "tests/e2e/robot/Process.h"

#include <shellapi.h>

#include <vector>

#include "tests/e2e/robot/Text.h"

namespace robot {

std::string WindowsPath(const std::string& hostPath) {
  if (hostPath.empty() || hostPath.front() != '/') return hostPath;
  std::string path = "Z:" + hostPath;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

namespace {

// ERROR_ELEVATION_REQUIRED, which the cross headers do not name.
constexpr DWORD ElevationRequired = 740;

std::string StartError(const std::string& program, DWORD error) {
  return "cannot start " + program + " (error " + std::to_string(error) + ")";
}

}  // namespace

TestedProcess::TestedProcess(const std::string& program, const std::string& arguments,
                             const std::string& workingDirectory) {
  const std::wstring wideProgram = Wide(program), wideArguments = Wide(arguments),
                     wideFolder = Wide(workingDirectory);
  std::wstring commandLine = L"\"" + wideProgram + L"\"";
  if (!arguments.empty()) commandLine += L" " + wideArguments;
  std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
  buffer.push_back(L'\0');
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  const wchar_t* folder = workingDirectory.empty() ? nullptr : wideFolder.c_str();
  if (!CreateProcessW(wideProgram.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder, &startup, &info_)) {
    const DWORD error = GetLastError();
    // A program whose manifest asks for elevation is started through the shell, which
    // obtains it, when the robot itself runs unelevated.
    if (error != ElevationRequired) throw RobotError(StartError(program, error));
    SHELLEXECUTEINFOW execute{};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_NOCLOSEPROCESS;
    execute.lpVerb = L"runas";
    execute.lpFile = wideProgram.c_str();
    execute.lpParameters = wideArguments.c_str();
    execute.lpDirectory = folder;
    execute.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&execute) || !execute.hProcess)
      throw RobotError(StartError(program, GetLastError()));
    info_.hProcess = execute.hProcess;
    info_.dwProcessId = GetProcessId(execute.hProcess);
  }
  // Give the program the chance to set up its first window before the robot looks.
  WaitForInputIdle(info_.hProcess, 5000);
}

TestedProcess::~TestedProcess() {
  if (Running()) Terminate();
  if (info_.hThread) CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

bool TestedProcess::Running() const {
  return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> TestedProcess::WaitForExit(DWORD timeoutMs) {
  if (WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

void TestedProcess::Terminate() {
  TerminateProcess(info_.hProcess, 0xDEAD);
  WaitForSingleObject(info_.hProcess, 5000);
}

}  // namespace robot
