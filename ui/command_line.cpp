#include "ui/command_line.h"

#include <QCommandLineParser>

#include <ostream>
#include <string_view>

#include "ui/import_names.h"
#include "ui/qtext.h"
#include "ui/version_info.h"

namespace loggrevy {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitUsage = 2;

constexpr std::string_view kUsage =
    "Usage: loggrevy [FILE...]\n"
    "\n"
    "The judge's desktop program for EDI (REG1TEST) contest logs. Imports the\n"
    "FILEs at start, as if chosen with \"Välj loggar\"; folders among them are\n"
    "left out, as when dropped on the window. Writes no log file: only the\n"
    "results lists and check reports the judge saves in a save dialog.\n"
    "\n"
    "  -h, --help  show this help\n"
    "  --version   show the version\n";

// The toolkit's own options, which QApplication takes from the command line
// after it has been read here.
constexpr const char* kToolkitOptionsWithValue[] = {
    "platform",    "platformpluginpath", "platformtheme", "plugin",  "qmljsdebugger", "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "session",       "display", "geometry",      "style",
    "stylesheet"};
constexpr const char* kToolkitFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

}  // namespace

QStringList CommandLineArguments(int argc, char* argv[]) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments.append(PathToQString(argv[i]));
  return arguments;
}

std::optional<int> ParseCommandLine(const QStringList& arguments, TCommandLine& line, std::ostream& out,
                                    std::ostream& err) {
  QCommandLineParser parser;
  const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
  const QCommandLineOption version(QStringLiteral("version"));
  const QCommandLineOption showViewers(QStringLiteral("show-viewers"));
  const QCommandLineOption showAbout(QStringLiteral("show-about"));
  const QCommandLineOption select(QStringLiteral("select"), QString(), QStringLiteral("node"));
  const QCommandLineOption showCrossCheck(QStringLiteral("show-crosscheck"), QString(), QStringLiteral("window"));
  parser.addOptions({help, version, showViewers, showAbout, select, showCrossCheck});
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  for (const char* name : kToolkitOptionsWithValue) {
    parser.addOption(QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("value")));
  }
  for (const char* name : kToolkitFlags) parser.addOption(QCommandLineOption(QString::fromLatin1(name)));
  if (!parser.parse(arguments)) {
    err << "loggrevy: " << parser.errorText().toStdString() << " (try --help)\n";
    return kExitUsage;
  }
  if (parser.isSet(help)) {
    out << kUsage;
    return kExitOk;
  }
  if (parser.isSet(version)) {
    out << "loggrevy " << LOGGREVY_VERSION << '\n';
    return kExitOk;
  }
  line.Files = LeaveOutFolders(parser.positionalArguments(), [&err](const QString& folder) {
    err << "loggrevy: skipping folder " << ToNativePath(folder) << '\n';
  });
  line.ShowViewers = parser.isSet(showViewers);
  line.ShowAbout = parser.isSet(showAbout);
  line.Select = parser.value(select);
  line.ShowCrossCheck = parser.value(showCrossCheck);
  return std::nullopt;
}

}  // namespace loggrevy
