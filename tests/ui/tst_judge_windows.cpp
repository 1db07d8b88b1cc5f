// What a judge does with the cross-check windows on the sample evening:
// imports and reloads after a cross-check, the confirmation of applying every
// proposal, sorting and filtering, the partner's log, Esc, the windows on a
// small and a large screen, all check reports at once and the Excel export.

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include "ui/check_report_window.h"
#include "ui/crosscheck_hub.h"
#include "ui/crosscheck_window.h"
#include "ui/fonts.h"
#include "ui/import_view.h"
#include "ui/own_windows.h"
#include "ui/qt_translation.h"
#include "ui/qtext.h"
#include "ui/results_print.h"
#include "ui/results_window.h"
#include "ui/save_dialogs.h"
#include "ui/xstrgrid.h"
#include "ui_test_support.h"

using namespace loggrevy;
using namespace loggrevy::test;

namespace {

const QString kContest = QStringLiteral("20261201 : VHF");

QString Sample(const char* name) {
  return QDir(QStringLiteral(LOGGREVY_SAMPLES_DIR "/nac-evening")).filePath(QString::fromLatin1(name));
}

// The evening but SM7HJM.
QStringList SevenLogs() {
  QStringList paths;
  for (const char* name : {"oh1tsk.edi", "sm0pln.edi", "sm2nre.edi", "sm3dbk.edi", "sm4rtl.edi", "sm5kva.edi",
                           "sm6wqx.edi", "sm7xul-avbruten.edi"}) {
    paths.append(Sample(name));
  }
  return paths;
}

class TFakeDialogs final : public IDialogs {
 public:
  QString SavePath;
  QString Folder;
  bool Answer = true;
  QStringList Questions;
  QStringList Warnings;
  QStringList Suggested;

  QString ChooseSaveFile(QWidget*, const QString&, const QString& suggested, const QString&) override {
    Suggested.append(suggested);
    return SavePath;
  }
  bool AskOverwrite(QWidget*, const QString&) override { return false; }
  void ShowWarning(QWidget*, const QString&, const QString& text) override { Warnings.append(text); }
  bool ChoosePrinter(QWidget*, QPrinter&) override { return false; }
  bool Confirm(QWidget*, const QString&, const QString& text) override {
    Questions.append(text);
    return Answer;
  }
  QString ChooseFolder(QWidget*, const QString&, const QString&) override { return Folder; }
};

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

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class TestJudgeWindows : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void init();
  void cleanup();

  void windowsFollowImportsAndReloads();
  void applyingEveryProposalAsksFirst();
  void sortingAndTheFilter();
  void partnersLogOpensAtTheOtherRecord();
  void escapeClosesTheWindows();
  void windowsFitTheScreen_data();
  void windowsFitTheScreen();
  void allCheckReportsAsTheBatchCheckerWritesThem();
  void suggestedNamesInTheFolderLastUsed();
  void excelExportIsTheBatchCheckersWorkbook();
  void printedListRepeatsItsHeaderAndWrapsNoCall();
  void dialogsSpeakSwedish();

 private:
  TLog* LogOf(const char* call) const;
  const TOutlineNode& ContestNode() const;
  TfrmCrossCheck* OpenCrossCheck();

  std::unique_ptr<TfrmImport> Window_;
  TFakeDialogs* Dialogs_ = nullptr;
  QTemporaryDir Temp_;
};

void TestJudgeWindows::initTestCase() {
  InstallFontSubstitutes();
  if (!QFileInfo::exists(Sample("sm7hjm.edi"))) QSKIP("the sample evening is missing");
}

void TestJudgeWindows::init() {
  Window_ = std::make_unique<TfrmImport>(std::make_unique<TImportSession>(kSettings),
                                         std::make_unique<TFakeChooser>(QStringList{}, nullptr), [] { return 2026; });
  auto dialogs = std::make_unique<TFakeDialogs>();
  Dialogs_ = dialogs.get();
  Window_->SetDialogs(std::move(dialogs));
  Window_->show();
  QVERIFY(QTest::qWaitForWindowExposed(Window_.get()));
  Window_->ImportFiles(SevenLogs());
}

void TestJudgeWindows::cleanup() {
  Window_.reset();
  SetScreenArea(std::nullopt);
}

TLog* TestJudgeWindows::LogOf(const char* call) const {
  for (TLog* log : Window_->Session().Logs()) {
    if (log->Edi().PCall == call) return log;
  }
  return nullptr;
}

const TOutlineNode& TestJudgeWindows::ContestNode() const {
  for (const auto& contest : Window_->Session().Contests()) {
    if (contest->Text == ToCp1252(kContest)) return *contest;
  }
  qFatal("no contest node");
}

TfrmCrossCheck* TestJudgeWindows::OpenCrossCheck() { return Window_->OpenCrossCheck(ContestNode()); }

void TestJudgeWindows::windowsFollowImportsAndReloads() {
  // The results list follows an import also before any cross-check.
  TfrmResults* results = Window_->OpenResults(ContestNode());
  Window_->ImportFiles({Sample("sm3dbk.edi")});
  QCOMPARE(results->Table().model()->rowCount(), 7);
  Window_->ImportFiles({Sample("sm7hjm.edi")});
  QCOMPARE(results->Table().model()->rowCount(), 8);
  init();
  results = Window_->OpenResults(ContestNode());
  TfrmCrossCheck* window = OpenCrossCheck();
  auto* state = window->findChild<QLabel*>(QStringLiteral("lblState"));
  QCOMPARE(state->text(), QStringLiteral("7 loggar i testen, 8 i hela inläsningen"));
  QCOMPARE(results->Table().model()->rowCount(), 7);

  // SM7HJM comes after the cross-check: every window has it at once, and
  // applying every proposal judges its QSOs too.
  const QString copy = Temp_.filePath(QStringLiteral("sm7hjm.edi"));
  QFile::remove(copy);
  QVERIFY(QFile::copy(Sample("sm7hjm.edi"), copy));
  Window_->ImportFiles({copy});
  QCOMPARE(state->text(), QStringLiteral("8 loggar i testen, 9 i hela inläsningen"));
  const QTableView& logs = window->LogTable();
  QCOMPARE(logs.model()->rowCount(), 8);
  const int qsoColumn = ColumnOf(logs, QStringLiteral("QSO"));
  QCOMPARE(Cell(logs, RowOf(logs, 0, QStringLiteral("SM7HJM")), qsoColumn), QStringLiteral("8"));
  window->findChild<QPushButton*>(QStringLiteral("btnApplyAll"))->click();
  QVERIFY(LogOf("SM7HJM")->Checker().GetPenalty(5) != kPenaltyNone);
  const QTableView& list = results->Table();
  QCOMPARE(list.model()->rowCount(), 8);
  const int listed = RowOf(list, 1, QStringLiteral("SM7HJM"));
  QCOMPARE(Cell(list, listed, ColumnOf(list, QStringLiteral("Erhållen totalpoäng"))),
           Cell(list, listed, ColumnOf(list, QStringLiteral("Efter korskontroll"))));
  QVERIFY(Cell(list, 0, 1) != QStringLiteral("SM7HJM"));
  TfrmCheckReport* report = Window_->OpenCheckReport(*LogOf("SM7HJM"));
  QVERIFY(report->Text().toPlainText().contains(QStringLiteral("Fil:      sm7hjm.edi\n")));
  QVERIFY(report->Text().toPlainText().contains(QStringLiteral("bedömd: ogiltig")));
  QCOMPARE(report->Text().lineWrapMode(), QPlainTextEdit::WidgetWidth);

  // A reload with SM2NRE's locator mended: the counts follow, with the same options.
  auto* tolerance = window->findChild<QSpinBox*>(QStringLiteral("spnTimeTolerance"));
  tolerance->setValue(61);
  QTest::keyClick(tolerance, Qt::Key_Enter);
  const int busted = ColumnOf(logs, QStringLiteral("Fel lok."));
  QCOMPARE(Cell(logs, RowOf(logs, 0, QStringLiteral("SM7HJM")), busted), QStringLiteral("1"));
  QByteArray text = ReadAll(copy);
  QVERIFY(text.contains(";SM2NRE;1;59;;59;;;KP15CS;"));
  text.replace(";SM2NRE;1;59;;59;;;KP15CS;", ";SM2NRE;1;59;;59;;;KP15CR;");
  QFile file(copy);
  QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(text);
  file.close();
  Window_->ImportFiles({copy});
  QCOMPARE(Cell(logs, RowOf(logs, 0, QStringLiteral("SM7HJM")), busted), QStringLiteral("0"));
  QCOMPARE(Window_->CrossCheck().Options().TimeToleranceMinutes, 61);
  QCOMPARE(tolerance->value(), 61);
}

void TestJudgeWindows::applyingEveryProposalAsksFirst() {
  Window_->ImportFiles({Sample("sm7hjm.edi")});
  TfrmCrossCheck* window = OpenCrossCheck();
  const auto judged = [&] {
    int count = 0;
    for (TLog* log : Window_->Session().Logs()) {
      for (std::size_t q = 0; q < log->Edi().QSOs.size(); ++q) count += log->Checker().GetPenalty(int64_t(q)) != 0;
    }
    return count;
  };
  const TCrossCheckHub::TPending pending = Window_->CrossCheck().Pending(ContestLogs(ContestNode()));
  QVERIFY(pending.Qsos > 0 && pending.Logs > 1);
  auto* apply = window->findChild<QPushButton*>(QStringLiteral("btnApplyAll"));
  Dialogs_->Answer = false;
  apply->click();
  QCOMPARE(Dialogs_->Questions.size(), 1);
  QCOMPARE(Dialogs_->Questions.at(0),
           QStringLiteral("%1 QSO i %2 av testens 8 loggar bedöms som ogiltiga (-100%), som korskontrollen föreslår. "
                          "Domarens egna bedömningar ändras inte. Tillämpa förslagen?")
               .arg(pending.Qsos)
               .arg(pending.Logs));
  QCOMPARE(judged(), 0);
  Dialogs_->Answer = true;
  apply->click();
  QCOMPARE(judged(), pending.Qsos);
  QCOMPARE(Window_->CrossCheck().Pending(ContestLogs(ContestNode())).Qsos, 0);
}

void TestJudgeWindows::sortingAndTheFilter() {
  Window_->ImportFiles({Sample("sm7hjm.edi")});
  TfrmCrossCheck* window = OpenCrossCheck();
  QTableView& logs = window->LogTable();
  logs.sortByColumn(0, Qt::DescendingOrder);
  QCOMPARE(Cell(logs, 0, 0), QStringLiteral("SM7HJM"));
  const int total = ColumnOf(logs, QStringLiteral("Erhållen totalpoäng"));
  logs.sortByColumn(total, Qt::AscendingOrder);
  for (int row = 1; row < logs.model()->rowCount(); ++row) {
    QVERIFY(Cell(logs, row - 1, total).toLongLong() <= Cell(logs, row, total).toLongLong());
  }
  // The selection is of the log on the row, however the rows are sorted.
  logs.selectRow(2);
  QCOMPARE(ToQString(window->SelectedLog()->Edi().PCall), Cell(logs, 2, 0));

  window->SelectLog(LogOf("SM7HJM"));
  QTableView& qsos = window->QsoTable();
  const int verdict = ColumnOf(qsos, QStringLiteral("Korskontroll"));
  QCOMPARE(qsos.model()->rowCount(), 8);
  qsos.sortByColumn(ColumnOf(qsos, QStringLiteral("Signal")), Qt::AscendingOrder);
  for (int row = 1; row < qsos.model()->rowCount(); ++row) QVERIFY(Cell(qsos, row - 1, 2) <= Cell(qsos, row, 2));
  auto* box = window->findChild<QCheckBox*>(QStringLiteral("chkUnconfirmedOnly"));
  QCOMPARE(box->text(), QStringLiteral("Visa bara QSO som inte är bekräftade"));
  box->click();
  QCOMPARE(qsos.model()->rowCount(), 3);
  for (int row = 0; row < 3; ++row) QVERIFY(Cell(qsos, row, verdict) != QStringLiteral("Bekräftad"));
  // The filter stays while the judge moves from log to log.
  window->SelectLog(LogOf("SM0PLN"));
  for (int row = 0; row < qsos.model()->rowCount(); ++row)
    QVERIFY(Cell(qsos, row, verdict) != QStringLiteral("Bekräftad"));
  box->click();
  QCOMPARE(qsos.model()->rowCount(), static_cast<int>(LogOf("SM0PLN")->Edi().QSOs.size()));
}

void TestJudgeWindows::partnersLogOpensAtTheOtherRecord() {
  Window_->ImportFiles({Sample("sm7hjm.edi")});
  TfrmCrossCheck* window = OpenCrossCheck();
  window->SelectLog(LogOf("SM7HJM"));
  auto* open = window->findChild<QPushButton*>(QStringLiteral("btnOpenPartner"));
  QCOMPARE(open->text(), QStringLiteral("Öppna motstationens logg"));
  window->SelectQso(7);  // the partner's log is unreadable: no record to open
  QVERIFY(!open->isEnabled());
  window->SelectQso(5);  // SM2NRE's record 2008 SM7HJM JO65SQ
  QVERIFY(open->isEnabled());
  open->click();
  TfrmImportView& view = Window_->ImportView();
  QVERIFY(view.isVisible());
  QCOMPARE(view.Edi(), &LogOf("SM2NRE")->Edi());
  const int row = view.Grid().Row();
  QCOMPARE(LogOf("SM2NRE")->Edi().QSOs.at(std::size_t(row - 1)).Call.View(), std::string_view("SM7HJM"));
  QCOMPARE(LogOf("SM2NRE")->Edi().QSOs.at(std::size_t(row - 1)).Time.View(), std::string_view("2008"));
  QCOMPARE(Window_->Selected(), LogOf("SM2NRE"));
}

void TestJudgeWindows::escapeClosesTheWindows() {
  QList<QWidget*> windows{OpenCrossCheck(), Window_->OpenResults(ContestNode()),
                          Window_->OpenCheckReport(*LogOf("SM0PLN"))};
  for (QWidget* window : windows) {
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QWidget* focus = window->findChild<QTableView*>();
    if (focus == nullptr) focus = window->findChild<QPlainTextEdit*>();
    focus->setFocus();
    QTest::keyClick(focus, Qt::Key_Escape);
    QVERIFY2(!window->isVisible(), qPrintable(window->objectName()));
  }
  QVERIFY(Window_->isVisible());
}

void TestJudgeWindows::windowsFitTheScreen_data() {
  QTest::addColumn<QRect>("area");
  QTest::newRow("1024x768") << QRect(0, 0, 1024, 768 - 40);
  QTest::newRow("1600x1000") << QRect(0, 0, 1600, 1000 - 40);
}

void TestJudgeWindows::windowsFitTheScreen() {
  QFETCH(QRect, area);
  SetScreenArea(area);
  Window_->move(area.right() - 700, area.bottom() - 480);
  QList<QWidget*> windows{OpenCrossCheck(), Window_->OpenResults(ContestNode()),
                          Window_->OpenCheckReport(*LogOf("SM0PLN"))};
  for (QWidget* window : windows) {
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QVERIFY2(area.contains(window->frameGeometry()), qPrintable(window->objectName()));
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
      const QRect at(button->mapTo(window, QPoint(0, 0)), button->size());
      QVERIFY2(button->isVisible() && window->rect().contains(at), qPrintable(button->objectName()));
    }
  }
  // On the large screen the cross-check window shows its columns, unsqueezed.
  if (area.width() >= 1600) QVERIFY(windows.at(0)->width() > 1200);
}

void TestJudgeWindows::allCheckReportsAsTheBatchCheckerWritesThem() {
  Window_->ImportFiles({Sample("sm7hjm.edi")});
  TfrmCrossCheck* window = OpenCrossCheck();
  auto* save = window->findChild<QPushButton*>(QStringLiteral("btnSaveReports"));
  QCOMPARE(save->text(), QStringLiteral("Spara alla kontrollrapporter…"));
  Dialogs_->Folder = Temp_.filePath(QStringLiteral("rapporter"));
  QVERIFY(QDir().mkpath(Dialogs_->Folder));
  save->click();
  QVERIFY(Dialogs_->Warnings.isEmpty());

  const QString ubn = Temp_.filePath(QStringLiteral("ubn"));
  QProcess process;
  QStringList args{QStringLiteral("--year"), QStringLiteral("2026"), QStringLiteral("--ubn"), ubn};
  process.start(QStringLiteral(LOGGREVY_CHECK_BINARY), args + SevenLogs() + QStringList{Sample("sm7hjm.edi")});
  QVERIFY(process.waitForFinished(60000));
  const QStringList names = QDir(ubn).entryList(QDir::Files, QDir::Name);
  QCOMPARE(names.size(), 9);
  QCOMPARE(QDir(Dialogs_->Folder).entryList(QDir::Files, QDir::Name), names);
  for (const QString& name : names) {
    QCOMPARE(ReadAll(QDir(Dialogs_->Folder).filePath(name)), ReadAll(QDir(ubn).filePath(name)));
  }
  // Nothing is overwritten: a second save into the folder writes nothing.
  const QString one = QDir(Dialogs_->Folder).filePath(names.at(0));
  QFile file(one);
  QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write("domarens anteckning");
  file.close();
  save->click();
  QCOMPARE(Dialogs_->Warnings.size(), 1);
  QCOMPARE(ReadAll(one), QByteArray("domarens anteckning"));
}

void TestJudgeWindows::suggestedNamesInTheFolderLastUsed() {
  TfrmResults* results = Window_->OpenResults(ContestNode());
  Dialogs_->SavePath = Temp_.filePath(QStringLiteral("lista.csv"));
  results->ExportCsv();
  results->ExportHtml();
  QCOMPARE(Dialogs_->Suggested.size(), 2);
  QCOMPARE(QFileInfo(Dialogs_->Suggested.at(0)).fileName(), QStringLiteral("Resultatlista 2026-12-01 VHF.csv"));
  // The second question starts in the folder of the first answer.
  QCOMPARE(Dialogs_->Suggested.at(1), Temp_.filePath(QStringLiteral("Resultatlista 2026-12-01 VHF.html")));
  QCOMPARE(SuggestedFileName(QStringLiteral("Kontrollrapport"), QStringLiteral("SM7HJM/P"), QStringLiteral("pdf")),
           QStringLiteral("Kontrollrapport SM7HJM P.pdf"));
}

void TestJudgeWindows::excelExportIsTheBatchCheckersWorkbook() {
  const QString unzip = QStandardPaths::findExecutable(QStringLiteral("unzip"));
  if (unzip.isEmpty()) QSKIP("unzip is not installed");
  const auto sheet = [&](const QString& book) {
    QProcess process;
    process.start(unzip, {QStringLiteral("-p"), book, QStringLiteral("xl/worksheets/sheet1.xml"),
                          QStringLiteral("xl/sharedStrings.xml"), QStringLiteral("xl/workbook.xml")});
    process.waitForFinished(60000);
    return process.readAllStandardOutput();
  };
  Window_->ImportFiles({Sample("sm7hjm.edi")});
  Dialogs_->Answer = true;
  OpenCrossCheck()->findChild<QPushButton*>(QStringLiteral("btnApplyAll"))->click();
  TfrmResults* results = Window_->OpenResults(ContestNode());
  auto* excel = results->findChild<QPushButton*>(QStringLiteral("btnExportExcel"));
  QCOMPARE(excel->text(), QStringLiteral("Exportera Excel…"));
  Dialogs_->SavePath = Temp_.filePath(QStringLiteral("resultat.xlsx"));
  excel->click();
  QVERIFY(Dialogs_->Warnings.isEmpty());
  QCOMPARE(QFileInfo(Dialogs_->Suggested.last()).fileName(), QStringLiteral("Resultatlista 2026-12-01 VHF.xlsx"));

  const QString expected = Temp_.filePath(QStringLiteral("batch.xlsx"));
  QProcess process;
  process.start(QStringLiteral(LOGGREVY_CHECK_BINARY),
                QStringList{QStringLiteral("--year"), QStringLiteral("2026"), QStringLiteral("--decimal-separator"),
                            QStringLiteral(","), QStringLiteral("--apply-crosscheck"), QStringLiteral("--results"),
                            QStringLiteral("xlsx"), QStringLiteral("--output"), expected} +
                    SevenLogs() + QStringList{Sample("sm7hjm.edi")});
  QVERIFY(process.waitForFinished(60000));
  const QByteArray made = sheet(Dialogs_->SavePath);
  QVERIFY(made.contains("<sheet name=\"20261201 VHF\""));
  QCOMPARE(made, sheet(expected));
}

void TestJudgeWindows::printedListRepeatsItsHeaderAndWrapsNoCall() {
  const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
  if (pdftotext.isEmpty()) QSKIP("pdftotext (poppler-utils) is not installed");
  // A long evening: 95 entries, the longest calls, locators and notes there are.
  TResultList list;
  list.Caption = "20261201 : VHF";
  for (int i = 0; i < 95; ++i) {
    TResultRow& row = list.Rows.emplace_back();
    row.Place = i + 1;
    row.Call = "OK" + std::to_string(i % 10) + "KKW/P";
    row.Locator = "JN79" + std::string(1, char('A' + i % 20)) + "S";
    row.QSOs = 120 - i;
    row.TotalScore = row.ClaimedScore = 123456 - i;
    row.TotalAfter = 120000 - i;
    row.BestDx = "SM2NRE 1213,6 km";
    row.Club = "SK7JC";
    row.Notes = i % 7 == 0 ? "Det finns saker i loggen som kan vara fel; Loggen har fel i EDI-formatet" : "";
  }
  const QString pdf = Temp_.filePath(QStringLiteral("lista.pdf"));
  int pages = 0;
  {
    QPdfWriter writer(pdf);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10),
                                     QPageLayout::Millimeter));
    pages = PaintResultList(writer, list, QStringLiteral("Resultatlista - 20261201 : VHF"));
  }
  QVERIFY(pages >= 2);
  QString last;
  for (int page = 1; page <= pages; ++page) {
    QProcess process;
    process.start(pdftotext, {QStringLiteral("-layout"), QStringLiteral("-f"), QString::number(page),
                              QStringLiteral("-l"), QString::number(page), pdf, QStringLiteral("-")});
    QVERIFY(process.waitForFinished(60000));
    const QString text = QString::fromUtf8(process.readAllStandardOutput());
    for (const char* caption : {"Resultatlista - 20261201 : VHF", "Plac.", "Signal", "Lokator", "korskontroll",
                                "Bästa DX", "Klubb", "Anm."}) {
      QVERIFY2(text.contains(QString::fromUtf8(caption)),
               qPrintable(QStringLiteral("page %1: %2").arg(page).arg(text)));
    }
    QVERIFY(text.contains(QStringLiteral("Sida %1").arg(page)));
    // Every page holds entries, each with its call and locator whole.
    QVERIFY2(text.count(QStringLiteral("KKW/P")) >= 1, qPrintable(text));
    QCOMPARE(text.count(QStringLiteral("KKW/P")), text.count(QRegularExpression(QStringLiteral("JN79[A-T]S"))));
    last = text;
  }
  QVERIFY(last.contains(QStringLiteral("120000")) == false && last.contains(QStringLiteral("119906")));
  QProcess info;
  info.start(QStandardPaths::findExecutable(QStringLiteral("pdfinfo")), {pdf});
  info.waitForFinished(60000);
  QVERIFY(QString::fromUtf8(info.readAllStandardOutput())
              .contains(QRegularExpression(QStringLiteral("Pages: +%1\\n").arg(pages))));
}

void TestJudgeWindows::dialogsSpeakSwedish() {
  if (!InstallSwedishQtTexts(*QCoreApplication::instance())) QSKIP("Qt's Swedish catalogue is not installed");
  // Every text the judge reads in the save dialog and the print dialog.
  const auto texts = [](QWidget& dialog) {
    QStringList found{dialog.windowTitle()};
    for (QLabel* label : dialog.findChildren<QLabel*>()) found.append(label->text());
    for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>())
      found.append(button->text() + button->toolTip());
    for (QComboBox* box : dialog.findChildren<QComboBox*>()) {
      for (int i = 0; i < box->count(); ++i) found.append(box->itemText(i));
    }
    for (QHeaderView* header : dialog.findChildren<QHeaderView*>()) {
      for (int i = 0; header->model() != nullptr && i < header->model()->columnCount(); ++i) {
        found.append(header->model()->headerData(i, Qt::Horizontal).toString());
      }
    }
    return found.join(QLatin1Char('|')).remove(QLatin1Char('&'));
  };
  const QRegularExpression english(QStringLiteral(
      "\\b(Look in|Computer|Folder|Name|Properties|Output file|Print|File name|Files of type|Cancel|Save|Open|Size|"
      "Type|Date Modified|Printer|Location|Copies|Options|Back|Forward|Detail View|List View|Paper|Orientation)\\b"));
  QFileDialog save(nullptr, QStringLiteral("Exportera Excel"), Temp_.path());
  save.setOption(QFileDialog::DontUseNativeDialog);
  save.setAcceptMode(QFileDialog::AcceptSave);
  save.show();
  QVERIFY(QTest::qWaitForWindowExposed(&save));
  const QString saved = texts(save);
  QVERIFY2(!english.match(saved).hasMatch(),
           qPrintable(english.match(saved).captured() + QStringLiteral(" in ") + saved));
  QVERIFY2(saved.contains(QStringLiteral("Leta i:")), qPrintable(saved));

  QPrinter printer;
  QPrintDialog print(&printer);
  print.show();
  QVERIFY(QTest::qWaitForWindowExposed(&print));
  const QString printed = texts(print);
  QVERIFY2(!english.match(printed).hasMatch(),
           qPrintable(english.match(printed).captured() + QStringLiteral(" in ") + printed));
}

QTEST_MAIN(TestJudgeWindows)
#include "tst_judge_windows.moc"
