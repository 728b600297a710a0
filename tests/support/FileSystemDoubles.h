// Doubles of the engine's file system: each is the platform's own, with one part taken over.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "compress/FileSystem.h"
#include "toolkit/FileStream.h"

// Passes every call on to the platform's file system; a double overrides what it changes.
class TForwardingFileSystem : public TFileSystem {
public:
  const char* PathDelimiters() const override { return real_.PathDelimiters(); }
  int64_t DriveFreeSpace(const std::string& path) override { return real_.DriveFreeSpace(path); }
  bool FileExists(const std::string& path) override { return real_.FileExists(path); }
  bool DirectoryExists(const std::string& path) override { return real_.DirectoryExists(path); }
  int64_t OpenedFileSize(const std::string& path) override { return real_.OpenedFileSize(path); }
  void MakeDirectory(const std::string& path) override { real_.MakeDirectory(path); }
  bool CopyReplacing(const std::string& from, const std::string& to) override {
    return real_.CopyReplacing(from, to);
  }
  bool MoveReplacing(const std::string& from, const std::string& to) override {
    return real_.MoveReplacing(from, to);
  }
  bool RemoveFile(const std::string& path) override { return real_.RemoveFile(path); }
  std::unique_ptr<TFileStream> CreateFileExclusive(const std::string& path) override {
    return real_.CreateFileExclusive(path);
  }
  bool SetLastWriteTime(TFileStream& file, uint32_t dosDateTime) override {
    return real_.SetLastWriteTime(file, dosDateTime);
  }
  bool SetAttributes(const std::string& path, int32_t attributes) override {
    return real_.SetAttributes(path, attributes);
  }

protected:
  TFileSystem& real_ = PlatformFileSystem();
};

// The free-space figure under the test's control; remembers the path last asked about.
class TFreeSpaceDouble : public TForwardingFileSystem {
public:
  explicit TFreeSpaceDouble(int64_t freeBytes) : freeBytes_(freeBytes) {}
  int64_t DriveFreeSpace(const std::string& path) override {
    lastQueried_ = path;
    return freeBytes_;
  }
  const std::string& LastQueried() const { return lastQueried_; }

private:
  int64_t freeBytes_;
  std::string lastQueried_;
};

// A disk that holds only so much: the free space it reports, and how many bytes may be
// written in all before writes fail (-1: unlimited).
class TSmallDisk : public TForwardingFileSystem {
public:
  TSmallDisk(int64_t reportedFree, int64_t writable)
      : reportedFree_(reportedFree), writable_(writable) {}
  int64_t DriveFreeSpace(const std::string&) override { return reportedFree_; }
  std::unique_ptr<TFileStream> CreateFileExclusive(const std::string& path) override;

private:
  int64_t reportedFree_;
  int64_t writable_;
};

// A file system that refuses some operations, as one may for want of rights or because a
// file is held open: folder creation fails with access denied, a move reports failure and
// leaves both files as they were.
class TRefusingFileSystem : public TForwardingFileSystem {
public:
  struct TRefusals {
    bool makeDirectory = false;
    bool move = false;
  };
  explicit TRefusingFileSystem(TRefusals refusals) : refusals_(refusals) {}
  void MakeDirectory(const std::string& path) override;
  bool MoveReplacing(const std::string& from, const std::string& to) override {
    return !refusals_.move && real_.MoveReplacing(from, to);
  }

private:
  TRefusals refusals_;
};
