// archiver list and archiver test.
#include <cstdio>

#include "compress/Compress.h"
#include "compress/CompressErrors.h"
#include "toolkit/Exception.h"
#include "toolkit/Stream.h"
#include "tools/archiver/ArchiveFile.h"
#include "tools/archiver/Commands.h"

namespace {

std::string OneArchive(const std::vector<std::string>& args, const char* command) {
  const TArguments arguments(args, {}, {});
  if (arguments.Operands().size() != 1) {
    throw TUsageError(std::string(command) + " needs exactly one ARCHIVE");
  }
  return arguments.Operands()[0];
}

// Compressed size as a share of the expanded size.
std::string Ratio(int64_t compressed, int64_t expanded) {
  if (expanded <= 0) return "-";
  char text[16];
  std::snprintf(text, sizeof text, "%.1f%%", 100.0 * static_cast<double>(compressed) / expanded);
  return text;
}

void ReportProblems(TToolContext& context, const std::string& path, const TArchiveFile& archive) {
  for (const auto& problem : archive.Problems()) {
    context.err << "archiver: " << path << ": " << problem << "\n";
  }
}

}  // namespace

int ListCommand(TToolContext& context, const std::vector<std::string>& args) {
  const std::string path = OneArchive(args, "list");
  TArchiveFile archive(path);
  char line[256];
  constexpr char kRow[] = "%10s %10s %7s %-6s %-10s  %-19s %10s  ";
  std::snprintf(line, sizeof line, kRow, "Expanded", "Compressed", "Ratio", "Method", "Checksum",
                "Date", "Offset");
  context.out << "Archive " << path << ", method id " << archive.MethodId() << "\n"
              << line << "Name\n";
  int64_t expanded = 0, compressed = 0;
  for (int i = 0; i < archive.Count(); ++i) {
    const TCompressedFileInfo& info = archive.Info(i);
    char checksum[16];
    std::snprintf(checksum, sizeof checksum, "0x%08X", static_cast<unsigned>(info.Checksum));
    std::snprintf(line, sizeof line, kRow, std::to_string(info.ExpandedSize).c_str(),
                  std::to_string(info.CompressedSize).c_str(),
                  Ratio(info.CompressedSize, info.ExpandedSize).c_str(),
                  MethodName(info.MethodCode).c_str(), checksum,
                  FormatDosDateTime(info.DateTime).c_str(),
                  std::to_string(info.HeaderOffset).c_str());
    context.out << line << archive.Name(i) << "\n";
    expanded += info.ExpandedSize;
    compressed += info.CompressedSize;
  }
  std::snprintf(line, sizeof line, "%10s %10s %7s", std::to_string(expanded).c_str(),
                std::to_string(compressed).c_str(), Ratio(compressed, expanded).c_str());
  context.out << line << "  " << archive.Count() << " member(s)\n";
  ReportProblems(context, path, archive);
  return archive.Problems().empty() ? kExitSuccess : kExitFailure;
}

namespace {
// Where test sends a member's expanded bytes: it keeps only their count and their sum,
// so testing a member of any size takes no more memory than its blocks.
class TChecksumSink : public TStream {
public:
  int32_t Read(void*, int32_t) override { return 0; }
  int32_t Write(const void* buffer, int32_t count) override {
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    for (int32_t i = 0; i < count; ++i) sum_ += bytes[i];
    size_ += count;
    return count;
  }
  int64_t Seek(int64_t, TSeekOrigin) override { return size_; }
  int64_t Size() override { return size_; }
  uint32_t Sum() const { return sum_; }

private:
  int64_t size_ = 0;
  uint32_t sum_ = 0;
};
}  // namespace

int TestCommand(TToolContext& context, const std::vector<std::string>& args) {
  const std::string path = OneArchive(args, "test");
  TArchiveFile archive(path);
  ReportProblems(context, path, archive);
  int bad = 0;
  TCompress expander(nullptr);
  for (int i = 0; i < archive.Count(); ++i) {
    const TCompressedFileInfo& info = archive.Info(i);
    std::string fault;
    if (info.MethodCode == kMethodCustom) {
      fault = "uses a custom method that this tool cannot expand";
    } else {
      TChecksumSink expanded;
      TStream& source = archive.Stream();
      source.SetPosition(archive.DataOffset(i));
      try {
        expander.ExpandMemberStream(expanded, source, archive.MethodId(), info.MethodCode,
                                    info.Checksum, info.ExpandedSize, info.CompressedSize);
        // The engine leaves a stored member's checksum alone; a test of the archive must
        // not, or a damaged stored member would pass as good.
        if (info.MethodCode == kMethodStored && expanded.Sum() != info.Checksum) {
          fault = "bad checksum";
        } else if (expanded.Size() != info.ExpandedSize) {
          fault = "expands to " + std::to_string(expanded.Size()) + " bytes, not " +
                  std::to_string(info.ExpandedSize);
        }
      } catch (const EBadChecksum&) {
        fault = "bad checksum";
      } catch (const Exception& e) {
        fault = e.Message();
      }
    }
    if (!fault.empty()) {
      ++bad;
      context.err << "archiver: " << path << ": " << archive.Name(i) << ": " << fault << "\n";
    }
  }
  context.out << archive.Count() << " member(s) tested, " << bad << " bad\n";
  return bad == 0 && archive.Problems().empty() ? kExitSuccess : kExitFailure;
}
