// archiver extract: writes members below DIR, each through the expansion engine and checked
// against its size and checksum, after refusing every member name that could land outside
// DIR or that no file name may hold.
#include <filesystem>

#include "compress/Compress.h"
#include "compress/CompressErrors.h"
#include "compress/FileSystem.h"
#include "toolkit/Characters.h"
#include "toolkit/Exception.h"
#include "toolkit/FileStream.h"
#include "toolkit/StringList.h"
#include "tools/archiver/ArchiveFile.h"
#include "tools/archiver/Commands.h"

namespace {

// Why a member name may not be written below the target folder, or "" when it may.
std::string Escape(const std::string& name, const std::string& folder) {
  if (name.empty()) return "has an empty name";
  // As Windows refuses them in file names; on a terminal they could also pass for commands.
  for (const char c : name) {
    if (IsControlCharacter(c)) return "has a control character in its name";
  }
  const std::string outside = " and would be written outside " + folder;
  if (name[0] == '\\' || name[0] == '/') return "is rooted" + outside;
  // By characters: in a double-byte code page a second byte may be 0x5C, which is no "\".
  if (FindFirstCharacterOf(name, ":") != std::string::npos)
    return "names a drive or stream" + outside;
  size_t start = 0;
  for (;;) {
    const size_t end = FindFirstCharacterOf(name, "\\/", start);
    if (name.compare(start, end == std::string::npos ? std::string::npos : end - start, "..") ==
        0) {
      return "climbs out with \"..\"" + outside;
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

// A name in the folder that no file or folder has yet, for a member to be written under
// until it has checked out.
std::string SideName(TFileSystem& fileSystem, const std::string& folder) {
  std::string side = folder + "archiver-extract.part";
  for (int n = 2; fileSystem.FileExists(side) || fileSystem.DirectoryExists(side); ++n) {
    side = folder + "archiver-extract-" + std::to_string(n) + ".part";
  }
  return side;
}

// Moves the written file over the target's name, replacing an earlier file of it; the
// host's own rename, for the reason it gives when it cannot.
void PutInPlace(TFileSystem& fileSystem, const std::string& side, const std::string& target) {
  std::error_code error;
  std::filesystem::rename(HostPath(side), HostPath(target), error);
  if (error) {
    fileSystem.RemoveFile(side);
    throw TToolError(HostPath(target) + ": cannot write (" + error.message() +
                     "); extraction stopped");
  }
}

// Writes member m below the engine's target path and returns what is wrong with the
// member, "" when nothing is. The member is written beside its name and takes that name
// only once it has expanded whole, or when a damaged one is kept: an earlier file of the
// name stays as it was until then, and for good when the member fails. A member's file
// gets its date only when the member expanded whole. A disk that refuses the bytes stops
// the extraction, again without the file unless kept.
std::string ExtractMember(TCompress& engine, TArchiveFile& archive, int m, bool keepDamaged) {
  const TCompressedFileInfo& info = archive.Info(m);
  const std::string target = engine.TargetPath() + archive.Name(m);
  const std::string folder = target.substr(0, target.find_last_of("\\/") + 1);
  TFileSystem& fileSystem = engine.FileSystem();
  // An earlier file that cannot be replaced (read-only, held open), or a folder of the
  // name, stops the extraction before anything is written.
  if (fileSystem.FileExists(target)) fileSystem.OpenedFileSize(target);
  if (fileSystem.DirectoryExists(target)) throw EFCreateError(target);
  const std::string side = SideName(fileSystem, folder);
  // The earlier file stays until the member has checked out: both need room at once.
  if (engine.FreeSpaceFor(side) < info.ExpandedSize) throw EInsufficientDiskSpace(target);
  engine.ForceDirectoryPath(folder);
  std::unique_ptr<TFileStream> file;
  try {
    file = fileSystem.CreateFileExclusive(side);
  } catch (const EFCreateError&) {
    throw EFCreateError(target);
  }
  const auto giveUp = [&] {
    file.reset();
    if (keepDamaged) {
      PutInPlace(fileSystem, side, target);
    } else {
      fileSystem.RemoveFile(side);
    }
  };
  std::string fault;
  try {
    fault = archive.Expand(m, file.get());
  } catch (const EWriteError&) {
    const std::string reason = SystemReason();
    giveUp();
    throw TToolError(HostPath(target) + ": cannot write (" + reason + "); extraction stopped");
  } catch (...) {
    giveUp();
    throw;
  }
  if (fault.empty()) fileSystem.SetLastWriteTime(*file, info.DateTime);
  file.reset();
  if (!fault.empty() && !keepDamaged) {
    fileSystem.RemoveFile(side);
  } else {
    PutInPlace(fileSystem, side, target);
    fileSystem.SetAttributes(target, static_cast<int16_t>(info.Attributes));
  }
  return fault;
}

}  // namespace

int ExtractCommand(TToolContext& context, const std::vector<std::string>& args) {
  const TArguments arguments(args, {"-C", "--directory"}, {"-v", "--verbose", "--keep-damaged"});
  context.verbose = arguments.Has("-v") || arguments.Has("--verbose");
  const bool keepDamaged = arguments.Has("--keep-damaged");
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
    if (!found) {
      throw TToolError(path + ": no member named \"" + PrintableName(wanted[i]) + "\"");
    }
  }
  std::vector<int> chosen;
  for (int m = 0; m < archive.Count(); ++m) {
    if (wanted.Count() > 0 && wanted.IndexOf(archive.Name(m)) < 0) continue;
    const std::string why = Escape(archive.Name(m), folder);
    if (!why.empty()) {
      throw TToolError(path + ": member \"" + PrintableName(archive.Name(m)) + "\" " + why +
                       "; nothing extracted");
    }
    chosen.push_back(m);
  }

  TCompress engine(nullptr);
  engine.SetTargetPath(TargetFolder(folder));
  int damaged = 0;
  for (int m : chosen) {
    const std::string fault = ExtractMember(engine, archive, m, keepDamaged);
    const std::string written =
        HostPath(engine.TargetPath()) + PrintableName(HostPath(archive.Name(m)));
    if (fault.empty()) {
      if (context.verbose) context.out << written << "\n";
      continue;
    }
    ++damaged;
    context.err << "archiver: " << path << ": " << PrintableName(archive.Name(m)) << ": " << fault
                << (keepDamaged ? "; kept as written in " + written
                                : "; removed (--keep-damaged keeps it)")
                << "\n";
  }
  return damaged == 0 ? kExitSuccess : kExitFailure;
}
