#include "tests/support/ScratchFolder.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#ifdef _WIN32
#include <process.h>
#define KESTREL_PROCESS_ID _getpid()
#else
#include <unistd.h>
#define KESTREL_PROCESS_ID getpid()
#endif

namespace fs = std::filesystem;

namespace {
void RemoveTree(const fs::path& root) {
  std::error_code ignored;
  if (!fs::exists(root, ignored)) return;
  for (const auto& entry : fs::recursive_directory_iterator(root, ignored)) {
    fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, ignored);
  }
  fs::remove_all(root, ignored);
}
}  // namespace

TScratchFolder::TScratchFolder(const std::string& tag) {
  static int count = 0;
  root_ = fs::temp_directory_path() / ("kestrel-" + tag + "-" + std::to_string(KESTREL_PROCESS_ID) +
                                       "-" + std::to_string(++count));
  path_ = root_.string();
  RemoveTree(root_);
  fs::create_directories(root_);
}

TScratchFolder::~TScratchFolder() {
  RemoveTree(root_);
}

fs::path TScratchFolder::Host(const std::string& relative) const {
  std::string host = relative;
#ifndef _WIN32
  std::replace(host.begin(), host.end(), '\\', '/');
#endif
  return root_ / host;
}

std::string TScratchFolder::Read(const std::string& relative) const {
  std::ifstream in(Host(relative), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void TScratchFolder::Write(const std::string& relative, const std::string& text) const {
  std::ofstream out(Host(relative), std::ios::binary);
  out << text;
}
