// archiver list and archiver test.
#include <cstdio>

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
    context.out << line << PrintableName(archive.Name(i)) << "\n";
    expanded += info.ExpandedSize;
    compressed += info.CompressedSize;
  }
  std::snprintf(line, sizeof line, "%10s %10s %7s", std::to_string(expanded).c_str(),
                std::to_string(compressed).c_str(), Ratio(compressed, expanded).c_str());
  context.out << line << "  " << archive.Count() << " member(s)\n";
  ReportProblems(context, path, archive);
  return archive.Problems().empty() ? kExitSuccess : kExitFailure;
}

int TestCommand(TToolContext& context, const std::vector<std::string>& args) {
  const std::string path = OneArchive(args, "test");
  TArchiveFile archive(path);
  ReportProblems(context, path, archive);
  int bad = 0;
  for (int i = 0; i < archive.Count(); ++i) {
    const std::string fault = archive.Expand(i, nullptr);
    if (!fault.empty()) {
      ++bad;
      context.err << "archiver: " << path << ": " << PrintableName(archive.Name(i)) << ": " << fault
                  << "\n";
    }
  }
  context.out << archive.Count() << " member(s) tested, " << bad << " bad\n";
  return bad == 0 && archive.Problems().empty() ? kExitSuccess : kExitFailure;
}
