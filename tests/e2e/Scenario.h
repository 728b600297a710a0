// What every scenario needs besides the robot: where its screenshots and transcripts go.
#pragma once

#include <cstdlib>
#include <string>

#include "tests/e2e/robot/Process.h"

namespace scenario {

// <build tree>\e2e\<name>, as a Windows path; created on demand by the robot.
inline std::string OutputFolder(const std::string& name) {
  const char* binary = std::getenv("KESTREL_BINARY_DIR");
  const std::string root = robot::WindowsPath(binary ? binary : ".") + "\\e2e";
  CreateDirectoryA(root.c_str(), nullptr);
  return root + "\\" + name;
}

}  // namespace scenario
