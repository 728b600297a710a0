#include "tools/archiver/CommandLine.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "compress/DosDateTime.h"
#include "compress/compressor/MethodCompressors.h"

std::string MethodChoices(const std::string& between, const std::string& beforeLast) {
  std::string text;
  const size_t count = std::size(kMethodCompressors);
  for (size_t k = 0; k < count; ++k) {
    if (k > 0) text += k + 1 < count ? between : beforeLast;
    text += kMethodCompressors[k].Name;
  }
  return text;
}

std::string UsageText() {
  return "Usage: archiver COMMAND ...\n"
         "\n"
         "  archiver create OUT [--method " +
         MethodChoices("|", "|") +
         "] [--mtime YYYY-MM-DDTHH:MM:SS]\n"
         "                 [--attributes HEX] [-v] FILE...\n"
         "      Writes the archive OUT holding each FILE in the order given. A FILE given as\n"
         "      NAME=PATH is stored under NAME (folders separated by \"\\\"), otherwise under its\n"
         "      base name. --method chooses the method (default " +
         kMethodCompressors[0].Name +
         "); --mtime gives every\n"
         "      member that date instead of its file's last-write time; --attributes HEX\n"
         "      gives every member that attribute byte (0x20: archive) instead of one taken\n"
         "      from its file's permissions.\n"
         "  archiver list ARCHIVE\n"
         "      One line per member: name, sizes, ratio, method, checksum, date, header offset.\n"
         "  archiver test ARCHIVE\n"
         "      Expands every member in memory and verifies its checksum.\n"
         "  archiver extract ARCHIVE -C DIR [-v] [--keep-damaged] [NAME...]\n"
         "      Writes all members, or the named ones, below the existing folder DIR. Names\n"
         "      that would land outside DIR, or that hold a control character, are refused\n"
         "      and nothing is extracted. A member that does not expand to its size and\n"
         "      checksum is named, the file written for it removed (--keep-damaged keeps it),\n"
         "      and the exit status is 1. A member replaces an earlier file of its name only\n"
         "      once it has expanded whole, or is kept.\n"
         "  archiver --help\n"
         "\n"
         "Names are printed with each control character (bytes 0x00-0x1F and 0x7F) as \\xHH\n"
         "and with a \"\\\" that is followed by \"x\" as \\x5c.\n"
         "\n"
         "Exit status: 0 done, 1 failed, 2 wrong command line.\n";
}

TArguments::TArguments(const std::vector<std::string>& args,
                       const std::vector<std::string>& valueOptions,
                       const std::vector<std::string>& flagOptions) {
  auto known = [](const std::vector<std::string>& list, const std::string& name) {
    return std::find(list.begin(), list.end(), name) != list.end();
  };
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      operands_.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    const size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    if (known(flagOptions, name) && equals == std::string::npos) {
      options_.emplace_back(name, "");
    } else if (known(valueOptions, name)) {
      if (equals != std::string::npos) {
        options_.emplace_back(name, arg.substr(equals + 1));
      } else if (i + 1 < args.size()) {
        options_.emplace_back(name, args[++i]);
      } else {
        throw TUsageError("option " + name + " needs a value");
      }
    } else {
      throw TUsageError("unknown option " + arg);
    }
  }
}

bool TArguments::Has(const std::string& option) const {
  return std::any_of(options_.begin(), options_.end(),
                     [&](const auto& o) { return o.first == option; });
}

std::string TArguments::Value(const std::string& option, const std::string& fallback) const {
  std::string value = fallback;
  for (const auto& o : options_) {
    if (o.first == option) value = o.second;  // the last one given wins
  }
  return value;
}

uint32_t ParseMtime(const std::string& text) {
  TDosDateTime t;
  char tail = 0;
  const bool shaped =
      text.size() == 19 && std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%c", &t.Year, &t.Month,
                                       &t.Day, &t.Hour, &t.Minute, &t.Second, &tail) == 6;
  static const int kDaysInMonth[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool valid = shaped && t.Year >= 1980 && t.Year <= 2107 && t.Month >= 1 && t.Month <= 12 &&
                     t.Day >= 1 && t.Day <= kDaysInMonth[t.Month - 1] && t.Hour < 24 &&
                     t.Minute < 60 && t.Second < 60 && t.Hour >= 0 && t.Minute >= 0 &&
                     t.Second >= 0;
  if (!valid) {
    throw TUsageError("--mtime wants YYYY-MM-DDTHH:MM:SS between 1980 and 2107, not \"" + text +
                      "\"");
  }
  return PackDosDateTime(t);
}

uint16_t ParseAttributes(const std::string& text) {
  const std::string digits =
      text.rfind("0x", 0) == 0 || text.rfind("0X", 0) == 0 ? text.substr(2) : text;
  const bool shaped = !digits.empty() && digits.size() <= 2 &&
                      digits.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
  if (!shaped)
    throw TUsageError("--attributes wants one hexadecimal byte such as 0x20, not \"" + text + "\"");
  return static_cast<uint16_t>(std::stoul(digits, nullptr, 16));
}

std::string FormatDosDateTime(uint32_t packed) {
  const TDosDateTime t = UnpackDosDateTime(packed);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.Year, t.Month, t.Day, t.Hour,
                t.Minute, t.Second);
  return text;
}

std::string SystemReason() {
  return std::strerror(errno);
}

bool IsControlCharacter(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7F;
}

std::string PrintableName(const std::string& name) {
  constexpr char kHexDigits[] = "0123456789abcdef";
  std::string printable;
  for (size_t i = 0; i < name.size(); ++i) {
    const char c = name[i];
    const bool startsEscape = c == '\\' && i + 1 < name.size() && name[i + 1] == 'x';
    if (IsControlCharacter(c) || startsEscape) {
      const auto byte = static_cast<unsigned char>(c);
      printable += "\\x";
      printable += kHexDigits[byte >> 4];
      printable += kHexDigits[byte & 0x0F];
    } else {
      printable += c;
    }
  }
  return printable;
}
