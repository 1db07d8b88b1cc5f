#include "cli/check_command.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>
#include <string_view>

#include "cli/reports.h"
#include "cli/standings_output.h"
#include "cli_version.h"
#include "core/cp1252.h"
#include "crosscheck/crosscheck.h"
#include "edi/numbers.h"
#include "model/import_session.h"
#include "results/check_report_files.h"
#include "results/results_xlsx.h"
#include "results/standings.h"
#include "model/review_file.h"
#include "results/writers.h"

namespace loggrevy {
namespace {

constexpr std::string_view kProgram = "loggrevy-check";

constexpr std::string_view kUsage =
    "Usage: loggrevy-check [--json] [--year YYYY] [--utc-offset MINUTES] [--decimal-separator C]\n"
    "                      [--crosscheck] [--time-tolerance MINUTES] [--compare-serials]\n"
    "                      [--apply-crosscheck] [--results FORMAT] [--output FILE] [--ubn DIR]\n"
    "                      [--jobs N] [--standings FORMAT] [--best N] [--normalise]\n"
    "                      [--review REVIEW] [--save-review REVIEW] FILE...\n"
    "\n"
    "Reads and checks EDI (REG1TEST) contest logs as the desktop program does and\n"
    "prints what the judge would see. Never writes to the logs.\n"
    "\n"
    "  --json                 print a JSON document instead of the report\n"
    "  --year YYYY            expected contest year (default: the current year)\n"
    "  --utc-offset MINUTES   local time minus UTC for the 28 MHz sections\n"
    "                         (default: the offset in force now)\n"
    "  --decimal-separator C  separator of the claimed best-DX distance and of\n"
    "                         distances in the report (default: the locale's)\n"
    "  --crosscheck           cross-check the logs of each contest against each\n"
    "                         other: a verdict for every QSO\n"
    "  --time-tolerance MINUTES\n"
    "                         largest time difference of a confirmed QSO, 0 to\n"
    "                         1440 (default 10); implies --crosscheck\n"
    "  --compare-serials      compare serial numbers in every QSO, not only in the\n"
    "                         Kvartalstest; implies --crosscheck\n"
    "  --apply-crosscheck     judge every QSO the cross-check finds wrong as\n"
    "                         invalid before reporting; implies --crosscheck\n"
    "  --results FORMAT       print the results lists instead of the report:\n"
    "                         text, csv, html or json; xlsx writes an Excel\n"
    "                         workbook, a sheet per contest, to --output FILE\n"
    "  --standings FORMAT     print the year's standings of each contest series and\n"
    "                         the club competition instead of the report: text,\n"
    "                         csv, html, json or xlsx (xlsx needs --output)\n"
    "  --best N               count each station's N best contests, 0 to 99, 0 for\n"
    "                         all (default 9); implies --standings text\n"
    "  --normalise            points per contest as 1000 for the winner and the rest\n"
    "                         in proportion; implies --standings text\n"
    "  --output FILE          the file --results xlsx or --standings xlsx writes\n"
    "                         (not a terminal)\n"
    "  --ubn DIR              also write a check report per station to DIR/CALL.txt;\n"
    "                         DIR is created and must not exist\n"
    "  --jobs N               read and check on N threads (default: the cores)\n"
    "  --review REVIEW        import the logs of the review file REVIEW first and\n"
    "                         restore its judgements and accepted figures; FILE\n"
    "                         arguments may then be left out\n"
    "  --save-review REVIEW   write the batch as it stands after the other options\n"
    "                         to the new review file REVIEW (not one that exists)\n"
    "  -h, --help             show this help\n"
    "  --version              show the version\n"
    "\n"
    "Exit status: 0 when every file was imported, 1 when writing the report or a\n"
    "file failed, 2 for bad usage or a review file that cannot be read.\n";

enum class TResultsFormat { None, Text, Csv, Html, Json, Xlsx };

struct TOptions {
  bool Json = false;
  TReportSettings Settings{};
  bool CrossCheck = false;
  TCrossCheckOptions CrossCheckOptions;
  bool Apply = false;
  TResultsFormat Results = TResultsFormat::None;
  TResultsFormat Standings = TResultsFormat::None;
  TStandingsOptions StandingsOptions;
  std::optional<std::string> UbnDir;
  std::optional<std::string> Output;
  std::size_t Jobs = 1;
  std::vector<std::string> Files;
  std::optional<std::string> Review;
  std::optional<std::string> SaveReview;
  // The cross-check settings the command line names; the others come from
  // the review file when there is one.
  bool ToleranceGiven = false;
  bool SerialsGiven = false;
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

std::optional<int32_t> ParseTolerance(std::string_view text) {
  if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  const auto value = ParseInt32(text);
  if (!value || *value > 1440) return std::nullopt;
  return value;
}

std::optional<TResultsFormat> ParseResultsFormat(std::string_view text) {
  if (text == "text") return TResultsFormat::Text;
  if (text == "csv") return TResultsFormat::Csv;
  if (text == "html") return TResultsFormat::Html;
  if (text == "json") return TResultsFormat::Json;
  if (text == "xlsx") return TResultsFormat::Xlsx;
  return std::nullopt;
}

std::optional<int32_t> ParseBest(std::string_view text) {
  const auto value = ParseYear(text);  // up to four digits
  if (!value || *value > 99) return std::nullopt;
  return value;
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
    if (arg == "--crosscheck") {
      options.CrossCheck = true;
      continue;
    }
    if (arg == "--compare-serials") {
      options.CrossCheck = options.CrossCheckOptions.CompareSerials = true;
      options.SerialsGiven = true;
      continue;
    }
    if (arg == "--apply-crosscheck") {
      options.CrossCheck = options.Apply = true;
      continue;
    }
    if (arg == "--normalise") {
      options.StandingsOptions.Normalise = true;
      if (options.Standings == TResultsFormat::None) options.Standings = TResultsFormat::Text;
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
    if (name != "--year" && name != "--utc-offset" && name != "--decimal-separator" && name != "--time-tolerance" &&
        name != "--results" && name != "--ubn" && name != "--standings" && name != "--best" && name != "--output" &&
        name != "--review" && name != "--save-review") {
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
    } else if (name == "--time-tolerance") {
      const auto tolerance = ParseTolerance(*value);
      if (!tolerance) throw TUsageError{"--time-tolerance takes minutes from 0 to 1440, not '" + *value + "'"};
      options.CrossCheck = true;
      options.CrossCheckOptions.TimeToleranceMinutes = *tolerance;
      options.ToleranceGiven = true;
    } else if (name == "--results") {
      const auto format = ParseResultsFormat(*value);
      if (!format) throw TUsageError{"--results takes text, csv, html, json or xlsx, not '" + *value + "'"};
      options.Results = *format;
    } else if (name == "--standings") {
      const auto format = ParseResultsFormat(*value);
      if (!format) throw TUsageError{"--standings takes text, csv, html, json or xlsx, not '" + *value + "'"};
      options.Standings = *format;
    } else if (name == "--best") {
      const auto best = ParseBest(*value);
      if (!best) throw TUsageError{"--best takes a whole number from 0 to 99, not '" + *value + "'"};
      options.StandingsOptions.Best = *best;
      if (options.Standings == TResultsFormat::None) options.Standings = TResultsFormat::Text;
    } else if (name == "--output") {
      if (value->empty()) throw TUsageError{"--output takes the name of a file"};
      options.Output = *value;
    } else if (name == "--ubn") {
      if (value->empty()) throw TUsageError{"--ubn takes the name of a folder to create"};
      std::error_code error;
      if (std::filesystem::symlink_status(*value, error).type() != std::filesystem::file_type::not_found) {
        throw TUsageError{"--ubn: '" + *value + "' exists already; name a folder that does not exist"};
      }
      options.UbnDir = *value;
    } else if (name == "--review") {
      if (value->empty()) throw TUsageError{"--review takes the name of a review file"};
      options.Review = *value;
    } else if (name == "--save-review") {
      if (value->empty()) throw TUsageError{"--save-review takes the name of a review file to create"};
      std::error_code error;
      if (std::filesystem::symlink_status(*value, error).type() != std::filesystem::file_type::not_found) {
        throw TUsageError{"--save-review: '" + *value + "' exists already; name a file that does not exist"};
      }
      options.SaveReview = *value;
    } else {
      const auto separator = ParseSeparator(*value);
      if (!separator)
        throw TUsageError{"--decimal-separator takes one character such as ',' or '.', not '" + *value + "'"};
      options.Settings.DecimalSeparator = *separator;
    }
  }
  if (options.Files.empty() && !options.Review) throw TUsageError{"no FILE given"};
  if (options.Standings == TResultsFormat::Xlsx && !options.Output)
    throw TUsageError{"--standings xlsx needs --output FILE"};
  if (options.Results == TResultsFormat::Xlsx || options.Standings == TResultsFormat::Xlsx) {
    // A workbook is no text for a terminal or a pipe: it goes to a file.
    if (!options.Output) throw TUsageError{"--results xlsx writes a file: name it with --output FILE"};
    struct stat target {};
    if (::stat(options.Output->c_str(), &target) == 0 && S_ISCHR(target.st_mode)) {
      throw TUsageError{"--output: '" + *options.Output + "' is a terminal or a device; name a file"};
    }
    for (const std::string& file : options.Files) {
      std::error_code error;
      if (std::filesystem::equivalent(*options.Output, file, error)) {
        throw TUsageError{"--output: '" + *options.Output + "' is one of the logs; logs are never written"};
      }
    }
  } else if (options.Output) {
    throw TUsageError{"--output is for --results xlsx and --standings xlsx"};
  }
  return std::nullopt;
}

// Writes all of text to a new file (never an existing one); the reason on failure.
std::optional<std::string> WriteNewFile(const std::string& path, const std::string& text) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return path + ": " + std::strerror(errno);
  std::size_t written = 0;
  while (written < text.size()) {
    const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int error = n < 0 ? errno : EIO;
      ::close(fd);
      return path + ": " + std::strerror(error);
    }
    written += static_cast<std::size_t>(n);
  }
  if (::close(fd) != 0) return path + ": " + std::strerror(errno);
  return std::nullopt;
}

// One check report per station in a new folder.
std::optional<std::string> WriteCheckReports(const std::string& dir, const TCrossCheck& crossCheck) {
  const std::map<std::string, std::string> reports = CheckReportFiles(crossCheck);
  if (::mkdir(dir.c_str(), 0755) != 0) return dir + ": " + std::strerror(errno);
  for (const auto& [name, text] : reports) {
    if (auto failure = WriteNewFile(dir + '/' + name, text)) return failure;
  }
  return std::nullopt;
}

// The system's reason why path cannot be opened for reading, or nullopt when it
// can. The reader itself only records that it failed; trying once more here,
// with the reader's flags, gives the user the plain reason.
std::optional<std::string> OpenFailure(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::strerror(errno);
  ::close(fd);
  return std::nullopt;
}

// One line per problem of an opened review: what, the log, and the judgement.
void WriteReviewProblem(std::ostream& err, const TReviewProblem& problem) {
  err << kProgram << ": " << Cp1252ToUtf8(ReviewProblemText(problem.Kind)) << ": " << problem.Path;
  if (problem.Kind == TReviewProblemKind::NotRestored) {
    err << ", QSO " << problem.Judgement.Qso << " ("
        << (problem.Judgement.Penalty == kPenaltyDuplicate ? "-1000%" : "-100%") << ')';
  }
  err << '\n';
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

  // Folders are left out, as when they are dropped on the desktop program. A
  // path that cannot be opened is still imported (as an unreadable log).
  std::vector<std::string> files;
  for (const std::string& file : options.Files) {
    std::error_code error;
    if (std::filesystem::is_directory(file, error)) {
      err << kProgram << ": skipping folder " << file << '\n';
      continue;
    }
    if (const auto reason = OpenFailure(file))
      err << kProgram << ": kan inte öppna " << file << ": " << *reason << '\n';
    files.push_back(file);
  }

  TImportSession session({options.Settings.DecimalSeparator, options.Settings.UtcOffsetMinutes});
  TReviewKept kept;
  if (options.Review) {
    const TReviewRead read = ReadReviewFile(*options.Review, options.Jobs);
    if (read.Error != TReviewError::None) {
      err << kProgram << ": " << *options.Review << ": " << Cp1252ToUtf8(ReviewErrorText(read.Error));
      if (!read.Reason.empty()) err << ": " << read.Reason;
      err << '\n';
      return kExitUsage;
    }
    if (!options.ToleranceGiven) {
      options.CrossCheckOptions.TimeToleranceMinutes = read.Review.CrossCheck.TimeToleranceMinutes;
    }
    if (!options.SerialsGiven) options.CrossCheckOptions.CompareSerials = read.Review.CrossCheck.CompareSerials;
    TReviewOpened opened = OpenReview(session, read.Review, *options.Review, options.Jobs);
    for (const TReviewProblem& problem : opened.Problems) WriteReviewProblem(err, problem);
    kept = std::move(opened.Kept);
  }
  const std::size_t reviewLogs = session.Logs().size();
  session.ImportFiles(files, options.Settings.Year, {}, options.Jobs);

  std::unique_ptr<TCrossCheck> crossCheck;
  if (options.CrossCheck || options.UbnDir) {
    crossCheck = std::make_unique<TCrossCheck>(session.Logs(), options.CrossCheckOptions, options.Jobs);
  }
  if (options.Apply) {
    for (std::size_t log = 0; log < session.Logs().size(); ++log) crossCheck->Apply(log);
  }
  std::vector<TResultList> results;
  if (options.Results != TResultsFormat::None || options.Standings != TResultsFormat::None) {
    // Without a judge every readable log takes the checker's figures; the
    // logs of a review keep the figures the judge accepted.
    for (std::size_t i = reviewLogs; i < session.Logs().size(); ++i) {
      if (session.Logs()[i]->GetEdiStatus() < 3) session.Logs()[i]->UseOwnSum();
    }
    // The figures after show only in the results lists and the check reports:
    // the standings alone need not make them again for every log.
    const bool standingsOnly = options.Results == TResultsFormat::None && !options.Json &&
                               options.Standings != TResultsFormat::Json && !options.UbnDir;
    if (crossCheck && !standingsOnly) {
      for (std::size_t log = 0; log < session.Logs().size(); ++log) crossCheck->UpdateFiguresAfter(log);
    }
    results = BuildResults(session, options.CrossCheck ? crossCheck.get() : nullptr, options.Settings.DecimalSeparator);
  }

  std::vector<TSeriesStandings> standings;
  std::string standingsJson;
  if (options.Standings != TResultsFormat::None) standings = BuildStandings(results, options.StandingsOptions);

  TReportExtras extras;
  if (options.CrossCheck) extras.CrossCheck = crossCheck.get();
  if (options.Results != TResultsFormat::None || options.Standings != TResultsFormat::None) extras.Results = &results;
  if (options.Json || options.Results == TResultsFormat::Json || options.Standings == TResultsFormat::Json) {
    if (options.Standings != TResultsFormat::None) {
      standingsJson = StandingsJson(standings);
      extras.Standings = &standingsJson;
    }
    WriteJsonReport(out, session, options.Settings, extras, options.Jobs);
  } else if (options.Standings == TResultsFormat::Xlsx) {
    // The workbook goes to its file only.
  } else if (options.Standings == TResultsFormat::Text) {
    WriteStandingsText(out, standings);
  } else if (options.Standings == TResultsFormat::Csv) {
    WriteStandingsCsv(out, standings);
  } else if (options.Standings == TResultsFormat::Html) {
    WriteStandingsHtml(out, standings);
  } else if (options.Results == TResultsFormat::Text) {
    WriteResultsText(out, results);
  } else if (options.Results == TResultsFormat::Csv) {
    WriteResultsCsv(out, results);
  } else if (options.Results == TResultsFormat::Html) {
    WriteResultsHtml(out, results);
  } else if (options.Results == TResultsFormat::Xlsx) {
    if (const auto failure = WriteResultsXlsx(*options.Output, results)) {
      err << kProgram << ": write error: " << *failure << '\n';
      return kExitWriteError;
    }
  } else {
    WriteTextReport(out, session, options.Settings, extras, options.Jobs);
  }
  errno = 0;
  out.flush();
  if (!out) {
    const int error = errno;
    err << kProgram << ": write error: standard output";
    if (error != 0) err << ": " << std::strerror(error);
    err << '\n';
    return kExitWriteError;
  }
  if (options.Standings == TResultsFormat::Xlsx) {
    if (const auto failure = WriteStandingsFile(*options.Output, standings)) {
      err << kProgram << ": write error: " << *failure << '\n';
      return kExitWriteError;
    }
  }
  if (options.UbnDir) {
    if (const auto failure = WriteCheckReports(*options.UbnDir, *crossCheck)) {
      err << kProgram << ": write error: " << *failure << '\n';
      return kExitWriteError;
    }
  }
  if (options.SaveReview) {
    const TReviewCrossCheck settings{options.CrossCheckOptions.TimeToleranceMinutes,
                                     options.CrossCheckOptions.CompareSerials};
    const TReview review = CaptureReview(session, *options.SaveReview, settings, kept, nullptr,
                                         defaults.NowNs != 0 ? std::optional(defaults.NowNs) : std::nullopt);
    std::optional<std::string> failure;
    std::error_code error;
    if (std::filesystem::symlink_status(*options.SaveReview, error).type() != std::filesystem::file_type::not_found) {
      failure = *options.SaveReview + ": exists already";
    } else {
      failure = WriteReviewFile(*options.SaveReview, review);
    }
    if (failure) {
      err << kProgram << ": write error: " << *failure << '\n';
      return kExitWriteError;
    }
  }
  return kExitOk;
}

}  // namespace loggrevy
