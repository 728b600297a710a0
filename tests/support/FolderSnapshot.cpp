#include "tests/support/FolderSnapshot.h"

#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

TSnapshot Snapshot(const fs::path& folder) {
  TSnapshot snapshot;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    TEntry e;
    e.folder = entry.is_directory();
    e.writable = (entry.status().permissions() & fs::perms::owner_write) != fs::perms::none;
    if (!e.folder) {
      std::ifstream in(entry.path(), std::ios::binary);
      e.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    snapshot[fs::relative(entry.path(), folder).generic_string()] = e;
  }
  return snapshot;
}

std::vector<std::string> Damaged(const TSnapshot& before, const TSnapshot& after) {
  std::vector<std::string> damaged;
  for (const auto& [name, entry] : before) {
    const auto now = after.find(name);
    if (now == after.end()) {
      damaged.push_back(name + " was removed");
    } else if (now->second.folder != entry.folder) {
      damaged.push_back(name + " changed kind");
    } else if (now->second.bytes != entry.bytes) {
      damaged.push_back(name + " changed content (" + std::to_string(entry.bytes.size()) + " -> " +
                        std::to_string(now->second.bytes.size()) + " bytes)");
    } else if (now->second.writable != entry.writable) {
      damaged.push_back(name + " changed its write permission");
    }
  }
  return damaged;
}

void MakeReadOnly(const fs::path& path) {
  fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
}
