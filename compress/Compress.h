// TCompress: the archive component. It lists the members of an archive and expands chosen
// members into a target folder, with events to rename, skip or stop, a free-space test,
// folder creation, checksum verification and the members' dates and attributes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "compress/ArchiveFormat.h"
#include "compress/CompressEvents.h"
#include "toolkit/Component.h"

class TFileSystem;
class TFileStream;
class TStream;
class TStringList;

class TCompress : public TComponent {
public:
  explicit TCompress(TComponent* owner);

  // Published properties, in declaration order.
  const TCompressEvent& OnCompress() const { return onCompress_; }
  void SetOnCompress(TCompressEvent handler) { onCompress_ = std::move(handler); }
  const TExpandEvent& OnExpand() const { return onExpand_; }
  void SetOnExpand(TExpandEvent handler) { onExpand_ = std::move(handler); }
  const TFilenameCheckEvent& OnCheckFile() const { return onCheckFile_; }
  void SetOnCheckFile(TFilenameCheckEvent handler) { onCheckFile_ = std::move(handler); }
  const TRecognizeEvent& OnRecognize() const { return onRecognize_; }
  void SetOnRecognize(TRecognizeEvent handler) { onRecognize_ = std::move(handler); }
  const TShowProgressEvent& OnShowProgress() const { return onShowProgress_; }
  void SetOnShowProgress(TShowProgressEvent handler) { onShowProgress_ = std::move(handler); }
  const std::string& TargetPath() const { return targetPath_; }
  // Stores the folder with a final "\" added when it is not empty and lacks one.
  void SetTargetPath(const std::string& path);
  bool MakeDirectories() const { return makeDirectories_; }
  void SetMakeDirectories(bool make) { makeDirectories_ = make; }
  bool ExceptionOnFileError() const { return exceptionOnFileError_; }
  void SetExceptionOnFileError(bool raise) { exceptionOnFileError_ = raise; }

  // The file system the component writes through; the platform's own unless replaced
  // (tests put a double here). The component does not own it.
  TFileSystem& FileSystem() const { return *fileSystem_; }
  void SetFileSystem(TFileSystem& fileSystem) { fileSystem_ = &fileSystem; }

#ifdef _WIN32
  // A read-only stream over the resource of type "TCOMPRESS" named ResName (case
  // ignored), from the program itself or, when LibraryName is given, from that library,
  // which stays loaded while the stream lives.
  static std::unique_ptr<TStream> OpenArchiveResource(const std::string& ResName,
                                                      const std::string& LibraryName);
#endif

  // Appends each member's name, with a new TCompressedFileInfo (the caller's to free)
  // attached, in archive order. A stream too short for one member adds nothing.
  void ReadMemberList(TStream& ArchiveStream, TStringList& List);

  // Writes the members named in Names (ASCII case ignored), or every member when Names is
  // null. On normal return Names holds the full paths of the files written.
  void ExpandMembers(TStream& ArchiveStream, TStringList* Names);

  // Expands one member's data from Source's current position into Dest and verifies its
  // checksum (EBadChecksum).
  void ExpandMemberStream(TStream& Dest, TStream& Source, const std::string& CompressID,
                          uint8_t MethodCode, uint32_t Checksum, int32_t ExpandedSize,
                          int32_t CompressedSize);

  // The room that writing Path may use: the drive's free bytes plus the size of an
  // existing file of that name, which would be replaced. 64 bits wide, so a drive with
  // more than 2 GiB free is never taken for a full one.
  int64_t FreeSpaceFor(const std::string& Path);

  // Creates the folder Path and any missing parents ("C:\a\b\" creates "C:\a", then
  // "C:\a\b"); a drive such as "C:" is never tested or created.
  void ForceDirectoryPath(const std::string& Path);

private:
  // What became of one member that ExpandMembers wanted.
  enum class TMemberOutcome { moWritten, moPassedOver, moStop };
  // Writes one wanted member whose header and name have just been read, leaving the
  // stream at the next member header.
  TMemberOutcome ExpandOneMember(TStream& ArchiveStream, const std::string& CompressID,
                                 const TMemberHeader& Header, const std::string& Name,
                                 TStringList& Written);
  std::string ParentOf(const std::string& path) const;

  TCompressEvent onCompress_;
  TExpandEvent onExpand_;
  TRecognizeEvent onRecognize_;
  TFilenameCheckEvent onCheckFile_;
  TShowProgressEvent onShowProgress_;
  std::string targetPath_;
  bool makeDirectories_ = false;
  bool exceptionOnFileError_ = false;
  TFileSystem* fileSystem_;
};
