// Archives made with the codec's own writers, a scratch folder with a record of what was
// on disk before an operation, and a file system whose disk can be full or fill up.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "compress/ArchiveFormat.h"
#include "compress/FileSystem.h"
#include "tests/native/codec/CodecTestSupport.h"
#include "toolkit/FileStream.h"

namespace hardening {

// Byte helpers shared with the codec tests; the labelled vectors of the regression tests
// are written as Hex("51 55 49 58").
using ::Bytes;
using ::Hex;
using ::SumOf;
using ::TextBytes;

struct TPlainMember {
  std::string name;
  uint8_t method = kMethodLzh;  // the member's data is made with this method
  Bytes plain;
};

// Where each part of one member lies in an archive.
struct TMemberSpan {
  int64_t header;  // the 25-byte member header
  int64_t name;    // the name
  int64_t data;    // the data
  int64_t end;     // the first byte after the data
};

struct TBuiltArchive {
  Bytes bytes;
  std::vector<TMemberSpan> spans;
};

// A well-formed archive of the members, compressed with their methods.
TBuiltArchive BuildArchive(const std::vector<TPlainMember>& members,
                           const std::string& methodId = kMethodIdLzh);

// Little-endian stores into an archive, to damage one field.
void PutInt16(Bytes& bytes, int64_t at, int16_t value);
void PutInt32(Bytes& bytes, int64_t at, int32_t value);

// Three members, one per method, of a few kilobytes: text, ini lines, binary records.
const std::vector<TPlainMember>& ThreeMembers();

// A fresh folder under the temporary folder, removed when the test ends.
class TScratch {
public:
  TScratch();
  ~TScratch();
  TScratch(const TScratch&) = delete;
  TScratch& operator=(const TScratch&) = delete;

  // The folder as the engine takes it ("\" separated below it on every host).
  std::string Path() const { return root_.string(); }
  std::string Engine(const std::string& relative) const { return Path() + "\\" + relative; }
  std::filesystem::path Host(const std::string& relative) const;

  void Write(const std::string& relative, const Bytes& bytes) const;
  void Write(const std::string& relative, const std::string& text) const {
    Write(relative, TextBytes(text));
  }
  Bytes Read(const std::string& relative) const;
  bool Exists(const std::string& relative) const { return std::filesystem::exists(Host(relative)); }

private:
  std::filesystem::path root_;
};

// Every file and folder below a folder, with each file's bytes and write permission.
struct TEntry {
  bool folder = false;
  bool writable = true;
  Bytes bytes;
  bool operator==(const TEntry&) const = default;
};
using TSnapshot = std::map<std::string, TEntry>;
TSnapshot Snapshot(const std::filesystem::path& folder);

// What an operation did to the files that were there before it: a description of each
// one it changed or removed, empty when every one is as it was. New files are not listed.
std::vector<std::string> Damaged(const TSnapshot& before, const TSnapshot& after);

void MakeReadOnly(const std::filesystem::path& path);

// The platform's file system, with a disk that holds only so much: the free space it
// reports, and how many bytes may be written in all before writes fail (-1: unlimited).
class TSmallDisk : public TFileSystem {
public:
  TSmallDisk(int64_t reportedFree, int64_t writable)
      : reportedFree_(reportedFree), writable_(writable) {}
  const char* PathDelimiters() const override { return real_.PathDelimiters(); }
  int64_t DriveFreeSpace(const std::string&) override { return reportedFree_; }
  bool FileExists(const std::string& path) override { return real_.FileExists(path); }
  bool DirectoryExists(const std::string& path) override { return real_.DirectoryExists(path); }
  int64_t OpenedFileSize(const std::string& path) override { return real_.OpenedFileSize(path); }
  void MakeDirectory(const std::string& path) override { real_.MakeDirectory(path); }
  std::unique_ptr<TFileStream> CreateFileExclusive(const std::string& path) override;
  bool SetLastWriteTime(TFileStream& file, uint32_t dosDateTime) override {
    return real_.SetLastWriteTime(file, dosDateTime);
  }
  bool SetAttributes(const std::string& path, int32_t attributes) override {
    return real_.SetAttributes(path, attributes);
  }

private:
  TFileSystem& real_ = PlatformFileSystem();
  int64_t reportedFree_;
  int64_t writable_;
};

}  // namespace hardening
