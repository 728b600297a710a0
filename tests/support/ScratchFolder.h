// A fresh, empty folder under the system's temporary folder, removed with everything in it
// (read-only files too) when the test ends. Paths handed to the engine use "\" below the
// folder, as the archive does; Host() gives the same path as the host understands it.
#pragma once

#include <filesystem>
#include <string>

#include "tests/support/Bytes.h"

class TScratchFolder {
public:
  // The folder is named kestrel-<tag>-<process>-<count>.
  explicit TScratchFolder(const std::string& tag = "test");
  ~TScratchFolder();
  TScratchFolder(const TScratchFolder&) = delete;
  TScratchFolder& operator=(const TScratchFolder&) = delete;

  // The folder in the engine's terms, without a final separator.
  const std::string& Path() const { return path_; }
  // A path below the folder in the engine's terms ("\" separated).
  std::string Engine(const std::string& relative) const { return path_ + "\\" + relative; }
  std::string operator/(const std::string& relative) const { return Engine(relative); }
  std::filesystem::path Host(const std::string& relative) const;

  // A file below the folder; empty when it cannot be read.
  std::string Read(const std::string& relative) const;
  Bytes ReadBytes(const std::string& relative) const { return TextBytes(Read(relative)); }
  void Write(const std::string& relative, const std::string& text) const;
  void Write(const std::string& relative, const Bytes& bytes) const {
    Write(relative, std::string(bytes.begin(), bytes.end()));
  }
  bool Exists(const std::string& relative) const { return std::filesystem::exists(Host(relative)); }

private:
  std::filesystem::path root_;
  std::string path_;
};
