// A record of every file and folder below a folder, to show what an operation did to the
// files that were there before it.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/support/Bytes.h"

// One file or folder, with the file's bytes and its write permission.
struct TEntry {
  bool folder = false;
  bool writable = true;
  Bytes bytes;
  bool operator==(const TEntry&) const = default;
};
using TSnapshot = std::map<std::string, TEntry>;
TSnapshot Snapshot(const std::filesystem::path& folder);

// A description of each entry of `before` that the operation changed or removed, empty
// when every one is as it was. New files are not listed.
std::vector<std::string> Damaged(const TSnapshot& before, const TSnapshot& after);

void MakeReadOnly(const std::filesystem::path& path);
