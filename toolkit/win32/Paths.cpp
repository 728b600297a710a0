#include "toolkit/win32/Paths.h"

#include <algorithm>

#include "toolkit/Characters.h"

std::string CurrentDirectory() {
  const std::string directory =
      GrownBuffer([](DWORD size, char* buffer) { return GetCurrentDirectoryA(size, buffer); });
  return directory.empty() ? std::string("C:\\") : directory;
}

std::string FullPath(const std::string& path) {
  const std::string full = GrownBuffer([&](DWORD size, char* buffer) {
    return GetFullPathNameA(path.c_str(), size, buffer, nullptr);
  });
  return full.empty() ? path : full;
}

size_t RootLength(const std::string& path) {
  if (path.size() < 2 || path[0] != '\\' || path[1] != '\\')
    return std::min<size_t>(3, path.size());
  const size_t server = FindFirstCharacterOf(path, "\\", 2);
  if (server == std::string::npos) return path.size();
  return std::min(FindFirstCharacterOf(path, "\\", server + 1), path.size());
}
