// The archiver's command line: create, list, test and extract archives.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// Runs one command line (without the program name) and returns the exit status: 0 done,
// 1 failed, 2 the command line was wrong. errIsTerminal enables progress lines on err.
int RunArchiver(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                bool errIsTerminal);
