#include "setup/SetupState.h"

std::string DestDir;
std::string DestDirSlash;
bool BackupReplaced = false;
int32_t MemberCount = 0;
char LastDrive = '\0';

std::string AppendBackslash(const std::string& path) {
  if (path.size() >= 2 && path.back() != '\\') return path + '\\';
  return path;
}
