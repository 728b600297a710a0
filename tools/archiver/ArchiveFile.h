// An archive file opened for reading: its header, its members and whatever is wrong with
// its layout (a member cut short, bytes after the last member, a total that does not add
// up), found before any member is expanded.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "compress/ArchiveFormat.h"
#include "toolkit/FileStream.h"
#include "toolkit/StringList.h"

class TArchiveFile {
public:
  // Raises TToolError for a file that cannot be opened or read as an archive at all.
  explicit TArchiveFile(const std::string& path);

  const std::string& MethodId() const { return methodId_; }
  const TArchiveHeader& Header() const { return header_; }
  int Count() const { return members_.Count(); }
  const std::string& Name(int i) const { return members_[i]; }
  const TCompressedFileInfo& Info(int i) const {
    return *static_cast<const TCompressedFileInfo*>(members_.Objects(i));
  }
  // Where member i's data starts.
  int64_t DataOffset(int i) const;
  // One line per fault of the layout; empty for a well-formed archive.
  const std::vector<std::string>& Problems() const { return problems_; }

  // Expands member i into dest, or nowhere when dest is null, and returns what is wrong
  // with the member: "" when it gave its expanded size and its checksum. A dest that does
  // not take the bytes is not the member's fault: what it raised is raised.
  std::string Expand(int i, TStream* dest);

private:
  std::unique_ptr<TFileStream> stream_;
  TArchiveHeader header_;
  std::string methodId_;
  TStringList members_{true};
  std::vector<std::string> problems_;
};

// The three-letter name of a member's method code.
std::string MethodName(uint8_t methodCode);
