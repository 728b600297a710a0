#include "tools/archiver/ArchiveFile.h"

#include <algorithm>
#include <filesystem>

#include "compress/Compress.h"
#include "compress/CompressErrors.h"
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

// Passes a member's expanded bytes on to their destination, if any, and keeps their count,
// their sum and whether the destination refused any of them.
class TCheckingSink : public TStream {
public:
  explicit TCheckingSink(TStream* dest) : dest_(dest) {}
  int32_t Read(void*, int32_t) override { return 0; }
  int32_t Write(const void* buffer, int32_t count) override {
    int32_t taken = count;
    if (dest_ != nullptr) {
      try {
        taken = dest_->Write(buffer, count);
      } catch (...) {
        refused_ = true;
        throw;
      }
      if (taken != count) refused_ = true;
    }
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    for (int32_t i = 0; i < taken; ++i) sum_ += bytes[i];
    size_ += std::max(taken, 0);
    return taken;
  }
  int64_t Seek(int64_t, TSeekOrigin) override { return size_; }
  int64_t Size() override { return size_; }
  uint32_t Sum() const { return sum_; }
  bool Refused() const { return refused_; }

private:
  TStream* dest_;
  int64_t size_ = 0;
  uint32_t sum_ = 0;
  bool refused_ = false;
};

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
      problems_.push_back("member \"" + PrintableName(Name(i)) +
                          "\" is cut short: its data ends at byte " + std::to_string(end) +
                          " of a " + std::to_string(size) + "-byte file");
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

std::string TArchiveFile::Expand(int i, TStream* dest) {
  const TCompressedFileInfo& info = Info(i);
  if (info.MethodCode == kMethodCustom) return "uses a custom method that this tool cannot expand";
  TCheckingSink expanded(dest);
  stream_->SetPosition(DataOffset(i));
  try {
    TCompress expander(nullptr);
    expander.ExpandMemberStream(expanded, *stream_, methodId_, info.MethodCode, info.Checksum,
                                info.ExpandedSize, info.CompressedSize);
  } catch (const EBadChecksum&) {
    return "bad checksum";
  } catch (const Exception& e) {
    if (expanded.Refused()) throw;
    return e.Message();
  }
  // The engine leaves a stored member's checksum alone; the archiver must not, or a
  // damaged stored member would pass as good.
  if (info.MethodCode == kMethodStored && expanded.Sum() != info.Checksum) return "bad checksum";
  if (expanded.Size() != info.ExpandedSize) {
    return "expands to " + std::to_string(expanded.Size()) + " bytes, not " +
           std::to_string(info.ExpandedSize);
  }
  return "";
}

std::string MethodName(uint8_t methodCode) {
  const TMethod* method = MethodByCode(methodCode);
  return method != nullptr ? method->Id : "?" + std::to_string(methodCode);
}
