// One installation as the road decided it: made when Continue is pressed on the
// destination panel, handed to the extraction window and to the shortcut writer.
#pragma once

#include <cstdint>
#include <string>

// The path with one "\" added when it has two or more characters and does not end in one;
// shorter paths come back unchanged.
std::string AppendBackslash(const std::string& path);

struct TInstallation {
  explicit TInstallation(std::string destDir)
      : DestDir(std::move(destDir)), DestDirSlash(AppendBackslash(DestDir)) {}

  // The destination directory as every step uses it: as typed, made absolute once.
  const std::string DestDir;
  // DestDir with one trailing backslash; the members', backups' and shortcut's paths start
  // with it.
  const std::string DestDirSlash;
  // The backup question was answered Yes, or left unanswered by a confirmed close.
  bool BackupReplaced = false;
  // Number of members in the embedded archive, once the extraction has listed them.
  int32_t MemberCount = 0;
};
