// Archives built byte by byte for the engine's tests, independent of the format writers,
// and a scratch folder that each test writes into.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "compress/FileSystem.h"

namespace engine_test {

using Bytes = std::vector<uint8_t>;

// 21 December 1997, 21:09:50 in DOS form (date word 0x2395, time word 0xA939).
inline constexpr uint32_t kMemberDate = 0x2395A939;

struct Member {
  std::string name;
  Bytes data;  // the member's data as stored in the archive
  int32_t expandedSize = 0;
  uint8_t methodCode = 0;
  uint32_t checksum = 0;
  uint16_t attributes = 0x20;
  uint32_t dateTime = kMemberDate;
};

inline Bytes TextBytes(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

inline uint32_t SumOf(const Bytes& bytes) {
  uint32_t sum = 0;
  for (uint8_t b : bytes) sum += b;
  return sum;
}

inline Member Stored(const std::string& name, const std::string& text) {
  Member m;
  m.name = name;
  m.data = TextBytes(text);
  m.expandedSize = static_cast<int32_t>(text.size());
  m.checksum = SumOf(m.data);
  return m;
}

// Bytes without 0x94 are their own RLE encoding: each one is a literal.
inline Member RleLiterals(const std::string& name, const Bytes& plain) {
  Member m;
  m.name = name;
  m.data = plain;
  m.expandedSize = static_cast<int32_t>(plain.size());
  m.methodCode = 1;
  m.checksum = SumOf(plain);
  return m;
}

inline Bytes RandomBytesWithout94(size_t count, uint32_t seed) {
  std::mt19937 random(seed);
  Bytes bytes(count);
  for (auto& b : bytes) {
    do b = static_cast<uint8_t>(random());
    while (b == 0x94);
  }
  return bytes;
}

inline void PutLE(Bytes& out, uint64_t value, int size) {
  for (int i = 0; i < size; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// The archive of these members; TotalSize is the sum of the expanded sizes unless given.
inline Bytes BuildArchive(const std::vector<Member>& members, const std::string& methodId = "LZH",
                          std::optional<int32_t> totalSize = std::nullopt) {
  int64_t sum = 0;
  for (const auto& m : members) sum += m.expandedSize;
  Bytes out = {0x51, 0x55, 0x49, 0x58, 0x1A};
  out.insert(out.end(), methodId.begin(), methodId.begin() + 3);
  PutLE(out, static_cast<uint32_t>(totalSize.value_or(static_cast<int32_t>(sum))), 4);
  out.push_back(1);  // caMulti
  PutLE(out, 0, 8);
  for (const auto& m : members) {
    PutLE(out, m.name.size(), 2);
    PutLE(out, m.dateTime, 4);
    PutLE(out, m.attributes, 2);
    PutLE(out, static_cast<uint32_t>(m.expandedSize), 4);
    PutLE(out, m.data.size(), 4);
    out.push_back(m.methodCode);
    PutLE(out, m.checksum, 4);
    PutLE(out, 0, 4);
    out.insert(out.end(), m.name.begin(), m.name.end());
    out.insert(out.end(), m.data.begin(), m.data.end());
  }
  return out;
}

// A fresh folder under the system's temporary folder, removed with everything in it
// when the test ends. Paths handed to the engine use "\" as the archive does.
class ScratchFolder {
public:
  ScratchFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string leaf = std::string("kestrel-") + info->test_suite_name() + "-" + info->name();
    root_ = std::filesystem::temp_directory_path() / leaf;
    Clear();
    std::filesystem::create_directories(root_);
  }
  ~ScratchFolder() { Clear(); }

  // The folder in the engine's terms, without a final separator.
  std::string Path() const { return root_.string(); }
  // A path below the folder in the engine's terms ("\" separated).
  std::string Engine(const std::string& relative) const { return Path() + "\\" + relative; }
  // The same path as the host understands it.
  std::filesystem::path Host(const std::string& relative) const {
    std::string host = relative;
#ifndef _WIN32
    for (char& c : host) {
      if (c == '\\') c = '/';
    }
#endif
    return root_ / host;
  }

  std::string Read(const std::string& relative) const {
    std::ifstream in(Host(relative), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  void Write(const std::string& relative, const std::string& text) const {
    std::ofstream out(Host(relative), std::ios::binary);
    out << text;
  }
  bool Exists(const std::string& relative) const {
    return std::filesystem::exists(Host(relative));
  }

private:
  void Clear() {
    std::error_code ignored;
    if (!std::filesystem::exists(root_, ignored)) return;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root_, ignored)) {
      std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_write,
                                   std::filesystem::perm_options::add, ignored);
    }
    std::filesystem::remove_all(root_, ignored);
  }

  std::filesystem::path root_;
};

// The platform's file system with the free-space figure under the test's control.
class FreeSpaceDouble : public TFileSystem {
public:
  explicit FreeSpaceDouble(int64_t freeBytes) : freeBytes_(freeBytes) {}
  const char* PathDelimiters() const override { return real_.PathDelimiters(); }
  int64_t DriveFreeSpace(const std::string& path) override {
    lastQueried_ = path;
    return freeBytes_;
  }
  bool FileExists(const std::string& path) override { return real_.FileExists(path); }
  bool DirectoryExists(const std::string& path) override { return real_.DirectoryExists(path); }
  int64_t OpenedFileSize(const std::string& path) override { return real_.OpenedFileSize(path); }
  void MakeDirectory(const std::string& path) override { real_.MakeDirectory(path); }
  std::unique_ptr<TFileStream> CreateFileExclusive(const std::string& path) override {
    return real_.CreateFileExclusive(path);
  }
  bool SetLastWriteTime(TFileStream& file, uint32_t dosDateTime) override {
    return real_.SetLastWriteTime(file, dosDateTime);
  }
  bool SetAttributes(const std::string& path, int32_t attributes) override {
    return real_.SetAttributes(path, attributes);
  }
  const std::string& LastQueried() const { return lastQueried_; }

private:
  TFileSystem& real_ = PlatformFileSystem();
  int64_t freeBytes_;
  std::string lastQueried_;
};

}  // namespace engine_test
