// What every command shares: exit codes, the output channels, usage errors and failures.
#pragma once

#include <cstdint>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// The text of --help.
std::string UsageText();

// The names that create's --method takes, in the order offered, the default first:
// "lzh, rle or none" with between ", " and beforeLast " or ".
std::string MethodChoices(const std::string& between, const std::string& beforeLast);

struct TToolContext {
  std::ostream& out;
  std::ostream& err;
  bool errIsTerminal = false;
  bool verbose = false;
};

// A command line that does not fit the usage: reported with a hint, exit status 2.
class TUsageError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// A failure to report on one line, exit status 1.
class TToolError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// Splits a command's arguments into options and operands. Options take their value as
// the next argument or after "="; "--" ends the options.
class TArguments {
public:
  TArguments(const std::vector<std::string>& args, const std::vector<std::string>& valueOptions,
             const std::vector<std::string>& flagOptions);
  bool Has(const std::string& option) const;
  std::string Value(const std::string& option, const std::string& fallback) const;
  const std::vector<std::string>& Operands() const { return operands_; }

private:
  std::vector<std::pair<std::string, std::string>> options_;
  std::vector<std::string> operands_;
};

// "YYYY-MM-DDTHH:MM:SS" as a DOS date and time; TUsageError when malformed or outside the
// years 1980..2107 that the layout can hold.
uint32_t ParseMtime(const std::string& text);

// "0x20" (hexadecimal, "0x" optional) as a member's attribute byte; TUsageError otherwise.
uint16_t ParseAttributes(const std::string& text);

// The DOS date and time as "YYYY-MM-DD HH:MM:SS".
std::string FormatDosDateTime(uint32_t packed);

// The host's reason for the last failed C library call.
std::string SystemReason();

// A control character: a byte below 0x20, or 0x7F. No Windows file name holds one, and a
// terminal takes some of them, with what follows, for a command.
bool IsControlCharacter(char c);

// A member name as the archiver prints it: each control character as "\xHH" (two lower-case
// hexadecimal digits) and a "\" followed by "x" as "\x5c", so that every "\x" printed stands
// for one byte while a folder separator "\" prints as itself.
std::string PrintableName(const std::string& name);
