#include "fuzz/ConfinedFileSystem.h"

#include "toolkit/Exception.h"

namespace {
constexpr uint32_t kAccessDenied = 5;
}  // namespace

TConfinedFileSystem::TConfinedFileSystem(std::string root, int64_t freeBytes)
    : real_(PlatformFileSystem()), root_(std::move(root)), freeBytes_(freeBytes) {
  if (root_.empty() || root_.back() != '/') root_ += '/';
}

bool TConfinedFileSystem::Inside(const std::string& path) const {
  // Both separators are folder separators on POSIX; no NUL may shorten the path the
  // system sees, and no ".." may climb out, whatever follows it.
  if (path.find('\0') != std::string::npos) return false;
  std::string host = path;
  for (char& c : host) {
    if (c == '\\') c = '/';
  }
  if (host.size() <= root_.size() || host.compare(0, root_.size(), root_) != 0) return false;
  size_t start = root_.size();
  while (start <= host.size()) {
    size_t end = host.find('/', start);
    if (end == std::string::npos) end = host.size();
    if (host.compare(start, end - start, "..") == 0 && end - start == 2) return false;
    start = end + 1;
  }
  return true;
}

const char* TConfinedFileSystem::PathDelimiters() const {
  return real_.PathDelimiters();
}

int64_t TConfinedFileSystem::DriveFreeSpace(const std::string&) {
  return freeBytes_;
}

bool TConfinedFileSystem::FileExists(const std::string& path) {
  return Inside(path) && real_.FileExists(path);
}

// A query changes nothing, wherever it points; the engine asks about the root's own
// ancestors on its way up.
bool TConfinedFileSystem::DirectoryExists(const std::string& path) {
  return real_.DirectoryExists(path);
}

int64_t TConfinedFileSystem::OpenedFileSize(const std::string& path) {
  if (!Inside(path)) {
    ++refused_;
    throw EInOutError(kAccessDenied);
  }
  return real_.OpenedFileSize(path);
}

void TConfinedFileSystem::MakeDirectory(const std::string& path) {
  if (!Inside(path)) {
    ++refused_;
    throw EInOutError(kAccessDenied);
  }
  real_.MakeDirectory(path);
}

bool TConfinedFileSystem::CopyReplacing(const std::string& from, const std::string& to) {
  if (Inside(from) && Inside(to)) return real_.CopyReplacing(from, to);
  ++refused_;
  return false;
}

bool TConfinedFileSystem::MoveReplacing(const std::string& from, const std::string& to) {
  if (Inside(from) && Inside(to)) return real_.MoveReplacing(from, to);
  ++refused_;
  return false;
}

bool TConfinedFileSystem::RemoveFile(const std::string& path) {
  if (Inside(path)) return real_.RemoveFile(path);
  ++refused_;
  return false;
}

std::unique_ptr<TFileStream> TConfinedFileSystem::CreateFileExclusive(const std::string& path) {
  if (!Inside(path)) {
    ++refused_;
    throw EFCreateError(path);
  }
  return real_.CreateFileExclusive(path);
}

bool TConfinedFileSystem::SetLastWriteTime(TFileStream& file, uint32_t dosDateTime) {
  return real_.SetLastWriteTime(file, dosDateTime);
}

bool TConfinedFileSystem::SetAttributes(const std::string& path, int32_t attributes) {
  if (!Inside(path)) {
    ++refused_;
    return false;
  }
  return real_.SetAttributes(path, attributes);
}
