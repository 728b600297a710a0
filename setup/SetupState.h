// What the steps of one installation share, one instance per process, created empty at
// start and never stored.
#pragma once

#include <cstdint>
#include <string>

// The destination directory exactly as typed when Continue was pressed.
extern std::string DestDir;
// DestDir with one trailing backslash; shortcut paths are built from it.
extern std::string DestDirSlash;
// The backup question was answered Yes.
extern bool BackupReplaced;
// Number of members in the embedded archive.
extern int32_t MemberCount;
// The drive letter current in the drive box before the user's latest choice; initially 0.
extern char LastDrive;

// The path with one "\" added when it has two or more characters and does not end in one;
// shorter paths come back unchanged.
std::string AppendBackslash(const std::string& path);
