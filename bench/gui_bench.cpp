// The desktop program's speed where the judge waits: a batch of 1 000
// generated logs of 300 QSOs imported into the main window's outline, and
// the log view filled with a log of 10 000 QSOs. Run offscreen:
//   QT_QPA_PLATFORM=offscreen loggrevy-gui-bench
#include <QCoreApplication>
#include <QTreeWidget>
#include <QtTest>

#include <fstream>
#include <memory>

#include "bench/log_generator.h"
#include "model/import_session.h"
#include "ui/file_chooser.h"
#include "ui/import_view.h"
#include "ui/import_window.h"
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

 private:
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

QTEST_MAIN(TestWindowSpeed)
#include "gui_bench.moc"
