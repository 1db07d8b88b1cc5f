#include "cli/check_command.h"

#include <filesystem>
#include <optional>
#include <ostream>
#include <string_view>

#include "cli/reports.h"
#include "cli_version.h"
#include "edi/numbers.h"
#include "model/import_session.h"

namespace loggrevy {
namespace {

constexpr std::string_view kProgram = "loggrevy-check";

constexpr std::string_view kUsage =
    "Usage: loggrevy-check [--json] [--year YYYY] [--utc-offset MINUTES] [--decimal-separator C] FILE...\n"
    "\n"
    "Reads and checks EDI (REG1TEST) contest logs as the desktop program does and\n"
    "prints what the judge would see. Writes no files.\n"
    "\n"
    "  --json                 print a JSON document instead of the report\n"
    "  --year YYYY            expected contest year (default: the current year)\n"
    "  --utc-offset MINUTES   local time minus UTC for the 28 MHz sections\n"
    "                         (default: the offset in force now)\n"
    "  --decimal-separator C  separator of the claimed best-DX distance and of\n"
    "                         distances in the report (default: the locale's)\n"
    "  --jobs N               read and check on N threads (default: the cores)\n"
    "  -h, --help             show this help\n"
    "  --version              show the version\n"
    "\n"
    "Exit status: 0 when every file was imported, 2 for bad usage.\n";

struct TOptions {
  bool Json = false;
  TReportSettings Settings{};
  std::size_t Jobs = 1;
  std::vector<std::string> Files;
};

// A usage error: the message for standard error.
struct TUsageError {
  std::string Message;
};

std::optional<int32_t> ParseYear(std::string_view text) {
  if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  return ParseInt32(text);
}

std::optional<int32_t> ParseOffset(std::string_view text) {
  if (text.empty() || text.front() == ' ') return std::nullopt;
  const auto value = ParseInt32(text);
  if (!value || *value < -24 * 60 || *value > 24 * 60) return std::nullopt;
  return value;
}

std::optional<char> ParseSeparator(std::string_view text) {
  if (text.size() != 1) return std::nullopt;
  const char c = text[0];
  // A separator that could be read as part of a number makes no sense.
  if ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == 'e' || c == 'E' || static_cast<unsigned char>(c) <= ' ' ||
      static_cast<unsigned char>(c) >= 0x7F) {
    return std::nullopt;
  }
  return c;
}

std::optional<std::size_t> ParseJobs(std::string_view text) {
  const auto value = ParseYear(text);  // up to four digits
  if (!value || *value < 1 || *value > 1024) return std::nullopt;
  return static_cast<std::size_t>(*value);
}

// Parses the arguments; returns the exit status when the command ends here
// (help, version), throws TUsageError for bad usage.
std::optional<int> ParseArguments(const std::vector<std::string>& args, const TSystemDefaults& defaults,
                                  TOptions& options, std::ostream& out) {
  options.Settings = {defaults.Year, defaults.UtcOffsetMinutes, defaults.DecimalSeparator};
  options.Jobs = defaults.Jobs;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      options.Files.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (arg == "-h" || arg == "--help") {
      out << kUsage;
      return kExitOk;
    }
    if (arg == "--version") {
      out << kProgram << ' ' << LOGGREVY_VERSION << '\n';
      return kExitOk;
    }
    if (arg == "--json") {
      options.Json = true;
      continue;
    }
    // Options with a value: "--name value" or "--name=value".
    std::string name = arg;
    std::optional<std::string> value;
    if (const std::size_t equals = arg.find('='); equals != std::string::npos) {
      name = arg.substr(0, equals);
      value = arg.substr(equals + 1);
    }
    if (name == "--jobs") {
      if (!value) {
        if (i + 1 >= args.size()) throw TUsageError{"option '--jobs' needs a value"};
        value = args[++i];
      }
      const auto jobs = ParseJobs(*value);
      if (!jobs) throw TUsageError{"--jobs takes a number of threads from 1 to 1024, not '" + *value + "'"};
      options.Jobs = *jobs;
      continue;
    }
    if (name != "--year" && name != "--utc-offset" && name != "--decimal-separator") {
      throw TUsageError{"unknown option '" + arg + "'"};
    }
    if (!value) {
      if (i + 1 >= args.size()) throw TUsageError{"option '" + name + "' needs a value"};
      value = args[++i];
    }
    if (name == "--year") {
      const auto year = ParseYear(*value);
      if (!year) throw TUsageError{"--year takes a year of up to four digits, not '" + *value + "'"};
      options.Settings.Year = *year;
    } else if (name == "--utc-offset") {
      const auto offset = ParseOffset(*value);
      if (!offset) throw TUsageError{"--utc-offset takes minutes from -1440 to 1440, not '" + *value + "'"};
      options.Settings.UtcOffsetMinutes = *offset;
    } else {
      const auto separator = ParseSeparator(*value);
      if (!separator)
        throw TUsageError{"--decimal-separator takes one character such as ',' or '.', not '" + *value + "'"};
      options.Settings.DecimalSeparator = *separator;
    }
  }
  if (options.Files.empty()) throw TUsageError{"no FILE given"};
  return std::nullopt;
}

}  // namespace

int RunCheckCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    const TSystemDefaults& defaults) {
  TOptions options;
  try {
    if (const auto status = ParseArguments(args, defaults, options, out)) return *status;
  } catch (const TUsageError& error) {
    err << kProgram << ": " << error.Message << " (try --help)\n";
    return kExitUsage;
  }

  // Folders are left out, as when they are dropped on the desktop program.
  std::vector<std::string> files;
  for (const std::string& file : options.Files) {
    std::error_code error;
    if (std::filesystem::is_directory(file, error)) {
      err << kProgram << ": skipping folder " << file << '\n';
    } else {
      files.push_back(file);
    }
  }

  TImportSession session({options.Settings.DecimalSeparator, options.Settings.UtcOffsetMinutes});
  session.ImportFiles(files, options.Settings.Year, {}, options.Jobs);
  if (options.Json) {
    WriteJsonReport(out, session, options.Settings, options.Jobs);
  } else {
    WriteTextReport(out, session, options.Settings, options.Jobs);
  }
  return kExitOk;
}

}  // namespace loggrevy
