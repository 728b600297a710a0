// The file-system operations that the expansion engine needs, behind one small interface:
// the Win32 implementation serves the setup, the POSIX one the archiver tool and the native
// tests. Paths are in the archive's own form: "\" separates folders, and a path that starts
// with "\" is rooted (on POSIX the backend maps both to "/").
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "toolkit/FileStream.h"

class TFileSystem {
public:
  virtual ~TFileSystem() = default;

  // The characters after which a path's parent ends ("\" and ":" on Windows). Paths are
  // searched for them by characters of the code page, not by bytes (toolkit/Characters.h).
  virtual const char* PathDelimiters() const = 0;

  // Free bytes on the drive that path lies on (the drive named by a leading "X:", else the
  // current drive), or -1 when the drive cannot be queried.
  virtual int64_t DriveFreeSpace(const std::string& path) = 0;

  virtual bool FileExists(const std::string& path) = 0;
  virtual bool DirectoryExists(const std::string& path) = 0;

  // Opens an existing file for reading and writing, sharing it with nobody, and returns its
  // size; a file that cannot be opened so (missing, read-only, held open by another
  // program) raises EInOutError with the system's error code.
  virtual int64_t OpenedFileSize(const std::string& path) = 0;

  // Creates one folder whose parent exists; failure raises EInOutError.
  virtual void MakeDirectory(const std::string& path) = 0;

  // Copies the file `from` to `to`, replacing a file there. False when the system refused.
  virtual bool CopyReplacing(const std::string& from, const std::string& to) = 0;
  // Moves the file `from` to `to`, replacing a file there (a copy and a delete where a
  // rename cannot do it). False when the system refused; `from` then stays.
  virtual bool MoveReplacing(const std::string& from, const std::string& to) = 0;
  // Deletes a file. False when the system refused.
  virtual bool RemoveFile(const std::string& path) = 0;

  // Creates the file anew for exclusive reading and writing, replacing a file of that
  // name; raises EFCreateError ("Cannot create file %s") when it cannot.
  virtual std::unique_ptr<TFileStream> CreateFileExclusive(const std::string& path) = 0;

  // Sets the open file's last-write time from a DOS date and time taken as local time,
  // leaving its creation and last-access times alone. False when the system refused.
  virtual bool SetLastWriteTime(TFileStream& file, uint32_t dosDateTime) = 0;

  // Sets Windows attribute bits on a closed file (on POSIX only the read-only bit has a
  // meaning). False when the system refused.
  virtual bool SetAttributes(const std::string& path, int32_t attributes) = 0;
};

// The platform's own file system, shared by every caller of the process.
TFileSystem& PlatformFileSystem();

// The room that writing `path` may use: the drive's free bytes plus the size of an existing
// file of that name, which would be replaced. Measuring that file raises EInOutError when it
// cannot be opened for writing (read-only, held open by another program).
int64_t RoomFor(TFileSystem& fileSystem, const std::string& path);

// Windows file attribute bits that the backends interpret.
inline constexpr int32_t kFileAttributeReadOnly = 0x01;
inline constexpr int32_t kFileAttributeDirectory = 0x10;
inline constexpr int32_t kFileAttributeArchive = 0x20;
