#include "compress/Compress.h"

#include "compress/ArchiveFormat.h"
#include "compress/BuiltInExpansion.h"
#include "compress/CompressErrors.h"
#include "compress/FileSystem.h"
#include "toolkit/Characters.h"
#include "toolkit/Exception.h"
#include "toolkit/Stream.h"
#include "toolkit/StringList.h"

namespace {

// Paths are scanned by characters (toolkit/Characters.h): in a double-byte code page the
// second byte of a letter may be 0x5C, which is no separator.
constexpr char kFolderSeparator = '\\';
// What OnCheckFile leaves in the path to stop the expansion before this member.
constexpr char kStopExpansion[] = "*";
// A stream shorter than an archive header plus one member header holds no member.
constexpr int64_t kSmallestArchiveWithMember = kArchiveHeaderSize + kMemberHeaderSize;

void PassOver(TStream& archive, const TMemberHeader& header) {
  archive.Seek(header.CompressedSize, TSeekOrigin::soCurrent);
}

// A drive such as "C:" is two characters; a folder named by one double-byte letter is two
// bytes, and it is a folder to make.
bool AtMostTwoCharacters(const std::string& text) {
  size_t index = 0;
  for (int characters = 0; index < text.size(); ++characters) {
    if (characters == 2) return false;
    index += CharacterLength(text, index);
  }
  return true;
}

// The member's attribute field is a signed 16-bit quantity, widened with its sign.
int32_t WidenedAttributes(uint16_t attributes) {
  return static_cast<int32_t>(static_cast<int16_t>(attributes));
}

}  // namespace

TCompress::TCompress(TComponent* owner) : TComponent(owner), fileSystem_(&PlatformFileSystem()) {}

void TCompress::SetTargetPath(const std::string& path) {
  targetPath_ = path;
  if (!targetPath_.empty() && !EndsWithCharacter(targetPath_, kFolderSeparator)) {
    targetPath_ += kFolderSeparator;
  }
}

void TCompress::ReadMemberList(TStream& ArchiveStream, TStringList& List) {
  if (ArchiveStream.Size() < kSmallestArchiveWithMember) return;
  TArchiveHeader archiveHeader;
  std::string methodId;
  ReadArchiveHeader(ArchiveStream, archiveHeader, methodId, onExpand_, onRecognize_);
  TMemberHeader header;
  std::string name;
  while (ReadMemberHeader(ArchiveStream, header, name)) {
    const int64_t headerOffset = ArchiveStream.Position() - header.NameLength - kMemberHeaderSize;
    auto info = std::make_unique<TCompressedFileInfo>(header, static_cast<int32_t>(headerOffset));
    List.AddObject(name, info.get());
    info.release();  // the list's caller owns it now
    PassOver(ArchiveStream, header);
  }
}

void TCompress::ExpandMembers(TStream& ArchiveStream, TStringList* Names) {
  TStringList written;
  TArchiveHeader archiveHeader;
  std::string methodId;
  ReadArchiveHeader(ArchiveStream, archiveHeader, methodId, onExpand_, onRecognize_);

  // Counted in 64 bits so that damaged size fields cannot wrap the bound around.
  int64_t done = 0;
  TMemberHeader header;
  std::string name;
  // Once Done reaches TotalSize the next header would not be used, so it is not read:
  // damage behind the listed data cannot fail an expansion that has written every file.
  while (done < archiveHeader.TotalSize && ReadMemberHeader(ArchiveStream, header, name)) {
    if (Names != nullptr && Names->IndexOf(name) < 0) {
      PassOver(ArchiveStream, header);
      done += header.ExpandedSize;
      continue;
    }
    const TMemberOutcome outcome = ExpandOneMember(ArchiveStream, methodId, header, name, written);
    if (outcome == TMemberOutcome::moStop) break;
    if (outcome == TMemberOutcome::moWritten) done += header.ExpandedSize;
  }

  if (Names != nullptr) {
    Names->Clear();
    for (int i = 0; i < written.Count(); ++i) Names->Add(written[i]);
  }
}

TCompress::TMemberOutcome TCompress::ExpandOneMember(TStream& ArchiveStream,
                                                     const std::string& CompressID,
                                                     const TMemberHeader& Header,
                                                     const std::string& Name,
                                                     TStringList& Written) {
  std::string target =
      !Name.empty() && Name.front() == kFolderSeparator ? Name : targetPath_ + Name;

  if (onCheckFile_) {
    onCheckFile_(target, TCProcessMode::pmExpanding);
    if (target.empty()) {
      PassOver(ArchiveStream, Header);
      return TMemberOutcome::moPassedOver;
    }
    if (target == kStopExpansion) return TMemberOutcome::moStop;
  }

  if (FreeSpaceFor(target) < Header.ExpandedSize) throw EInsufficientDiskSpace(target);
  if (makeDirectories_) ForceDirectoryPath(ParentOf(target));

  std::unique_ptr<TFileStream> file;
  try {
    file = fileSystem_->CreateFileExclusive(target);
  } catch (const EFCreateError&) {
    if (exceptionOnFileError_) throw;
    PassOver(ArchiveStream, Header);
    return TMemberOutcome::moPassedOver;
  }

  // The file is closed and given its attributes on every path; only a member that
  // expanded and verified gets its date.
  const int32_t attributes = WidenedAttributes(Header.Attributes);
  try {
    ExpandMemberStream(*file, ArchiveStream, CompressID, Header.MethodCode, Header.Checksum,
                       Header.ExpandedSize, Header.CompressedSize);
    fileSystem_->SetLastWriteTime(*file, Header.DateTime);
    Written.Add(target);
  } catch (...) {
    file.reset();
    fileSystem_->SetAttributes(target, attributes);
    throw;
  }
  file.reset();
  fileSystem_->SetAttributes(target, attributes);
  return TMemberOutcome::moWritten;
}

void TCompress::ExpandMemberStream(TStream& Dest, TStream& Source, const std::string& CompressID,
                                   uint8_t MethodCode, uint32_t Checksum, int32_t ExpandedSize,
                                   int32_t CompressedSize) {
  uint32_t sum = 0;
  switch (MethodCode) {
    case kMethodStored:
      if (CompressedSize > 0) Dest.CopyFrom(Source, CompressedSize);
      break;
    case kMethodCustom:
      if (onExpand_) {
        int32_t handlerSum = 0;
        onExpand_(Dest, Source, CompressedSize, ExpandedSize, CompressID, handlerSum);
        sum = static_cast<uint32_t>(handlerSum);
      }
      break;
    default:
      // The methods of the method table; one that it does not hold writes nothing.
      ExpandBuiltInMethod(onShowProgress_, Dest, Source, sum, MethodCode, ExpandedSize,
                          CompressedSize);
      break;
  }
  if (MethodCode != kMethodStored && sum != Checksum) throw EBadChecksum();
}

int64_t TCompress::FreeSpaceFor(const std::string& Path) {
  return RoomFor(*fileSystem_, Path);
}

void TCompress::ForceDirectoryPath(const std::string& Path) {
  if (Path.empty()) return;
  std::string folder = Path;
  const size_t last = FindLastCharacterOf(folder, fileSystem_->PathDelimiters());
  if (last + 1 == folder.size() && folder[last] != ':') folder.pop_back();
  if (AtMostTwoCharacters(folder) || fileSystem_->DirectoryExists(folder)) return;
  // A name ending in ":" is its own parent; going up from it would never end.
  const std::string parent = ParentOf(folder);
  if (parent.size() < folder.size()) ForceDirectoryPath(parent);
  fileSystem_->MakeDirectory(folder);
}

std::string TCompress::ParentOf(const std::string& path) const {
  const size_t end = FindLastCharacterOf(path, fileSystem_->PathDelimiters());
  return end == std::string::npos ? std::string() : path.substr(0, end + 1);
}
