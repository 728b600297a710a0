// archiver create: the archive header, then for each file its member header, name and
// encoded data, written to a side file that replaces OUT only when complete.
#include <sys/stat.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

#include "compress/ArchiveFormat.h"
#include "compress/BuiltInMethod.h"
#include "compress/DosDateTime.h"
#include "toolkit/Stream.h"
#include "toolkit/StringList.h"
#include "tools/archiver/Commands.h"

namespace {

// Files at least this large show a progress line when stderr is a terminal.
constexpr int64_t kProgressThreshold = 1 << 20;
constexpr int kMaxNameLength = std::numeric_limits<int16_t>::max();

struct TMethodChoice {
  const char* option;
  uint8_t code;
  const char* id;
};
constexpr TMethodChoice kMethods[] = {
    {"lzh", kMethodLzh, kMethodIdLzh},
    {"rle", kMethodRle, kMethodIdRle},
    {"none", kMethodStored, kMethodIdStored},
};

struct TInputFile {
  std::string name;  // as stored in the archive
  std::string path;  // where to read it
};

TInputFile ParseInput(const std::string& operand) {
  TInputFile input;
  const size_t equals = operand.find('=');
  if (equals != std::string::npos) {
    input.name = operand.substr(0, equals);
    input.path = operand.substr(equals + 1);
  } else {
    input.path = operand;
    input.name = std::filesystem::path(operand).filename().string();
  }
  if (input.name.empty()) throw TUsageError("\"" + operand + "\" gives no member name");
  if (input.name.size() > static_cast<size_t>(kMaxNameLength)) {
    throw TUsageError("member name of \"" + operand + "\" is too long");
  }
  return input;
}

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) throw TToolError(path + ": is a folder");
  std::ifstream in(path, std::ios::binary);
  if (!in) throw TToolError(path + ": cannot read (" + SystemReason() + ")");
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
  if (in.bad()) throw TToolError(path + ": read failed (" + SystemReason() + ")");
  if (bytes.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
    throw TToolError(path + ": too large for an archive member");
  }
  return bytes;
}

// The file's last-write time as a local DOS date and time.
uint32_t FileDosTime(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) throw TToolError(path + ": " + SystemReason());
  const std::time_t when = st.st_mtime;
  const std::tm* local = std::localtime(&when);
  if (local == nullptr) throw TToolError(path + ": its date cannot be represented");
  TDosDateTime t;
  t.Year = local->tm_year + 1900;
  t.Month = local->tm_mon + 1;
  t.Day = local->tm_mday;
  t.Hour = local->tm_hour;
  t.Minute = local->tm_min;
  t.Second = local->tm_sec;
  return PackDosDateTime(t);
}

uint16_t FileAttributes(const std::string& path) {
  constexpr uint16_t kReadOnly = 0x01;
  const auto perms = std::filesystem::status(path).permissions();
  const bool writable =
      (perms & std::filesystem::perms::owner_write) != std::filesystem::perms::none;
  return writable ? kArchiveAttribute : kArchiveAttribute | kReadOnly;
}

void WriteFileOrFail(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) throw TToolError(path + ": cannot create (" + SystemReason() + ")");
  const bool written =
      std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() && std::fflush(file) == 0;
  const std::string reason = written ? "" : SystemReason();
  if (std::fclose(file) != 0 || !written) {
    std::remove(path.c_str());
    throw TToolError(path + ": cannot write (" + (written ? SystemReason() : reason) + ")");
  }
}

}  // namespace

int CreateCommand(TToolContext& context, const std::vector<std::string>& args) {
  const TArguments arguments(args, {"--method", "--mtime"}, {"-v", "--verbose"});
  context.verbose = arguments.Has("-v") || arguments.Has("--verbose");
  const auto& operands = arguments.Operands();
  if (operands.size() < 2) throw TUsageError("create needs OUT and at least one FILE");

  const std::string methodOption = arguments.Value("--method", "lzh");
  const TMethodChoice* method = nullptr;
  for (const auto& m : kMethods) {
    if (methodOption == m.option) method = &m;
  }
  if (method == nullptr) throw TUsageError("--method must be lzh, rle or none");
  const bool fixedTime = arguments.Has("--mtime");
  const uint32_t mtime = fixedTime ? ParseMtime(arguments.Value("--mtime", "")) : 0;

  std::vector<TInputFile> inputs;
  TStringList names;
  for (size_t i = 1; i < operands.size(); ++i) {
    inputs.push_back(ParseInput(operands[i]));
    if (names.IndexOf(inputs.back().name) >= 0) {
      throw TUsageError("member name \"" + inputs.back().name + "\" is given twice");
    }
    names.Add(inputs.back().name);
  }

  TMemoryStream archive;
  TArchiveHeader header;
  SetMethodId(header, method->id);
  WriteArchiveHeader(archive, header);  // TotalSize is filled in at the end
  int64_t total = 0;
  for (const auto& input : inputs) {
    const std::vector<uint8_t> plain = ReadWholeFile(input.path);
    const int32_t size = static_cast<int32_t>(plain.size());
    TMemberHeader member;
    member.DateTime = fixedTime ? mtime : FileDosTime(input.path);
    member.Attributes = FileAttributes(input.path);
    member.ExpandedSize = size;
    member.MethodCode = method->code;

    TMemoryStream data;
    if (method->code == kMethodStored) {
      data.WriteBuffer(plain.data(), size);
      for (uint8_t b : plain) member.Checksum += b;
    } else {
      TReadOnlyMemoryStream source(plain.data(), size);
      const bool showProgress = context.errIsTerminal && size >= kProgressThreshold;
      TShowProgressEvent progress;
      if (showProgress) {
        progress = [&](int32_t& percentage) {
          context.err << "\rcompressing " << input.name << ": " << percentage << "%" << std::flush;
        };
      }
      RunBuiltInMethod(progress, data, source, false, member.Checksum, method->code, 0, size);
      if (showProgress) context.err << "\n";
    }
    member.CompressedSize = static_cast<int32_t>(data.Size());
    WriteMemberHeader(archive, member, input.name);
    archive.WriteBuffer(data.Bytes().data(), member.CompressedSize);
    total += size;
    if (total > std::numeric_limits<int32_t>::max()) {
      throw TToolError("the files add up to more than an archive can hold (2 GiB)");
    }
    if (context.verbose) {
      context.out << input.name << ": " << size << " -> " << member.CompressedSize << " bytes\n";
    }
  }
  header.TotalSize = static_cast<int32_t>(total);
  archive.SetPosition(0);
  WriteArchiveHeader(archive, header);

  const std::string out = operands[0];
  const std::string side = out + ".part";
  WriteFileOrFail(side, archive.Bytes());
  std::error_code error;
  std::filesystem::rename(side, out, error);
  if (error) {
    std::remove(side.c_str());
    throw TToolError(out + ": cannot write (" + error.message() + ")");
  }
  return kExitSuccess;
}
