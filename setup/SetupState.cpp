#include "setup/SetupState.h"

#include "toolkit/Characters.h"

std::string DestDir;
std::string DestDirSlash;
bool BackupReplaced = false;
int32_t MemberCount = 0;
char LastDrive = '\0';

std::string AppendBackslash(const std::string& path) {
  const bool twoCharactersOrMore = !path.empty() && CharacterLength(path, 0) < path.size();
  if (twoCharactersOrMore && !EndsWithCharacter(path, '\\')) return path + '\\';
  return path;
}
