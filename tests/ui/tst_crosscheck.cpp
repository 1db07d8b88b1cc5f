// The cross-check in the desktop program, driven on the sample NAC evening:
// the outline's context menu, the cross-check window, the verdict column of
// the log view, applying proposals, the results list and its exports, the
// check report, saving and printing through injected dialogs.

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <sstream>

#include "results/writers.h"
#include "ui/check_report_window.h"
#include "ui/crosscheck_hub.h"
#include "ui/crosscheck_window.h"
#include "ui/fonts.h"
#include "ui/import_view.h"
#include "ui/qtext.h"
#include "ui/results_window.h"
#include "ui/review_desk.h"
#include "ui/save_dialogs.h"
#include "ui/xstrgrid.h"
#include "ui_test_support.h"

using namespace loggrevy;
using namespace loggrevy::test;

namespace {

constexpr int32_t kEveningYear = 2026;
const QString kContest = QStringLiteral("20261201 : VHF");

QStringList Evening() {
  const QDir dir(QStringLiteral(LOGGREVY_SAMPLES_DIR "/nac-evening"));
  QStringList paths;
  for (const QString& name : dir.entryList({QStringLiteral("*.edi")}, QDir::Files, QDir::Name)) {
    paths.append(dir.filePath(name));
  }
  return paths;
}

// Answers the save and print dialogs as the test tells it, and keeps what the
// windows said.
class TFakeDialogs final : public IDialogs {
 public:
  QString SavePath;
  bool Overwrite = true;
  QString PdfPath;
  int OverwriteQuestions = 0;
  QStringList Warnings;

  QString ChooseSaveFile(QWidget*, const QString&, const QString&, const QString&) override { return SavePath; }
  bool AskOverwrite(QWidget*, const QString&) override {
    ++OverwriteQuestions;
    return Overwrite;
  }
  void ShowWarning(QWidget*, const QString&, const QString& text) override { Warnings.append(text); }
  bool ChoosePrinter(QWidget*, QPrinter& printer) override {
    if (PdfPath.isEmpty()) return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(PdfPath);
    return true;
  }
  bool Confirm(QWidget*, const QString&, const QString&) override { return true; }
};

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString Cell(const QTableView& table, int row, int column) {
  return table.model()->index(row, column).data().toString();
}

int RowOf(const QTableView& table, int column, const QString& text) {
  for (int row = 0; row < table.model()->rowCount(); ++row) {
    if (Cell(table, row, column) == text) return row;
  }
  return -1;
}

int ColumnOf(const QTableView& table, const QString& caption) {
  for (int column = 0; column < table.model()->columnCount(); ++column) {
    if (table.model()->headerData(column, Qt::Horizontal).toString() == caption) return column;
  }
  return -1;
}

// The batch checker's output for the evening.
QByteArray BatchChecker(const QStringList& options, const QStringList& files) {
  QProcess process;
  process.start(QStringLiteral(LOGGREVY_CHECK_BINARY),
                QStringList{QStringLiteral("--year"), QStringLiteral("2026"), QStringLiteral("--decimal-separator"),
                            QStringLiteral(","), QStringLiteral("--utc-offset"), QStringLiteral("60")} +
                    options + files);
  if (!process.waitForFinished(60000)) return {};
  return process.readAllStandardOutput();
}

}  // namespace

class TestCrossCheck : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void init();
  void cleanup();

  void contextMenuOffersTheCrossCheckPerNode();
  void crossCheckWindowShowsCountsAndVerdicts();
  void applyingLowersTheTotalEverywhere();
  void judgementInLogViewChangesFiguresAfter();
  void optionsRunTheCrossCheckAgain();
  void doubleClickShowsTheQsoInTheLogView();
  void exportsEqualTheBatchChecker();
  void savingAsksAndRefuses();
  void printingToPdfHoldsCaptionAndFirstStation();
  void largeBatchShowsProgress();
  void closingWithEveryWindowOpenIsClean();

 private:
  void Select(const QStringList& path);
  QLineEdit* Edit(const char* name) const { return Window_->findChild<QLineEdit*>(QString::fromLatin1(name)); }
  const TOutlineNode& ContestNode() const;
  TLog* LogOf(const char* call) const;
  TfrmCrossCheck* OpenCrossCheck();

  std::unique_ptr<TfrmImport> Window_;
  TFakeDialogs* Dialogs_ = nullptr;
  QTemporaryDir Temp_;
};

void TestCrossCheck::initTestCase() {
  InstallFontSubstitutes();
  if (Evening().size() != 9) QSKIP("the sample evening is missing");
}

void TestCrossCheck::init() {
  Window_ =
      std::make_unique<TfrmImport>(std::make_unique<TImportSession>(kSettings),
                                   std::make_unique<TFakeChooser>(QStringList{}, nullptr), [] { return kEveningYear; });
  auto dialogs = std::make_unique<TFakeDialogs>();
  Dialogs_ = dialogs.get();
  Window_->SetDialogs(std::move(dialogs));
  Window_->show();
  QVERIFY(QTest::qWaitForWindowExposed(Window_.get()));
  Window_->ImportFiles(Evening());
}

void TestCrossCheck::cleanup() { Window_.reset(); }

void TestCrossCheck::Select(const QStringList& path) {
  QTreeWidgetItem* item = FindItem(Window_->Outline(), path);
  QVERIFY2(item != nullptr, qPrintable(path.join(QLatin1Char('/'))));
  Window_->Outline().setCurrentItem(item);
}

const TOutlineNode& TestCrossCheck::ContestNode() const {
  for (const auto& contest : Window_->Session().Contests()) {
    if (contest->Text == ToCp1252(kContest)) return *contest;
  }
  qFatal("no contest node");
}

TLog* TestCrossCheck::LogOf(const char* call) const {
  for (TLog* log : Window_->Session().Logs()) {
    if (log->Edi().PCall == call) return log;
  }
  return nullptr;
}

TfrmCrossCheck* TestCrossCheck::OpenCrossCheck() {
  Select({kContest});
  Window_->findChild<QAction*>(QStringLiteral("actCrossCheck"))->trigger();
  return Window_->findChild<TfrmCrossCheck*>(QStringLiteral("frmCrossCheck"));
}

void TestCrossCheck::contextMenuOffersTheCrossCheckPerNode() {
  // Nothing of the cross-check shows before it is asked for.
  QCOMPARE(Window_->CrossCheck().Current(), nullptr);
  Select({kContest, QStringLiteral("SM0PLN")});
  QCOMPARE(Window_->ImportView().Grid().ColCount(), 10);
  QCOMPARE(Window_->ImportView().maximumWidth(), 640);

  struct TExpected {
    const char* Name;
    const char* Text;
    QKeySequence Keys;
  };
  const TExpected actions[] = {{"actCrossCheck", "Korskontrollera testen", QKeySequence(Qt::CTRL | Qt::Key_K)},
                               {"actResults", "Resultatlista…", QKeySequence(Qt::CTRL | Qt::Key_R)},
                               {"actCheckReport", "Kontrollrapport…", QKeySequence(Qt::CTRL | Qt::Key_U)}};
  QMenu& menu = Window_->OutlineMenu();
  for (const TExpected& e : actions) {
    auto* action = Window_->findChild<QAction*>(QString::fromLatin1(e.Name));
    QVERIFY(action != nullptr);
    QCOMPARE(action->text(), QString::fromUtf8(e.Text));
    QCOMPARE(action->shortcut(), e.Keys);
    QVERIFY(action->isShortcutVisibleInContextMenu());
    QVERIFY(menu.actions().contains(action));
  }
  // The review's entries follow, on every node.
  const QList<QAction*> review = Window_->findChild<QMenu*>(QStringLiteral("mnuReview"))->actions();
  const auto offered = [&] {
    Window_->PrepareOutlineMenu();
    QStringList texts;
    for (QAction* action : menu.actions()) {
      if (review.contains(action)) continue;
      if (action->isVisible() && action->isEnabled() && !action->isSeparator()) texts.append(action->text());
    }
    return texts;
  };
  QCOMPARE(offered(), QStringList{QStringLiteral("Kontrollrapport…")});
  Select({kContest});
  QCOMPARE(offered(), (QStringList{QStringLiteral("Korskontrollera testen"), QStringLiteral("Resultatlista…"),
                                   QStringLiteral("Årsresultat…")}));
  // The unreadable log's node is no contest with a results list.
  Select({QStringLiteral("Ej läsbar EDI-fil")});
  QCOMPARE(offered(), (QStringList{QStringLiteral("Korskontrollera testen"), QStringLiteral("Årsresultat…")}));

  // A right click on the contest's node pops the menu up, and its entry opens
  // the window of the contest.
  QTreeWidget& outline = Window_->Outline();
  Select({QStringLiteral("Ej läsbar EDI-fil")});
  const QPoint at = outline.visualItemRect(FindItem(outline, {kContest})).center();
  QContextMenuEvent click(QContextMenuEvent::Mouse, at, outline.viewport()->mapToGlobal(at));
  QApplication::sendEvent(outline.viewport(), &click);
  QTRY_VERIFY(menu.isVisible());
  QCOMPARE(outline.currentItem()->text(0), kContest);
  QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(menu.actions().at(0)).center());
  QTRY_VERIFY(!menu.isVisible());
  auto* opened = Window_->findChild<TfrmCrossCheck*>(QStringLiteral("frmCrossCheck"));
  QVERIFY(opened != nullptr && opened->isVisible());
  opened->close();

  // The shortcuts open the windows of the current node.
  Select({kContest});
  QTest::keyClick(&Window_->Outline(), Qt::Key_R, Qt::ControlModifier);
  auto* results = Window_->findChild<TfrmResults*>(QStringLiteral("frmResults"));
  QVERIFY(results != nullptr);
  QCOMPARE(results->windowTitle(), QStringLiteral("Resultatlista - 20261201 : VHF"));
  QTest::keyClick(&Window_->Outline(), Qt::Key_K, Qt::ControlModifier);
  auto* check = Window_->findChild<TfrmCrossCheck*>(QStringLiteral("frmCrossCheck"));
  QVERIFY(check != nullptr && check->isVisible());
  QCOMPARE(check->windowTitle(), QStringLiteral("Korskontroll - 20261201 : VHF"));
  Select({kContest, QStringLiteral("SM7HJM")});
  QTest::keyClick(&Window_->Outline(), Qt::Key_U, Qt::ControlModifier);
  auto* report = Window_->findChild<TfrmCheckReport*>(QStringLiteral("frmCheckReport"));
  QVERIFY(report != nullptr && report->isVisible());
  QCOMPARE(report->windowTitle(), QStringLiteral("Kontrollrapport - SM7HJM"));
  QVERIFY(report->Text().toPlainText().contains(
      QStringLiteral("QSO 6 2007 SM2NRE: Fel lokator, rätt lokator KP15CR (SM2NRE 2008 SM7HJM JO65SQ)")));
}

void TestCrossCheck::crossCheckWindowShowsCountsAndVerdicts() {
  TfrmCrossCheck* window = OpenCrossCheck();
  QVERIFY(window != nullptr);
  QVERIFY(window->isVisible());
  const QTableView& logs = window->LogTable();
  QCOMPARE(logs.model()->rowCount(), 8);  // the unreadable log is filed elsewhere

  // Calls with their counts of confirmed, confirmed with the partner's time
  // off, busted call, time, not in log, no log, own call, unverifiable;
  // clock; share of their partners' QSOs lost with them; total after.
  struct TExpected {
    const char* Call;
    int Confirmed, PartnerTime, BustedCall, Time, NotInLog, NoLog, OwnCall, Unverifiable;
    const char* Clock;
    const char* Lost;
    const char* After;
  };
  const TExpected expected[] = {
      {"OH1TSK", 0, 0, 0, 7, 0, 0, 0, 0, "+60", "0 %", "0"},
      {"SM0PLN", 5, 1, 1, 0, 0, 1, 0, 0, "0", "14 %", "5881"},
      {"SM4RTL", 5, 2, 0, 0, 0, 0, 1, 1, "-1", "29 %", "6081"},
      {"SM5KVA", 5, 1, 0, 0, 1, 1, 0, 0, "-1", "17 %", "5853"},
  };
  for (const TExpected& e : expected) {
    const int row = RowOf(logs, 0, QString::fromLatin1(e.Call));
    QVERIFY2(row >= 0, e.Call);
    QCOMPARE(Cell(logs, row, ColumnOf(logs, QStringLiteral("Status"))), QStringLiteral("Med"));
    QCOMPARE(Cell(logs, row, ColumnOf(logs, QStringLiteral("Band"))), QStringLiteral("144MHZ"));
    QCOMPARE(Cell(logs, row, ColumnOf(logs, QStringLiteral("Bekr."))).toInt(), e.Confirmed);
    QCOMPARE(Cell(logs, row, ColumnOf(logs, QStringLiteral("Bekr. motst. tid"))).toInt(), e.PartnerTime);
    QCOMPARE(Cell(logs, row, ColumnOf(logs, QStringLiteral("Förlorad andel"))), QString::fromLatin1(e.Lost));
    QCOMPARE(Cell(logs, row, ColumnOf(logs, QStringLiteral("Fel signal"))).toInt(), e.BustedCall);
    QCOMPARE(Cell(logs, row, ColumnOf(logs, QStringLiteral("Tidsfel"))).toInt(), e.Time);
    QCOMPARE(Cell(logs, row, ColumnOf(logs, QStringLiteral("Ej i logg"))).toInt(), e.NotInLog);
    QCOMPARE(Cell(logs, row, ColumnOf(logs, QStringLiteral("Ingen logg"))).toInt(), e.NoLog);
    QCOMPARE(Cell(logs, row, ColumnOf(logs, QStringLiteral("Egen"))).toInt(), e.OwnCall);
    QCOMPARE(Cell(logs, row, ColumnOf(logs, QStringLiteral("Ej kontr."))).toInt(), e.Unverifiable);
    QCOMPARE(Cell(logs, row, ColumnOf(logs, QStringLiteral("Klocka"))), QString::fromLatin1(e.Clock));
    QCOMPARE(Cell(logs, row, ColumnOf(logs, QStringLiteral("Efter korskontroll"))), QString::fromLatin1(e.After));
  }
  QCOMPARE(
      logs.model()->headerData(ColumnOf(logs, QStringLiteral("Ej i logg")), Qt::Horizontal, Qt::ToolTipRole).toString(),
      QStringLiteral("Finns ej i motstationens logg"));

  // Selecting a log lists its QSOs with their verdicts and the partner's record.
  window->SelectLog(LogOf("SM7HJM"));
  const QTableView& qsos = window->QsoTable();
  QCOMPARE(qsos.model()->rowCount(), 8);
  const int text = ColumnOf(qsos, QStringLiteral("Korskontroll"));
  const int other = ColumnOf(qsos, QStringLiteral("Motstationens QSO"));
  QCOMPARE(Cell(qsos, 0, text), QStringLiteral("Bekräftad"));
  QCOMPARE(Cell(qsos, 5, 0), QStringLiteral("6"));
  QCOMPARE(Cell(qsos, 5, ColumnOf(qsos, QStringLiteral("Signal"))), QStringLiteral("SM2NRE"));
  QCOMPARE(Cell(qsos, 5, text), QStringLiteral("Fel lokator, rätt lokator KP15CR"));
  QCOMPARE(Cell(qsos, 5, other), QStringLiteral("SM2NRE 2008 SM7HJM JO65SQ"));
  QCOMPARE(Cell(qsos, 6, text), QStringLiteral("Bekräftad, motstationens tid avviker 60 min"));
  QCOMPARE(Cell(qsos, 6, ColumnOf(qsos, QStringLiteral("Δ min"))), QStringLiteral("-60"));
  QCOMPARE(Cell(qsos, 7, text), QStringLiteral("Motstationens logg kunde inte läsas"));
  QCOMPARE(Cell(qsos, 7, other), QString());
  const auto colour = [&](int row) {
    return qsos.model()->index(row, text).data(Qt::BackgroundRole).value<QBrush>().color();
  };
  QCOMPARE(colour(0), VerdictColour(TVerdict::Confirmed));
  QCOMPARE(colour(5), VerdictColour(TVerdict::BustedLocator));
  QCOMPARE(colour(7), VerdictColour(TVerdict::PartnerUnreadable));
  QCOMPARE(colour(6), VerdictColour(TVerdict::Confirmed));
  QVERIFY(colour(0) != colour(5) && colour(5) != colour(7) && colour(0) != colour(7));

  // Sorted by the share lost, the logs that cost their partners most come
  // first (SM3DBK and SM4RTL, 2 of 7, in their order).
  const_cast<QTableView&>(logs).sortByColumn(ColumnOf(logs, QStringLiteral("Förlorad andel")), Qt::DescendingOrder);
  QCOMPARE(Cell(logs, 0, 0), QStringLiteral("SM3DBK"));
  QCOMPARE(Cell(logs, 1, 0), QStringLiteral("SM4RTL"));
  QCOMPARE(Cell(logs, 7, 0), QStringLiteral("OH1TSK"));
  QCOMPARE(window->SelectedLog(), LogOf("SM7HJM"));
}

void TestCrossCheck::applyingLowersTheTotalEverywhere() {
  TfrmResults* results = Window_->OpenResults(ContestNode());
  const QTableView& list = results->Table();
  const int total = ColumnOf(list, QStringLiteral("Erhållen totalpoäng"));
  const int after = ColumnOf(list, QStringLiteral("Efter korskontroll"));
  const auto listed = [&](int column) { return Cell(list, RowOf(list, 1, QStringLiteral("SM0PLN")), column); };
  QCOMPARE(listed(total), QStringLiteral("6772"));
  QCOMPARE(listed(after), QString());

  Select({kContest, QStringLiteral("SM0PLN")});
  Window_->findChild<QPushButton*>(QStringLiteral("btnViewLog"))->click();
  TfrmImportView& view = Window_->ImportView();
  QVERIFY(view.isVisible());
  QCOMPARE(Edit("txtScore")->text(), QStringLiteral("6772"));

  TfrmCrossCheck* window = OpenCrossCheck();
  QCOMPARE(listed(after), QStringLiteral("5881"));
  Select({kContest, QStringLiteral("SM0PLN")});
  // The log view got its verdict column, coloured, and widened by it.
  TXStrGrid& grid = view.Grid();
  QCOMPARE(grid.ColCount(), 11);
  QCOMPARE(grid.Cell(10, 0), QStringLiteral("Korskontroll"));
  QCOMPARE(grid.Cell(10, 1), QStringLiteral("Bekräftad"));
  QCOMPARE(grid.Cell(10, 3), QStringLiteral("Fel signal, rätt signal SM6WQX"));
  QCOMPARE(grid.Cell(10, 8), QStringLiteral("Ingen logg från motstationen"));
  QVERIFY(view.width() > 640);
  QCOMPARE(grid.CellStyle(1, 10, {}).Brush.color(), VerdictColour(TVerdict::Confirmed));
  QCOMPARE(grid.CellStyle(3, 10, {}).Brush.color(), VerdictColour(TVerdict::BustedCall));
  QCOMPARE(grid.CellStyle(8, 10, {}).Brush.color(), VerdictColour(TVerdict::NoLog));
  QCOMPARE(grid.CellStyle(7, 10, {}).Brush.color(), VerdictColour(TVerdict::ConfirmedPartnerTime));
  QCOMPARE(grid.Cell(9, 3), QString());

  window->SelectLog(LogOf("SM0PLN"));
  window->findChild<QPushButton*>(QStringLiteral("btnApply"))->click();
  // The page, the list, the log view and the window follow at once.
  QCOMPARE(Edit("txtScore")->text(), QStringLiteral("5881"));
  QCOMPARE(Edit("txtDxScore")->text(), QStringLiteral("2381"));
  QCOMPARE(listed(total), QStringLiteral("5881"));
  QCOMPARE(grid.Cell(9, 3), QStringLiteral("-100%"));
  QCOMPARE(grid.Cell(9, 7), QString());
  QCOMPARE(grid.Cell(9, 8), QString());
  QCOMPARE(grid.Cell(8, 3), QStringLiteral("0"));
  const QTableView& logs = window->LogTable();
  const int row = RowOf(logs, 0, QStringLiteral("SM0PLN"));
  QCOMPARE(Cell(logs, row, ColumnOf(logs, QStringLiteral("Erhållen totalpoäng"))), QStringLiteral("5881"));
  QCOMPARE(Cell(window->QsoTable(), 2, ColumnOf(window->QsoTable(), QStringLiteral("Bedömn."))),
           QStringLiteral("-100%"));

  // The judge's own judgement stands, and a second apply changes nothing.
  view.grdQSOsMouseDown(2, 3);
  view.PopupMenu1Popup();
  view.PopupMenu().findChild<QAction*>(QStringLiteral("itmQSODuplicate"))->trigger();
  QCOMPARE(grid.Cell(9, 3), QStringLiteral("-1000%"));
  const QString judged = Edit("txtScore")->text();
  window->findChild<QPushButton*>(QStringLiteral("btnApplyAll"))->click();
  QCOMPARE(grid.Cell(9, 3), QStringLiteral("-1000%"));
  QCOMPARE(Edit("txtScore")->text(), judged);
  QCOMPARE(listed(total), judged);
}

void TestCrossCheck::judgementInLogViewChangesFiguresAfter() {
  TfrmCrossCheck* window = OpenCrossCheck();
  TfrmResults* results = Window_->OpenResults(ContestNode());
  Select({kContest, QStringLiteral("SM5KVA")});
  TfrmImportView& view = Window_->ImportView();
  const QTableView& logs = window->LogTable();
  const int row = RowOf(logs, 0, QStringLiteral("SM5KVA"));
  const int afterColumn = ColumnOf(logs, QStringLiteral("Efter korskontroll"));
  const QTableView& list = results->Table();
  const auto listedAfter = [&] {
    return Cell(list, RowOf(list, 1, QStringLiteral("SM5KVA")), ColumnOf(list, QStringLiteral("Efter korskontroll")));
  };
  QCOMPARE(Cell(logs, row, afterColumn), QStringLiteral("5853"));
  QCOMPARE(listedAfter(), QStringLiteral("5853"));

  // QSO 1 is confirmed; the judge rules it invalid all the same.
  QCOMPARE(view.Grid().Cell(10, 1), QStringLiteral("Bekräftad"));
  view.grdQSOsMouseDown(2, 1);
  view.PopupMenu1Popup();
  view.PopupMenu().findChild<QAction*>(QStringLiteral("itmQSOInvalid"))->trigger();
  const QString after = Cell(logs, row, afterColumn);
  QVERIFY2(after.toLongLong() < 5853, qPrintable(after));
  QCOMPARE(listedAfter(), after);
  QCOMPARE(Cell(window->QsoTable(), 0, ColumnOf(window->QsoTable(), QStringLiteral("Bedömn."))), QString());
  window->SelectLog(LogOf("SM5KVA"));
  QCOMPARE(Cell(window->QsoTable(), 0, ColumnOf(window->QsoTable(), QStringLiteral("Bedömn."))),
           QStringLiteral("-100%"));
}

void TestCrossCheck::optionsRunTheCrossCheckAgain() {
  TfrmCrossCheck* window = OpenCrossCheck();
  const QTableView& logs = window->LogTable();
  const auto count = [&](const char* call, const QString& column) {
    return Cell(logs, RowOf(logs, 0, QString::fromLatin1(call)), ColumnOf(logs, column)).toInt();
  };
  auto* tolerance = window->findChild<QSpinBox*>(QStringLiteral("spnTimeTolerance"));
  QCOMPARE(tolerance->value(), 10);
  QCOMPARE(count("OH1TSK", QStringLiteral("Tidsfel")), 7);
  // With a tolerance of 61 minutes OH1TSK's clock is within it.
  tolerance->setValue(61);
  QTest::keyClick(tolerance, Qt::Key_Enter);
  QCOMPARE(Window_->CrossCheck().Options().TimeToleranceMinutes, 61);
  QCOMPARE(count("OH1TSK", QStringLiteral("Tidsfel")), 0);
  QCOMPARE(count("OH1TSK", QStringLiteral("Bekr.")), 7);

  auto* serials = window->findChild<QCheckBox*>(QStringLiteral("chkCompareSerials"));
  QCOMPARE(serials->text(), QStringLiteral("Jämför QSO-nummer"));
  serials->click();
  QVERIFY(Window_->CrossCheck().Options().CompareSerials);
  // The figures the window shows are those of a cross-check with the options.
  std::vector<TLog*> batch = Window_->Session().Logs();
  const TCrossCheck fresh(batch, {61, true});
  for (std::size_t i = 0; i < batch.size(); ++i) {
    if (fresh.BatchLog(i).Role != TBatchRole::Active) continue;
    const int row = RowOf(logs, 0, ToQString(batch[i]->Edi().PCall));
    QCOMPARE(Cell(logs, row, ColumnOf(logs, QStringLiteral("Fel nr"))).toInt(),
             fresh.Log(i).Counts[static_cast<std::size_t>(TVerdict::BustedSerial)]);
  }
}

void TestCrossCheck::doubleClickShowsTheQsoInTheLogView() {
  TfrmCrossCheck* window = OpenCrossCheck();
  window->SelectLog(LogOf("SM5KVA"));
  QTableView& qsos = window->QsoTable();
  const QRect cell = qsos.visualRect(qsos.model()->index(4, 2));
  QVERIFY(QTest::qWaitForWindowExposed(window));
  // A double click as the platform delivers it: a press, then the double click.
  QTest::mouseClick(qsos.viewport(), Qt::LeftButton, {}, cell.center());
  QTest::mouseDClick(qsos.viewport(), Qt::LeftButton, {}, cell.center());
  TfrmImportView& view = Window_->ImportView();
  QVERIFY(view.isVisible());
  QCOMPARE(view.Edi(), &LogOf("SM5KVA")->Edi());
  QCOMPARE(view.Grid().Row(), 5);
  QCOMPARE(view.Grid().Cell(10, 5), QStringLiteral("Finns ej i motstationens logg"));
  QCOMPARE(Window_->Selected(), LogOf("SM5KVA"));
  QCOMPARE(Edit("txtUsedCall")->text(), QStringLiteral("SM5KVA"));
}

void TestCrossCheck::exportsEqualTheBatchChecker() {
  // The desktop keeps the judge's figures; applying the proposals to every log
  // adopts the checker's, as --results does for every readable log.
  TfrmCrossCheck* window = OpenCrossCheck();
  window->findChild<QPushButton*>(QStringLiteral("btnApplyAll"))->click();
  TfrmResults* results = Window_->OpenResults(ContestNode());
  const QStringList batch = Evening();
  const QStringList options{QStringLiteral("--crosscheck"), QStringLiteral("--apply-crosscheck"),
                            QStringLiteral("--results")};
  struct TExport {
    const char* Button;
    const char* Format;
  };
  for (const TExport& e : {TExport{"btnExportCsv", "csv"}, TExport{"btnExportHtml", "html"}}) {
    Dialogs_->SavePath = Temp_.filePath(QStringLiteral("resultat.") + QString::fromLatin1(e.Format));
    results->findChild<QPushButton*>(QString::fromLatin1(e.Button))->click();
    const QByteArray expected = BatchChecker(options + QStringList{QString::fromLatin1(e.Format)}, batch);
    QVERIFY(!expected.isEmpty());
    QCOMPARE(ReadAll(Dialogs_->SavePath), expected);
  }
  QVERIFY(Dialogs_->Warnings.isEmpty());
  QCOMPARE(Dialogs_->OverwriteQuestions, 0);
  QCOMPARE(Cell(results->Table(), 0, 1), QStringLiteral("SM2NRE"));
  QCOMPARE(Cell(results->Table(), 0, 10), QStringLiteral("SM7HJM 1209,5 km"));

  // Sorted by a column, and back.
  results->Table().sortByColumn(1, Qt::AscendingOrder);
  QCOMPARE(Cell(results->Table(), 0, 1), QStringLiteral("OH1TSK"));
  results->Table().sortByColumn(8, Qt::AscendingOrder);
  QCOMPARE(Cell(results->Table(), 0, 1), QStringLiteral("OH1TSK"));
  QCOMPARE(Cell(results->Table(), 7, 1), QStringLiteral("SM2NRE"));
}

void TestCrossCheck::savingAsksAndRefuses() {
  Select({kContest, QStringLiteral("SM7HJM")});
  TfrmCheckReport* report = Window_->OpenCheckReport(*LogOf("SM7HJM"));
  QVERIFY(report != nullptr);
  auto* save = report->findChild<QPushButton*>(QStringLiteral("btnSave"));
  QCOMPARE(save->text(), QStringLiteral("Spara…"));

  // An imported file is never a target, under any of its names.
  const QString imported = Evening().at(7);
  const QByteArray before = ReadAll(imported);
  const QString link = Temp_.filePath(QStringLiteral("link.edi"));
  QVERIFY(QFile::link(imported, link));
  for (const QString& target : {imported, link}) {
    Dialogs_->Warnings.clear();
    Dialogs_->SavePath = target;
    save->click();
    QCOMPARE(Dialogs_->Warnings.size(), 1);
    QVERIFY2(Dialogs_->Warnings.at(0).contains(QStringLiteral("inläst loggfil")), qPrintable(Dialogs_->Warnings.at(0)));
    QCOMPARE(Dialogs_->OverwriteQuestions, 0);
  }
  QCOMPARE(ReadAll(imported), before);

  // An existing file only after the question.
  const QString existing = Temp_.filePath(QStringLiteral("SM7HJM.txt"));
  QFile file(existing);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write("old");
  file.close();
  Dialogs_->Warnings.clear();
  Dialogs_->SavePath = existing;
  Dialogs_->Overwrite = false;
  save->click();
  QCOMPARE(Dialogs_->OverwriteQuestions, 1);
  QCOMPARE(ReadAll(existing), QByteArray("old"));
  Dialogs_->Overwrite = true;
  save->click();
  QCOMPARE(Dialogs_->OverwriteQuestions, 2);
  // The saved report is the participant's report of the batch checker.
  const QString ubn = Temp_.filePath(QStringLiteral("ubn"));
  BatchChecker({QStringLiteral("--ubn"), ubn}, Evening());
  QCOMPARE(ReadAll(existing), ReadAll(ubn + QStringLiteral("/SM7HJM.txt")));
  QVERIFY(!ReadAll(existing).isEmpty());
  QVERIFY(Dialogs_->Warnings.isEmpty());

  // A failed write is reported.
  Dialogs_->SavePath = QStringLiteral("/nonexistent/loggrevy/SM7HJM.txt");
  save->click();
  QCOMPARE(Dialogs_->Warnings.size(), 1);
  QVERIFY2(Dialogs_->Warnings.at(0).contains(QStringLiteral("kunde inte skrivas")),
           qPrintable(Dialogs_->Warnings.at(0)));
}

void TestCrossCheck::printingToPdfHoldsCaptionAndFirstStation() {
  const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
  if (pdftotext.isEmpty()) QSKIP("pdftotext (poppler-utils) is not installed");
  const auto textOf = [&](const QString& pdf) {
    QProcess process;
    process.start(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
  };

  TfrmResults* results = Window_->OpenResults(ContestNode());
  Dialogs_->PdfPath = Temp_.filePath(QStringLiteral("resultat.pdf"));
  results->findChild<QPushButton*>(QStringLiteral("btnPrint"))->click();
  QVERIFY(Dialogs_->Warnings.isEmpty());
  const QString list = textOf(Dialogs_->PdfPath);
  QVERIFY2(list.contains(kContest), qPrintable(list));
  QVERIFY2(list.contains(QStringLiteral("SM2NRE")), qPrintable(list));
  QVERIFY2(list.contains(QStringLiteral("Erhållen")) && list.contains(QStringLiteral("totalpoäng")), qPrintable(list));

  TfrmCheckReport* report = Window_->OpenCheckReport(*LogOf("SM5KVA"));
  Dialogs_->PdfPath = Temp_.filePath(QStringLiteral("rapport.pdf"));
  report->findChild<QPushButton*>(QStringLiteral("btnPrint"))->click();
  const QString text = textOf(Dialogs_->PdfPath);
  QVERIFY2(text.contains(QStringLiteral("Kontrollrapport")), qPrintable(text));
  QVERIFY2(text.contains(QStringLiteral("SM5KVA")), qPrintable(text));
  QVERIFY2(text.contains(QStringLiteral("Finns ej i motstationens logg")), qPrintable(text));

  // Printing to an imported file is refused like saving to one.
  Dialogs_->PdfPath = Evening().at(0);
  const QByteArray before = ReadAll(Dialogs_->PdfPath);
  report->findChild<QPushButton*>(QStringLiteral("btnPrint"))->click();
  QCOMPARE(Dialogs_->Warnings.size(), 1);
  QCOMPARE(ReadAll(Dialogs_->PdfPath), before);
}

// Spots the progress dialog as it is shown.
class TShowSpy final : public QObject {
 public:
  bool Seen = false;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && watched->objectName() == QStringLiteral("dlgCrossCheckProgress")) Seen = true;
    return false;
  }
};

void TestCrossCheck::largeBatchShowsProgress() {
  // Three copies of the evening: 27 logs, the later copies replacing the earlier.
  QStringList copies;
  for (int copy = 0; copy < 3; ++copy) {
    for (const QString& path : Evening()) {
      const QString target = Temp_.filePath(QStringLiteral("%1-%2").arg(copy).arg(QFileInfo(path).fileName()));
      QFile::remove(target);
      QVERIFY(QFile::copy(path, target));
      copies.append(target);
    }
  }
  Window_->ImportFiles(copies);
  TShowSpy spy;
  qApp->installEventFilter(&spy);
  TfrmCrossCheck* window = OpenCrossCheck();
  qApp->removeEventFilter(&spy);
  QVERIFY(spy.Seen);
  QCOMPARE(Window_->CrossCheck().Current()->LogCount(), std::size_t{36});
  const QTableView& logs = window->LogTable();
  QCOMPARE(logs.model()->rowCount(), 32);
  QCOMPARE(RowOf(logs, 2, QStringLiteral("Ersatt av senare logg")), 0);
  // A new import sets the cross-check aside and runs it again afterwards.
  Window_->ImportFiles({copies.at(0)});
  QVERIFY(Window_->CrossCheck().Current() != nullptr);
  QCOMPARE(Window_->CrossCheck().Current()->LogCount(), std::size_t{36});
}

void TestCrossCheck::closingWithEveryWindowOpenIsClean() {
  Select({kContest, QStringLiteral("SM0PLN")});
  Window_->findChild<QPushButton*>(QStringLiteral("btnViewLog"))->click();
  Window_->findChild<QPushButton*>(QStringLiteral("btnViewEDI"))->click();
  OpenCrossCheck()->findChild<QPushButton*>(QStringLiteral("btnApplyAll"))->click();
  Select({kContest, QStringLiteral("SM0PLN")});
  Window_->OpenResults(ContestNode());
  Window_->OpenCheckReport(*LogOf("SM0PLN"));
  Window_->OpenCheckReport(*LogOf("SM7HJM"));
  QCOMPARE(Window_->ImportView().Grid().ColCount(), 11);
  QCoreApplication::processEvents();

  // The judgements applied are not kept.
  struct TDiscard final : IReviewDialogs {
    QString ChooseReviewToOpen(QWidget*, const QString&) override { return {}; }
    QString ChooseReviewToSave(QWidget*, const QString&) override { return {}; }
    TSaveChangesAnswer AskSaveChanges(QWidget*) override { return TSaveChangesAnswer::Discard; }
    TAddOrReplaceAnswer AskAddOrReplace(QWidget*) override { return TAddOrReplaceAnswer::Cancel; }
    bool AskRestore(QWidget*, const QString&) override { return false; }
    bool AskReadOnly(QWidget*, const QString&) override { return false; }
    void ShowMessage(QWidget*, const QString&, const QString&) override {}
  };
  Window_->Review().SetDialogs(std::make_unique<TDiscard>());
  QTest::mouseClick(Window_->findChild<QPushButton*>(QStringLiteral("btnExit")), Qt::LeftButton);
  QVERIFY(Window_->isHidden());
  QCOMPARE(Window_->findChild<TfrmCrossCheck*>(), nullptr);
  QCOMPARE(Window_->findChild<TfrmResults*>(), nullptr);
  QCOMPARE(Window_->findChild<TfrmCheckReport*>(), nullptr);
  QCOMPARE(Window_->CrossCheck().Current(), nullptr);
  QCOMPARE(Window_->ImportView().Grid().ColCount(), 10);
  // What is still asked of the main window touches nothing freed.
  Window_->PrepareOutlineMenu();
  for (QAction* action : Window_->OutlineMenu().actions()) action->trigger();
  Window_->ImportView().grab();
  QCoreApplication::processEvents();
  Window_.reset();
}

QTEST_MAIN(TestCrossCheck)
#include "tst_crosscheck.moc"
