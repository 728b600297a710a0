// Whole files and folders on the host, in the host's own path syntax (on Windows, "\"
// separated paths as the engine writes them). Reading or writing a file that cannot be
// opened throws std::runtime_error naming it.
#pragma once

#include <string>
#include <vector>

#include "tests/support/Bytes.h"

std::string ReadWholeFile(const std::string& path);
Bytes ReadFileBytes(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& content);
bool IsFile(const std::string& path);
bool IsDirectory(const std::string& path);
// Makes one folder whose parent exists; a folder already there is fine.
void MakeDirectory(const std::string& path);
// The names of the entries of a folder, sorted, without "." and "..".
std::vector<std::string> FolderEntries(const std::string& path);
