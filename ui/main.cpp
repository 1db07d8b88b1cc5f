// loggrevy: the judge's desktop program. Files named on the command line are
// imported at start, so a file manager can open .edi files with it.

#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <QTreeWidget>

#include <iostream>
#include <memory>

#include "core/platform.h"
#include "model/import_session.h"
#include "ui/about.h"
#include "ui/command_line.h"
#include "ui/edi_text.h"
#include "ui/file_chooser.h"
#include "ui/fonts.h"
#include "ui/import_view.h"
#include "ui/import_window.h"
#include "ui/qt_translation.h"

namespace {

// For the screenshot script: select a node (the first log unless named) and
// show the viewers (and the about box) beside the main window.
void ShowEverything(loggrevy::TfrmImport& main, QWidget& about, bool showAbout, const QString& select) {
  QTreeWidget& outline = main.Outline();
  for (QTreeWidgetItemIterator it(&outline); *it != nullptr; ++it) {
    const bool wanted =
        select.isEmpty() ? (*it)->parent() != nullptr && (*it)->childCount() == 0 : (*it)->text(0) == select;
    if (wanted) {
      outline.setCurrentItem(*it);
      break;
    }
  }
  const QRect screen = main.screen()->geometry();
  main.ImportView().move(screen.left(), screen.top());
  main.ImportView().show();
  main.EdiText().move(screen.right() + 1 - main.EdiText().width(), screen.top());
  main.EdiText().show();
  if (showAbout) {
    about.move(screen.left(), screen.bottom() + 1 - about.height());
    about.show();
  }
  main.raise();
}

}  // namespace

int main(int argc, char* argv[]) {
  loggrevy::TCommandLine line;
  if (const auto status =
          loggrevy::ParseCommandLine(loggrevy::CommandLineArguments(argc, argv), line, std::cout, std::cerr)) {
    return *status;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("loggrevy"));
  loggrevy::InstallFontSubstitutes();
  loggrevy::InstallSwedishQtTexts(app);

  const loggrevy::TLocalSettings settings{loggrevy::SystemDecimalSeparator(), loggrevy::SystemUtcOffsetMinutes()};
  loggrevy::TfrmImport main(std::make_unique<loggrevy::TImportSession>(settings),
                            std::make_unique<loggrevy::TDialogFileChooser>(), &loggrevy::SystemCurrentYear);
  loggrevy::TfrmAbout about(loggrevy::BuildVersionStrings());
  main.SetAboutBox(&about);
  main.setWindowIcon(QIcon(loggrevy::ProgramPicture()));
  main.move(main.screen()->availableGeometry().center() - main.rect().center());
  main.show();

  if (!line.Files.isEmpty()) main.ImportFiles(line.Files);
  if (line.ShowViewers || line.ShowAbout) ShowEverything(main, about, line.ShowAbout, line.Select);
  return QApplication::exec();
}
