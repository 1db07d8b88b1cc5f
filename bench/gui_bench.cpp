// The desktop program's speed where the judge waits: a batch of 1 000
// generated logs of 300 QSOs imported into the main window's outline, the
// log view filled with a log of 10 000 QSOs, and the cross-check and results
// list of an evening of 1 000 logs that work each other. Run offscreen:
//   QT_QPA_PLATFORM=offscreen loggrevy-gui-bench
#include <QCoreApplication>
#include <QTreeWidget>
#include <QtTest>

#include <QTableView>

#include <filesystem>
#include <fstream>
#include <memory>

#include "bench/evening_generator.h"
#include "bench/log_generator.h"
#include "crosscheck/crosscheck.h"
#include "model/import_session.h"
#include "ui/crosscheck_hub.h"
#include "ui/crosscheck_window.h"
#include "ui/file_chooser.h"
#include "ui/import_view.h"
#include "ui/import_window.h"
#include "ui/results_window.h"
#include "ui/xstrgrid.h"

using namespace loggrevy;

namespace {

constexpr int32_t kYear = 2026;
constexpr TLocalSettings kSettings{',', 60};

class TNoChooser final : public IFileChooser {
 public:
  QStringList ChooseLogs(QWidget*) override { return {}; }
};

}  // namespace

class TestWindowSpeed : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void cleanupTestCase();
  void importBatch();
  void fillLogView();
  void crossCheckCore();
  void crossCheckWindow();
  void resultsList();

 private:
  // The main window with the evening imported.
  std::unique_ptr<TfrmImport> EveningWindow();
  QStringList Evening_;
  std::string Dir_;
  QStringList Batch_;
  std::string BigLog_;
};

void TestWindowSpeed::initTestCase() {
  Dir_ = bench::MakeTempDir("loggrevy-gui-bench");
  for (const std::string& path : bench::WriteBatch(Dir_, 1000, 300, 1)) Batch_.append(QString::fromStdString(path));
  bench::TLogOptions options = bench::BatchLogOptions(0, 10000, 3);
  BigLog_ = Dir_ + "/big.edi";
  std::ofstream(BigLog_, std::ios::binary) << bench::GenerateLog(options);
  const std::string evening = Dir_ + "/evening";
  std::filesystem::create_directory(evening);
  bench::TEveningOptions eveningOptions;
  eveningOptions.Logs = 1000;
  eveningOptions.QsosPerLog = 300;
  for (const std::string& path : bench::WriteEvening(evening, bench::GenerateEvening(eveningOptions))) {
    Evening_.append(QString::fromStdString(path));
  }
}

std::unique_ptr<TfrmImport> TestWindowSpeed::EveningWindow() {
  auto window = std::make_unique<TfrmImport>(std::make_unique<TImportSession>(kSettings),
                                             std::make_unique<TNoChooser>(), [] { return kYear; });
  window->show();
  window->ImportFiles(Evening_);
  QCoreApplication::processEvents();
  return window;
}

void TestWindowSpeed::cleanupTestCase() { bench::RemoveDir(Dir_); }

// From the call of ImportFiles (as after the file dialog) until the outline is
// filled, expanded and painted.
void TestWindowSpeed::importBatch() {
  int logs = 0;
  QBENCHMARK {
    TfrmImport window(std::make_unique<TImportSession>(kSettings), std::make_unique<TNoChooser>(),
                      [] { return kYear; });
    window.show();
    window.ImportFiles(Batch_);
    QCoreApplication::processEvents();
    logs = static_cast<int>(window.Session().Logs().size());
  }
  QCOMPARE(logs, 1000);
}

// SetLog of a 10 000-QSO log until the grid is filled and painted.
void TestWindowSpeed::fillLogView() {
  TLog log(BigLog_, kYear, kSettings);
  QCOMPARE(log.Edi().QSOs.size(), std::size_t{10000});
  TfrmImportView view(kSettings.DecimalSeparator);
  view.resize(900, 700);
  view.show();
  QVERIFY(QTest::qWaitForWindowExposed(&view));
  QBENCHMARK {
    view.SetLog(nullptr);
    view.SetLog(&log);
    QCoreApplication::processEvents();
  }
  QCOMPARE(view.Grid().RowCount(), 10001);
}

// The baseline of the two below: the core's cross-check of the evening alone.
void TestWindowSpeed::crossCheckCore() {
  const auto window = EveningWindow();
  std::size_t active = 0;
  std::size_t confirmed = 0;
  QBENCHMARK {
    const TCrossCheck check(window->Session().Logs(), {});
    active = 0;
    confirmed = 0;
    for (std::size_t i = 0; i < check.LogCount(); ++i) {
      if (check.BatchLog(i).Role == TBatchRole::Active) ++active;
      confirmed += static_cast<std::size_t>(check.Log(i).Counts[static_cast<std::size_t>(TVerdict::Confirmed)]);
    }
  }
  QCOMPARE(active, std::size_t{1000});
  qInfo("%zu confirmed QSOs", confirmed);
  QVERIFY(confirmed > 200000);
}

// "Korskontrollera testen" until the cross-check window and the log view show
// the new cross-check.
void TestWindowSpeed::crossCheckWindow() {
  const auto window = EveningWindow();
  QCOMPARE(window->Session().Contests().size(), std::size_t{1});
  const TOutlineNode& contest = *window->Session().Contests().front();
  TfrmCrossCheck* shown = nullptr;
  QBENCHMARK {
    shown = window->OpenCrossCheck(contest);
    QCoreApplication::processEvents();
  }
  QCOMPARE(shown->LogTable().model()->rowCount(), 1000);
}

// The results list of the cross-checked evening built and shown afresh.
void TestWindowSpeed::resultsList() {
  const auto window = EveningWindow();
  const TOutlineNode& contest = *window->Session().Contests().front();
  window->OpenCrossCheck(contest);
  TfrmResults* results = window->OpenResults(contest);
  QBENCHMARK {
    results->Refresh();
    QCoreApplication::processEvents();
  }
  QCOMPARE(results->Table().model()->rowCount(), 1000);
}

QTEST_MAIN(TestWindowSpeed)
#include "gui_bench.moc"
