#include "setup/Installation.h"

std::string AppendBackslash(const std::string& path) {
  if (path.size() >= 2 && path.back() != '\\') return path + '\\';
  return path;
}
