#include "setup/Installation.h"

#include "toolkit/Characters.h"

std::string AppendBackslash(const std::string& path) {
  const bool twoCharactersOrMore = !path.empty() && CharacterLength(path, 0) < path.size();
  if (twoCharactersOrMore && !EndsWithCharacter(path, '\\')) return path + '\\';
  return path;
}
