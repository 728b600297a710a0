// What an installation leaves behind, as the checks of a scenario need it: file contents,
// the user's shell folders and shortcuts read back through the platform's shell-link
// interface. Paths and texts are UTF-8 (Text.h).
#pragma once

#include <optional>
#include <string>

namespace robot {

// The whole file, or nothing when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);
bool SameContents(const std::string& pathA, const std::string& pathB);

// A per-user shell folder ("Programs", "SendTo") as the registry lists it; empty if none.
std::string UserShellFolder(const std::string& valueName);
// Lists `path` as that shell folder; false when the registry refused.
bool SetUserShellFolder(const std::string& valueName, const std::string& path);

struct Shortcut {
  // target: the path the link's item ID list names (its 8-bit path when it has none).
  std::string target, arguments, description, workingDirectory, iconFile;
  int iconIndex = -1;
};
// The shortcut file at `path`, or nothing when the shell cannot load it.
std::optional<Shortcut> ReadShortcut(const std::string& path);

}  // namespace robot
