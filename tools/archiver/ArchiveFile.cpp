#include "tools/archiver/ArchiveFile.h"

#include <filesystem>

#include "compress/Compress.h"
#include "toolkit/Exception.h"
#include "tools/archiver/CommandLine.h"

namespace {

std::string OpenFailure(const std::string& path) {
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  if (!std::filesystem::exists(status)) return "no such file";
  if (std::filesystem::is_directory(status)) return "is a folder, not an archive";
  return "cannot be opened for reading";
}

}  // namespace

TArchiveFile::TArchiveFile(const std::string& path) {
  try {
    stream_ = std::make_unique<TFileStream>(path, fmOpenRead | fmShareDenyWrite);
  } catch (const EFOpenError&) {
    throw TToolError(path + ": " + OpenFailure(path));
  }
  const int64_t size = stream_->Size();
  if (size < kArchiveHeaderSize) {
    throw TToolError(path + ": too short to be an archive (" + std::to_string(size) + " bytes)");
  }
  try {
    ReadArchiveHeader(*stream_, header_, methodId_, {}, {});
    TCompress reader(nullptr);
    reader.ReadMemberList(*stream_, members_);
  } catch (const Exception& e) {
    throw TToolError(path + ": " + e.Message());
  }
  int64_t end = kArchiveHeaderSize;
  int64_t total = 0;
  for (int i = 0; i < Count(); ++i) {
    end = DataOffset(i) + Info(i).CompressedSize;
    total += Info(i).ExpandedSize;
    if (end > size) {
      problems_.push_back("member \"" + Name(i) + "\" is cut short: its data ends at byte " +
                          std::to_string(end) + " of a " + std::to_string(size) + "-byte file");
    }
  }
  if (end < size) {
    problems_.push_back(std::to_string(size - end) +
                        " bytes after the last member do not form a complete member");
  }
  if (total != header_.TotalSize) {
    problems_.push_back("the header's total size " + std::to_string(header_.TotalSize) +
                        " differs from the members' " + std::to_string(total));
  }
}

int64_t TArchiveFile::DataOffset(int i) const {
  return int64_t{Info(i).HeaderOffset} + kMemberHeaderSize + static_cast<int64_t>(Name(i).size());
}

std::string MethodName(uint8_t methodCode) {
  switch (methodCode) {
    case kMethodStored:
      return kMethodIdStored;
    case kMethodRle:
      return kMethodIdRle;
    case kMethodLzh:
      return kMethodIdLzh;
    case kMethodCustom:
      return kMethodIdCustom;
    default:
      return "?" + std::to_string(methodCode);
  }
}
