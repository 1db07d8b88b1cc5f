// The year's standings in the desktop program, driven on the sample season:
// the outline's entry, the window's series, tables and choices, how it
// follows judgements and imports, and its exports against the batch
// checker's.

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include "ui/crosscheck_hub.h"
#include "ui/fonts.h"
#include "ui/import_view.h"
#include "ui/save_dialogs.h"
#include "ui/season_window.h"
#include "ui_test_support.h"

using namespace loggrevy;
using namespace loggrevy::test;

namespace {

constexpr int32_t kSeasonYear = 2026;
const QString kLastEvening = QStringLiteral("20260303 : VHF");

QStringList Season() {
  QStringList paths;
  const QDir root(QStringLiteral(LOGGREVY_SAMPLES_DIR "/season"));
  for (const QString& evening : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
    const QDir dir(root.filePath(evening));
    for (const QString& name : dir.entryList({QStringLiteral("*.edi")}, QDir::Files, QDir::Name)) {
      paths.append(dir.filePath(name));
    }
  }
  return paths;
}

class TFakeDialogs final : public IDialogs {
 public:
  QString SavePath;
  QString PdfPath;
  QStringList Warnings;

  QString ChooseSaveFile(QWidget*, const QString&, const QString&, const QString&) override { return SavePath; }
  bool AskOverwrite(QWidget*, const QString&) override { return true; }
  void ShowWarning(QWidget*, const QString&, const QString& text) override { Warnings.append(text); }
  bool ChoosePrinter(QWidget*, QPrinter& printer) override {
    if (PdfPath.isEmpty()) return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(PdfPath);
    return true;
  }
};

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString Cell(const QTableView& table, int row, int column) {
  return table.model()->index(row, column).data().toString();
}

// A station's row as "call club contests total points...", or empty.
QString RowOf(const QTableView& table, const QString& call) {
  for (int row = 0; row < table.model()->rowCount(); ++row) {
    if (Cell(table, row, 1) != call) continue;
    QStringList cells;
    for (int column = 1; column < table.model()->columnCount(); ++column) cells.append(Cell(table, row, column));
    return cells.join(QLatin1Char(' '));
  }
  return {};
}

QByteArray BatchChecker(const QStringList& options) {
  QProcess process;
  process.start(QStringLiteral(LOGGREVY_CHECK_BINARY),
                QStringList{QStringLiteral("--year"), QStringLiteral("2026"), QStringLiteral("--decimal-separator"),
                            QStringLiteral(","), QStringLiteral("--utc-offset"), QStringLiteral("60")} +
                    options + Season());
  if (!process.waitForFinished(60000)) return {};
  return process.readAllStandardOutput();
}

}  // namespace

class TestSeason : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void init();
  void cleanup();

  void contestMenuOpensTheWindow();
  void followsJudgementsAndImports();
  void exportsEqualTheBatchChecker();
  void printsToPdf();

 private:
  void SelectContest(const QString& caption);
  TfrmSeason* Open();
  template <typename T>
  T* Child(QWidget* window, const char* name) {
    auto* child = window->findChild<T*>(QString::fromLatin1(name));
    if (child == nullptr) qFatal("no %s", name);
    return child;
  }

  std::unique_ptr<TfrmImport> Window_;
  TFakeDialogs* Dialogs_ = nullptr;
  QTemporaryDir Temp_;
};

void TestSeason::initTestCase() {
  InstallFontSubstitutes();
  if (Season().size() != 28) QSKIP("the sample season is missing");
}

void TestSeason::init() {
  Window_ =
      std::make_unique<TfrmImport>(std::make_unique<TImportSession>(kSettings),
                                   std::make_unique<TFakeChooser>(QStringList{}, nullptr), [] { return kSeasonYear; });
  auto dialogs = std::make_unique<TFakeDialogs>();
  Dialogs_ = dialogs.get();
  Window_->SetDialogs(std::move(dialogs));
  Window_->show();
  QVERIFY(QTest::qWaitForWindowExposed(Window_.get()));
}

void TestSeason::cleanup() { Window_.reset(); }

void TestSeason::SelectContest(const QString& caption) {
  QTreeWidgetItem* item = FindItem(Window_->Outline(), {caption});
  QVERIFY2(item != nullptr, qPrintable(caption));
  Window_->Outline().setCurrentItem(item);
}

TfrmSeason* TestSeason::Open() {
  SelectContest(kLastEvening);
  Window_->findChild<QAction*>(QStringLiteral("actSeason"))->trigger();
  return Window_->findChild<TfrmSeason*>(QStringLiteral("frmSeason"));
}

void TestSeason::contestMenuOpensTheWindow() {
  Window_->ImportFiles(Season() + QStringList{QStringLiteral("/nonexistent/loggrevy/x.edi")});
  auto* action = Window_->findChild<QAction*>(QStringLiteral("actSeason"));
  QVERIFY(action != nullptr);
  QCOMPARE(action->text(), QStringLiteral("Årsresultat…"));
  QVERIFY(Window_->OutlineMenu().actions().contains(action));
  // On every contest node, the unreadable logs' too; not on a log.
  for (const QString& caption : {kLastEvening, QStringLiteral("Ej läsbar EDI-fil")}) {
    SelectContest(caption);
    Window_->PrepareOutlineMenu();
    QVERIFY(action->isVisible() && action->isEnabled());
  }
  Window_->Outline().setCurrentItem(FindItem(Window_->Outline(), {kLastEvening, QStringLiteral("SM7QRJ")}));
  Window_->PrepareOutlineMenu();
  QVERIFY(!action->isVisible());

  TfrmSeason* window = Open();
  QVERIFY(window != nullptr && window->isVisible());
  QCOMPARE(window->windowTitle(), QStringLiteral("Årsresultat"));
  QVERIFY(window->frameGeometry().width() <= window->screen()->availableGeometry().width());
  QVERIFY(window->frameGeometry().height() <= window->screen()->availableGeometry().height());
  const struct {
    const char* Name;
    const char* Text;
  } buttons[] = {{"btnExportCsv", "Exportera CSV…"},
                 {"btnExportHtml", "Exportera HTML…"},
                 {"btnExportJson", "Exportera JSON…"},
                 {"btnExportXlsx", "Exportera Excel…"},
                 {"btnPrint", "Skriv ut…"}};
  for (const auto& b : buttons) QCOMPARE(Child<QPushButton>(window, b.Name)->text(), QString::fromUtf8(b.Text));

  auto* series = Child<QComboBox>(window, "cmbSeries");
  QCOMPARE(series->count(), 2);
  QCOMPARE(series->itemText(0), QStringLiteral("2026 VHF"));
  QCOMPARE(series->itemText(1), QStringLiteral("2026 UHF"));
  QTableView& stations = window->StationTable();
  QCOMPARE(Child<QLabel>(window, "lblStandings")->text(), QStringLiteral("Årsresultat 2026 VHF, bästa 9 tester"));
  QCOMPARE(stations.model()->headerData(5, Qt::Horizontal).toString(), QStringLiteral("2026-01-06"));
  QCOMPARE(RowOf(stations, QStringLiteral("SM5QRB")), QStringLiteral("SM5QRB SK0QRV 3 15084 4525 5057 5502"));
  QCOMPARE(RowOf(window->ClubTable(), QStringLiteral("SK0QRV")), QStringLiteral("SK0QRV 4 44991 9118 15470 20403"));

  // Best 2 and the normalising box remake the tables.
  Child<QSpinBox>(window, "spnBest")->setValue(2);
  QCOMPARE(RowOf(stations, QStringLiteral("SM5QRB")), QStringLiteral("SM5QRB SK0QRV 3 10559 (4525) 5057 5502"));
  Child<QCheckBox>(window, "chkNormalise")->click();
  QCOMPARE(Child<QLabel>(window, "lblClubs")->text(), QStringLiteral("Klubbtävling 2026 VHF, normaliserat"));
  QCOMPARE(Cell(stations, 0, 1), QStringLiteral("SM7QRC"));
  QCOMPARE(Cell(stations, 0, 4), QStringLiteral("2000"));

  // Sorted by call, and the other series with its own columns.
  stations.sortByColumn(1, Qt::AscendingOrder);
  QCOMPARE(Cell(stations, 0, 1), QStringLiteral("OH1QRH"));
  series->setCurrentIndex(1);
  QCOMPARE(stations.model()->columnCount(), 6);
  QCOMPARE(Cell(stations, 0, 1), QStringLiteral("SM0QRA"));
  QCOMPARE(Child<QLabel>(window, "lblStandings")->text(),
           QStringLiteral("Årsresultat 2026 UHF, bästa 2 tester, normaliserat"));

  QTest::keyClick(window, Qt::Key_Escape);
  QVERIFY(!window->isVisible());
}

void TestSeason::followsJudgementsAndImports() {
  QStringList batch = Season();
  const QString late = batch.takeLast();  // SM7QRJ's third evening
  QVERIFY(late.endsWith(QStringLiteral("2026-03-vhf/sm7qrj.edi")));
  Window_->ImportFiles(batch);
  TfrmSeason* window = Open();
  QTableView& stations = window->StationTable();
  QCOMPARE(RowOf(stations, QStringLiteral("SM7QRJ")), QStringLiteral("SM7QRJ SK7QRV 1 5628  5628 "));

  // A new log shows at once, its club the latest; so does its reload with
  // another club, before any cross-check.
  QTemporaryDir dir;
  const QString copy = dir.filePath(QStringLiteral("sm7qrj.edi"));
  QVERIFY(QFile::copy(late, copy));
  Window_->ImportFiles({copy});
  QTRY_COMPARE(RowOf(stations, QStringLiteral("SM7QRJ")), QStringLiteral("SM7QRJ SK0QRV 2 11573  5628 5945"));
  QFile file(copy);
  QVERIFY(file.open(QIODevice::ReadOnly));
  QByteArray text = file.readAll();
  file.close();
  QVERIFY(text.contains("PClub=SK0QRV"));
  text.replace("PClub=SK0QRV", "PClub=SK7QRV");
  QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(text);
  file.close();
  Window_->ImportFiles({copy});
  QCOMPARE(RowOf(stations, QStringLiteral("SM7QRJ")), QStringLiteral("SM7QRJ SK7QRV 2 11573  5628 5945"));

  // A judgement in the log view, without a cross-check.
  Window_->Outline().setCurrentItem(FindItem(Window_->Outline(), {kLastEvening, QStringLiteral("SM6QRD")}));
  Window_->findChild<QPushButton*>(QStringLiteral("btnViewLog"))->click();
  TfrmImportView& view = Window_->ImportView();
  view.grdQSOsMouseDown(2, 1);
  view.PopupMenu1Popup();
  view.PopupMenu().findChild<QAction*>(QStringLiteral("itmQSOInvalid"))->trigger();
  const QStringList judged = RowOf(stations, QStringLiteral("SM6QRD")).split(QLatin1Char(' '));
  QCOMPARE(judged.at(3).toLongLong(), 4614 + judged.at(6).toLongLong());
  QVERIFY2(judged.at(6).toLongLong() < 5070, qPrintable(judged.join(QLatin1Char(' '))));

  // The proposals of the cross-check, applied.
  Window_->CrossCheck().Run(Window_.get());
  QCOMPARE(RowOf(stations, QStringLiteral("SM1QRI")), QStringLiteral("SM1QRI SK0QRV 2 9566  5371 4195"));
  Window_->CrossCheck().Apply(Window_->Session().Logs());
  QCOMPARE(RowOf(stations, QStringLiteral("SM1QRI")), QStringLiteral("SM1QRI SK0QRV 2 8833  4638 4195"));
}

void TestSeason::exportsEqualTheBatchChecker() {
  // With the proposals applied every log has the checker's figures, as the
  // batch checker gives every readable log.
  Window_->ImportFiles(Season());
  Window_->CrossCheck().Run(Window_.get());
  Window_->CrossCheck().Apply(Window_->Session().Logs());
  TfrmSeason* window = Open();
  Child<QSpinBox>(window, "spnBest")->setValue(2);
  const QStringList options{QStringLiteral("--apply-crosscheck"), QStringLiteral("--best"), QStringLiteral("2"),
                            QStringLiteral("--standings")};
  for (const char* format : {"csv", "html"}) {
    const QString name = QString::fromLatin1(format);
    Dialogs_->SavePath = Temp_.filePath(QStringLiteral("season.") + name);
    Child<QPushButton>(window, format[0] == 'c' ? "btnExportCsv" : "btnExportHtml")->click();
    const QByteArray expected = BatchChecker(options + QStringList{name});
    QVERIFY(!expected.isEmpty());
    QCOMPARE(ReadAll(Dialogs_->SavePath), expected);
  }

  Child<QCheckBox>(window, "chkNormalise")->click();
  Dialogs_->SavePath = Temp_.filePath(QStringLiteral("season.json"));
  Child<QPushButton>(window, "btnExportJson")->click();
  const QJsonDocument exported = QJsonDocument::fromJson(ReadAll(Dialogs_->SavePath));
  const QJsonDocument checked = QJsonDocument::fromJson(
      BatchChecker(options + QStringList{QStringLiteral("json"), QStringLiteral("--normalise")}));
  QVERIFY(!exported.object().value(QStringLiteral("standings")).toArray().isEmpty());
  QCOMPARE(exported.object().value(QStringLiteral("standings")), checked.object().value(QStringLiteral("standings")));

  Dialogs_->SavePath = Temp_.filePath(QStringLiteral("season.xlsx"));
  Child<QPushButton>(window, "btnExportXlsx")->click();
  QCOMPARE(ReadAll(Dialogs_->SavePath).left(2), QByteArray("PK"));
  QVERIFY(Dialogs_->Warnings.isEmpty());
}

void TestSeason::printsToPdf() {
  const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
  if (pdftotext.isEmpty()) QSKIP("pdftotext (poppler-utils) is not installed");
  Window_->ImportFiles(Season());
  TfrmSeason* window = Open();
  Dialogs_->PdfPath = Temp_.filePath(QStringLiteral("season.pdf"));
  Child<QPushButton>(window, "btnPrint")->click();
  QVERIFY(Dialogs_->Warnings.isEmpty());
  QProcess process;
  process.start(pdftotext, {QStringLiteral("-layout"), Dialogs_->PdfPath, QStringLiteral("-")});
  process.waitForFinished(60000);
  const QString text = QString::fromUtf8(process.readAllStandardOutput());
  for (const QString& expected : {QStringLiteral("Årsresultat 2026 VHF, bästa 9 tester"),
                                  QStringLiteral("Klubbtävling 2026 UHF"), QStringLiteral("SM7QRC")}) {
    QVERIFY2(text.contains(expected), qPrintable(text));
  }
}

QTEST_MAIN(TestSeason)
#include "tst_season.moc"
