#include "ExtractionFixture.h"

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>

const std::vector<TTestMember>& TestMembers() {
  static const std::vector<TTestMember> members = {
      {"readme.txt", "Kestrel 2.2 test readme\r\nAaa bbbb ccccc 0000000000\r\n"},
      {"Sites.INI", "[sites]\r\nexample=ftp.example.test\r\n"},
      {"whatsnew.txt", "What is new: \x94 escape byte and a run ......................\r\n"},
  };
  return members;
}

namespace {
void RemoveTree(const std::string& path) {
  for (const std::string& entry : FolderEntries(path)) {
    const std::string full = path + "\\" + entry;
    SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (IsDirectory(full))
      RemoveTree(full);
    else
      DeleteFileA(full.c_str());
  }
  RemoveDirectoryA(path.c_str());
}
}  // namespace

TScratchFolder::TScratchFolder() {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  static int counter = 0;
  path_ = std::string(temp) + "kestrel-test-" + std::to_string(GetCurrentProcessId()) + "-" +
          std::to_string(++counter);
  RemoveTree(path_);
  MakeDirectory(path_);
}

TScratchFolder::~TScratchFolder() {
  RemoveTree(path_);
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void WriteWholeFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("cannot write " + path);
  out << content;
}

bool IsFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsDirectory(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void MakeDirectory(const std::string& path) {
  if (!CreateDirectoryA(path.c_str(), nullptr) && !IsDirectory(path))
    throw std::runtime_error("cannot create " + path);
}

std::vector<std::string> FolderEntries(const std::string& path) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}
