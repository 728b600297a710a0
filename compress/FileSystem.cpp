#include "compress/FileSystem.h"

int64_t RoomFor(TFileSystem& fileSystem, const std::string& path) {
  int64_t room = fileSystem.DriveFreeSpace(path);
  if (fileSystem.FileExists(path)) room += fileSystem.OpenedFileSize(path);
  return room;
}
