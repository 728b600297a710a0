#include "tools/archiver/Archiver.h"

#include <ostream>

#include "toolkit/Exception.h"
#include "tools/archiver/Commands.h"

namespace {

constexpr char kProgram[] = "archiver";

struct TCommand {
  const char* name;
  int (*run)(TToolContext&, const std::vector<std::string>&);
};
constexpr TCommand kCommands[] = {
    {"create", CreateCommand},
    {"list", ListCommand},
    {"test", TestCommand},
    {"extract", ExtractCommand},
};

bool AsksForHelp(const std::vector<std::string>& args) {
  for (const auto& arg : args) {
    if (arg == "--") return false;
    if (arg == "--help" || arg == "-h") return true;
  }
  return false;
}

}  // namespace

int RunArchiver(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                bool errIsTerminal) {
  TToolContext context{out, err, errIsTerminal, false};
  if (!args.empty() && (AsksForHelp(args) || args[0] == "help")) {
    out << UsageText();
    return kExitSuccess;
  }
  try {
    if (args.empty()) throw TUsageError("no command given");
    for (const auto& command : kCommands) {
      if (args[0] == command.name) {
        return command.run(context, std::vector<std::string>(args.begin() + 1, args.end()));
      }
    }
    throw TUsageError("unknown command \"" + args[0] + "\"");
  } catch (const TUsageError& e) {
    err << kProgram << ": " << e.what() << "\n"
        << "Try \"" << kProgram << " --help\" for the usage.\n";
    return kExitUsage;
  } catch (const TToolError& e) {
    err << kProgram << ": " << e.what() << "\n";
    return kExitFailure;
  } catch (const Exception& e) {
    err << kProgram << ": " << e.Message() << "\n";
    return kExitFailure;
  } catch (const std::exception& e) {
    err << kProgram << ": " << e.what() << "\n";
    return kExitFailure;
  }
}
