// archiver create: the archive header, then for each file its member header, name and
// encoded data, written to a side file that replaces OUT only when complete.
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

#include "compress/ArchiveFormat.h"
#include "compress/DosDateTime.h"
#include "compress/compressor/BuiltInMethod.h"
#include "compress/compressor/MethodCompressors.h"
#include "toolkit/Exception.h"
#include "toolkit/FileStream.h"
#include "toolkit/Stream.h"
#include "toolkit/StringList.h"
#include "tools/archiver/Commands.h"

namespace {

// Files at least this large show a progress line when stderr is a terminal.
constexpr int64_t kProgressThreshold = 1 << 20;
constexpr int kMaxNameLength = std::numeric_limits<int16_t>::max();

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

// Opens an input for reading; the archive takes it in blocks, never whole.
std::unique_ptr<TFileStream> OpenInput(const std::string& path) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) throw TToolError(path + ": is a folder");
  std::unique_ptr<TFileStream> in;
  try {
    in = std::make_unique<TFileStream>(path, fmOpenRead | fmShareDenyWrite);
  } catch (const EFOpenError&) {
    throw TToolError(path + ": cannot read (" + SystemReason() + ")");
  }
  if (in->Size() > std::numeric_limits<int32_t>::max()) {
    throw TToolError(path + ": too large for an archive member");
  }
  return in;
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

// Hands an input on to the encoder and counts the bytes it delivers.
class TCountingSource : public TStream {
public:
  explicit TCountingSource(TStream& source) : source_(source) {}
  int32_t Read(void* buffer, int32_t count) override {
    const int32_t n = source_.Read(buffer, count);
    if (n > 0) delivered_ += n;
    return n;
  }
  int32_t Write(const void*, int32_t) override { return 0; }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override { return source_.Seek(offset, origin); }
  int64_t Delivered() const { return delivered_; }

private:
  TStream& source_;
  int64_t delivered_ = 0;
};

// Copies up to count bytes of a stored member, fewer when the source ends first, and
// returns their sum, its checksum.
uint32_t CopyStored(TStream& dest, TStream& source, int64_t count) {
  std::vector<uint8_t> block(64 * 1024);
  uint32_t sum = 0;
  while (count > 0) {
    const int32_t n =
        source.Read(block.data(), static_cast<int32_t>(std::min<int64_t>(count, block.size())));
    if (n <= 0) break;
    for (int32_t i = 0; i < n; ++i) sum += block[static_cast<size_t>(i)];
    dest.WriteBuffer(block.data(), n);
    count -= n;
  }
  return sum;
}

// The member's header holds the size the file had when it was opened: a file that shrank
// or grew while it was packed would give a member whose data does not match it.
void CheckReadWhole(TCountingSource& source, int32_t size, const std::string& path) {
  const std::string changed = path + ": changed while it was packed: ";
  if (source.Delivered() != size) {
    throw TToolError(changed + std::to_string(size) + " bytes when opened, only " +
                     std::to_string(source.Delivered()) + " could be read");
  }
  uint8_t more;
  if (source.Read(&more, 1) > 0) {
    throw TToolError(changed + "it grew beyond the " + std::to_string(size) +
                     " bytes it had when opened");
  }
}

// Writes the archive into side, member by member, straight from each input to the file:
// a member header is written first with its sizes still open and completed once its
// data is out, and the archive header's TotalSize last.
void WriteArchive(TToolContext& context, const std::string& side,
                  const std::vector<TInputFile>& inputs, const TMethodCompressor& method,
                  bool fixedTime, uint32_t mtime, std::optional<uint16_t> attributes) {
  TFileStream archive(side, fmCreate | fmShareExclusive);
  TArchiveHeader header;
  SetMethodId(header, MethodByCode(method.Code)->Id);
  WriteArchiveHeader(archive, header);
  int64_t total = 0;
  for (const auto& input : inputs) {
    const std::unique_ptr<TFileStream> file = OpenInput(input.path);
    const int32_t size = static_cast<int32_t>(file->Size());
    TCountingSource source(*file);
    TMemberHeader member;
    member.DateTime = fixedTime ? mtime : FileDosTime(input.path);
    member.Attributes = attributes ? *attributes : FileAttributes(input.path);
    member.ExpandedSize = size;
    member.MethodCode = method.Code;

    const int64_t headerOffset = archive.Position();
    WriteMemberHeader(archive, member, input.name);
    const int64_t dataOffset = archive.Position();
    if (method.Code == kMethodStored) {
      member.Checksum = CopyStored(archive, source, size);
    } else {
      const bool showProgress = context.errIsTerminal && size >= kProgressThreshold;
      TShowProgressEvent progress;
      if (showProgress) {
        progress = [&](int32_t& percentage) {
          context.err << "\rcompressing " << PrintableName(input.name) << ": " << percentage << "%"
                      << std::flush;
        };
      }
      RunBuiltInMethod(progress, archive, source, false, member.Checksum, method.Code, 0, size);
      if (showProgress) context.err << "\n";
    }
    CheckReadWhole(source, size, input.path);
    const int64_t dataEnd = archive.Position();
    if (dataEnd - dataOffset > std::numeric_limits<int32_t>::max()) {
      throw TToolError(input.path + ": too large for an archive member once encoded");
    }
    member.CompressedSize = static_cast<int32_t>(dataEnd - dataOffset);
    archive.SetPosition(headerOffset);
    WriteMemberHeader(archive, member, input.name);
    archive.SetPosition(dataEnd);
    total += size;
    if (total > std::numeric_limits<int32_t>::max()) {
      throw TToolError("the files add up to more than an archive can hold (2 GiB)");
    }
    if (context.verbose) {
      context.out << PrintableName(input.name) << ": " << size << " -> " << member.CompressedSize
                  << " bytes\n";
    }
  }
  header.TotalSize = static_cast<int32_t>(total);
  archive.SetPosition(0);
  WriteArchiveHeader(archive, header);
}

}  // namespace

int CreateCommand(TToolContext& context, const std::vector<std::string>& args) {
  const TArguments arguments(args, {"--method", "--mtime", "--attributes"}, {"-v", "--verbose"});
  context.verbose = arguments.Has("-v") || arguments.Has("--verbose");
  const auto& operands = arguments.Operands();
  if (operands.size() < 2) throw TUsageError("create needs OUT and at least one FILE");

  const std::string methodOption = arguments.Value("--method", kMethodCompressors[0].Name);
  const TMethodCompressor* method = CompressorByName(methodOption);
  if (method == nullptr) throw TUsageError("--method must be " + MethodChoices(", ", " or "));
  const bool fixedTime = arguments.Has("--mtime");
  const uint32_t mtime = fixedTime ? ParseMtime(arguments.Value("--mtime", "")) : 0;
  // A read-only checkout must not make read-only members: stated attributes, like a fixed
  // date, make the archive the same bytes wherever it is packed.
  std::optional<uint16_t> attributes;
  if (arguments.Has("--attributes"))
    attributes = ParseAttributes(arguments.Value("--attributes", ""));

  std::vector<TInputFile> inputs;
  TStringList names;
  for (size_t i = 1; i < operands.size(); ++i) {
    inputs.push_back(ParseInput(operands[i]));
    if (names.IndexOf(inputs.back().name) >= 0) {
      throw TUsageError("member name \"" + PrintableName(inputs.back().name) + "\" is given twice");
    }
    names.Add(inputs.back().name);
  }

  const std::string out = operands[0];
  const std::string side = out + ".part";
  try {
    WriteArchive(context, side, inputs, *method, fixedTime, mtime, attributes);
  } catch (const EFCreateError&) {
    throw TToolError(out + ": cannot create (" + SystemReason() + ")");
  } catch (const EWriteError&) {
    const std::string reason = SystemReason();
    std::remove(side.c_str());
    throw TToolError(out + ": cannot write (" + reason + ")");
  } catch (...) {
    std::remove(side.c_str());
    throw;
  }
  std::error_code error;
  std::filesystem::rename(side, out, error);
  if (error) {
    std::remove(side.c_str());
    throw TToolError(out + ": cannot write (" + error.message() + ")");
  }
  return kExitSuccess;
}
