// archiver extract: writes members below DIR through the expansion engine, after refusing
// every member name that could land outside DIR.
#include <filesystem>

#include "compress/Compress.h"
#include "compress/FileSystem.h"
#include "toolkit/Stream.h"
#include "toolkit/StringList.h"
#include "tools/archiver/ArchiveFile.h"
#include "tools/archiver/Commands.h"

namespace {

// Why a member name would be written outside the target folder, or "" when it stays in.
std::string Escape(const std::string& name) {
  if (name.empty()) return "has an empty name";
  if (name.find('\0') != std::string::npos) return "has a name with a NUL byte";
  if (name[0] == '\\' || name[0] == '/') return "is rooted";
  if (name.find(':') != std::string::npos) return "names a drive or stream";
  size_t start = 0;
  for (;;) {
    const size_t end = name.find_first_of("\\/", start);
    if (name.compare(start, end == std::string::npos ? std::string::npos : end - start, "..") ==
        0) {
      return "climbs out with \"..\"";
    }
    if (end == std::string::npos) return "";
    start = end + 1;
  }
}

// The folder as the engine's target path: without trailing separators, except a root.
std::string TargetFolder(std::string folder) {
  while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
  return folder;
}

// A written path as the host writes paths.
std::string HostPath(std::string path) {
#ifndef _WIN32
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
#endif
  return path;
}

}  // namespace

int ExtractCommand(TToolContext& context, const std::vector<std::string>& args) {
  const TArguments arguments(args, {"-C", "--directory"}, {"-v", "--verbose"});
  context.verbose = arguments.Has("-v") || arguments.Has("--verbose");
  const auto& operands = arguments.Operands();
  if (operands.empty()) throw TUsageError("extract needs an ARCHIVE");
  const std::string folder = arguments.Value("-C", arguments.Value("--directory", ""));
  if (folder.empty()) throw TUsageError("extract needs -C DIR");
  const std::string path = operands[0];

  std::error_code error;
  if (!std::filesystem::is_directory(folder, error)) {
    throw TToolError(folder + ": no such folder");
  }
#ifndef _WIN32
  if (folder.find('\\') != std::string::npos) {
    throw TToolError(folder + ": folder names with \"\\\" cannot be told from member folders");
  }
#endif

  TArchiveFile archive(path);
  if (!archive.Problems().empty()) {
    throw TToolError(path + ": " + archive.Problems().front() + "; nothing extracted");
  }
  TStringList wanted;
  for (size_t i = 1; i < operands.size(); ++i) wanted.Add(operands[i]);
  for (int i = 0; i < wanted.Count(); ++i) {
    bool found = false;
    for (int m = 0; m < archive.Count() && !found; ++m)
      found = SameTextAscii(archive.Name(m), wanted[i]);
    if (!found) throw TToolError(path + ": no member named \"" + wanted[i] + "\"");
  }
  std::vector<int> chosen;
  for (int m = 0; m < archive.Count(); ++m) {
    if (wanted.Count() > 0 && wanted.IndexOf(archive.Name(m)) < 0) continue;
    const std::string why = Escape(archive.Name(m));
    if (!why.empty()) {
      throw TToolError(path + ": member \"" + archive.Name(m) + "\" " + why +
                       " and would be written outside " + folder + "; nothing extracted");
    }
    chosen.push_back(m);
  }

  TCompress compress(nullptr);
  compress.SetTargetPath(TargetFolder(folder));
  compress.SetMakeDirectories(true);
  compress.SetExceptionOnFileError(true);
  TStringList written;
  for (int m : chosen) written.Add(archive.Name(m));
  compress.ExpandMembers(archive.Stream(), &written);

  // The engine stops once the header's total size is reached, which leaves out empty
  // members at the end of an archive; they are written here as the engine would.
  TFileSystem& fileSystem = compress.FileSystem();
  for (size_t k = static_cast<size_t>(written.Count()); k < chosen.size(); ++k) {
    const int m = chosen[k];
    const TCompressedFileInfo& info = archive.Info(m);
    if (info.ExpandedSize != 0) {
      throw TToolError(path + ": member \"" + archive.Name(m) + "\" was not extracted");
    }
    const std::string target = compress.TargetPath() + archive.Name(m);
    compress.ForceDirectoryPath(target.substr(0, target.find_last_of("\\/") + 1));
    fileSystem.SetLastWriteTime(*fileSystem.CreateFileExclusive(target), info.DateTime);
    fileSystem.SetAttributes(target, static_cast<int16_t>(info.Attributes));
    written.Add(target);
  }
  if (context.verbose) {
    for (int i = 0; i < written.Count(); ++i) context.out << HostPath(written[i]) << "\n";
  }
  return kExitSuccess;
}
