// The archiver's commands; each takes the arguments after its own name and returns the
// exit status. Failures are raised as TToolError or TUsageError (tools/archiver/CommandLine.h)
// or as the archive component's own exceptions.
#pragma once

#include <string>
#include <vector>

#include "tools/archiver/CommandLine.h"

int CreateCommand(TToolContext& context, const std::vector<std::string>& args);
int ListCommand(TToolContext& context, const std::vector<std::string>& args);
int TestCommand(TToolContext& context, const std::vector<std::string>& args);
int ExtractCommand(TToolContext& context, const std::vector<std::string>& args);
