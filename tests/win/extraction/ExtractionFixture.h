// What the extraction and road tests share: a scratch destination folder, file helpers and
// the members of the test archive (test-archive.bin, made by make-test-archive.py).
#pragma once

#include <string>
#include <vector>

struct TTestMember {
  std::string name;  // as stored in the archive
  std::string content;
};

// The archive's members in archive order; keep in step with make-test-archive.py.
const std::vector<TTestMember>& TestMembers();

// A fresh, empty folder under the temporary folder, removed with everything in it at the end.
class TScratchFolder {
public:
  TScratchFolder();
  ~TScratchFolder();
  TScratchFolder(const TScratchFolder&) = delete;
  TScratchFolder& operator=(const TScratchFolder&) = delete;

  const std::string& Path() const { return path_; }
  // Path() + "\" + relative
  std::string operator/(const std::string& relative) const { return path_ + "\\" + relative; }

private:
  std::string path_;
};

std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& content);
bool IsFile(const std::string& path);
bool IsDirectory(const std::string& path);
void MakeDirectory(const std::string& path);
// The names of the entries of a folder, sorted, without "." and "..".
std::vector<std::string> FolderEntries(const std::string& path);
