// The platform's file system, fenced into one scratch folder: a fuzzed archive may name
// any path (rooted, "..", embedded NULs), and none of them may touch the machine outside
// the folder. Paths outside are refused with the error the real call would give for a
// place it cannot write; queries outside report nothing there. The free space is a fixed
// figure, which also keeps a fuzzed member from filling the disk.
#pragma once

#include <string>

#include "compress/FileSystem.h"

class TConfinedFileSystem final : public TFileSystem {
public:
  TConfinedFileSystem(std::string root, int64_t freeBytes);

  const char* PathDelimiters() const override;
  int64_t DriveFreeSpace(const std::string& path) override;
  bool FileExists(const std::string& path) override;
  bool DirectoryExists(const std::string& path) override;
  int64_t OpenedFileSize(const std::string& path) override;
  void MakeDirectory(const std::string& path) override;
  bool CopyReplacing(const std::string& from, const std::string& to) override;
  bool MoveReplacing(const std::string& from, const std::string& to) override;
  bool RemoveFile(const std::string& path) override;
  std::unique_ptr<TFileStream> CreateFileExclusive(const std::string& path) override;
  bool SetLastWriteTime(TFileStream& file, uint32_t dosDateTime) override;
  bool SetAttributes(const std::string& path, int32_t attributes) override;

  // True when the path, as the POSIX backend will map it, lies strictly inside the root.
  bool Inside(const std::string& path) const;
  // How many calls were refused since the last reset.
  int Refused() const { return refused_; }
  void ResetCount() { refused_ = 0; }

private:
  TFileSystem& real_;
  std::string root_;  // ends with "/"
  int64_t freeBytes_;
  int refused_ = 0;
};
