// loggrevy: the judge's desktop program. Files named on the command line are
// imported at start (a review file opened), so a file manager can open .edi
// and .loggrevy files with it.

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QScreen>
#include <QTimer>
#include <QTreeWidget>

#include <iostream>
#include <memory>

#include "core/platform.h"
#include "model/import_session.h"
#include "ui/about.h"
#include "ui/check_report_window.h"
#include "ui/command_line.h"
#include "ui/crosscheck_window.h"
#include "ui/edi_text.h"
#include "ui/file_chooser.h"
#include "ui/fonts.h"
#include "ui/import_view.h"
#include "ui/import_window.h"
#include "ui/qt_translation.h"
#include "ui/results_window.h"
#include "ui/season_window.h"
#include "ui/review_desk.h"

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

// For the screenshot script: one window of the cross-check of the batch, with
// the log named by select (or the first one) chosen in it; the main window
// goes to the bottom right corner, out of the way.
void ShowCrossCheckWindow(loggrevy::TfrmImport& main, const QString& which, const QString& select) {
  using namespace loggrevy;
  QTreeWidget& outline = main.Outline();
  QTreeWidgetItem* logItem = nullptr;
  for (QTreeWidgetItemIterator it(&outline); *it != nullptr && logItem == nullptr; ++it) {
    const bool isLog = (*it)->parent() != nullptr && (*it)->childCount() == 0;
    if (isLog && (select.isEmpty() || (*it)->text(0) == select)) logItem = *it;
  }
  if (logItem == nullptr) return;
  QTreeWidgetItem* contestItem = logItem;
  while (contestItem->parent() != nullptr) contestItem = contestItem->parent();
  outline.setCurrentItem(contestItem);
  const TOutlineNode* contest = main.CurrentNode();
  outline.setCurrentItem(logItem);
  TOutlineNode* logNode = main.CurrentNode();
  if (contest == nullptr || logNode == nullptr || logNode->Log() == nullptr) return;

  const QRect screen = main.screen()->geometry();
  main.move(screen.right() + 1 - main.width(), screen.bottom() + 1 - main.height());
  QWidget* shown = nullptr;
  TfrmCrossCheck* check = main.OpenCrossCheck(*contest);
  if (which == QStringLiteral("crosscheck") || which == QStringLiteral("unconfirmed")) {
    check->SelectLog(logNode->Log());
    if (which == QStringLiteral("unconfirmed")) {
      check->findChild<QCheckBox*>(QStringLiteral("chkUnconfirmedOnly"))->setChecked(true);
    }
    shown = check;
  } else if (which == QStringLiteral("export") || which == QStringLiteral("print")) {
    // The results list with the save or the print dialog open over it.
    check->hide();
    TfrmResults* results = main.OpenResults(*contest);
    shown = results;
    QTimer::singleShot(500, results, [results, which] {
      if (which == QStringLiteral("export")) {
        results->ExportExcel();
      } else {
        results->Print();
      }
    });
  } else {
    check->hide();
    if (which == QStringLiteral("results")) shown = main.OpenResults(*contest);
    if (which == QStringLiteral("report")) shown = main.OpenCheckReport(*logNode->Log());
    if (which == QStringLiteral("logview")) shown = &main.ImportView();
    if (which == QStringLiteral("season")) shown = main.OpenSeason();
  }
  if (shown != nullptr) {
    shown->move(screen.left(), screen.top());
    shown->show();
    shown->raise();
  }
}

// Where the recovery copies of unsaved reviews are kept.
QString RecoveryFolder() {
  QString state = qEnvironmentVariable("XDG_STATE_HOME");
  if (state.isEmpty() || !QDir::isAbsolutePath(state)) state = QDir::homePath() + QStringLiteral("/.local/state");
  return state + QStringLiteral("/loggrevy");
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
  main.Review().SetRecoveryFolder(RecoveryFolder());
  main.Review().OfferRecovery();

  if (!line.Files.isEmpty()) main.ImportFiles(line.Files);
  if (line.ShowViewers || line.ShowAbout) ShowEverything(main, about, line.ShowAbout, line.Select);
  if (!line.ShowCrossCheck.isEmpty()) ShowCrossCheckWindow(main, line.ShowCrossCheck, line.Select);
  return QApplication::exec();
}
