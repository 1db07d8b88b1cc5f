#pragma once

#include <QString>
#include <QStringList>

#include <iosfwd>
#include <optional>

namespace loggrevy {

// What loggrevy's command line asks for.
struct TCommandLine {
  QStringList Files;  // imported at start; folders are left out as from a drop
  // For the screenshot script: show the viewers (and the about box) with the
  // named outline node selected.
  bool ShowViewers = false;
  bool ShowAbout = false;
  QString Select;
  // For the screenshot script: one window of the cross-check ("crosscheck",
  // "logview", "results", "report" or "season") with the named log chosen.
  QString ShowCrossCheck;
};

// The arguments as QStrings, the program name first; paths keep the bytes the
// file system gave them.
QStringList CommandLineArguments(int argc, char* argv[]);

// Reads the command line before any window exists, so that --help and
// --version answer without a display. Returns the exit status when the program
// ends here (help, version, bad usage), having written to out or err.
std::optional<int> ParseCommandLine(const QStringList& arguments, TCommandLine& line, std::ostream& out,
                                    std::ostream& err);

}  // namespace loggrevy
