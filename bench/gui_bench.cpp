// The desktop program's speed where the judge waits: a batch of 1 000
// generated logs of 300 QSOs imported into the main window's outline, the
// log view filled with a log of 10 000 QSOs, and the cross-check and results
// list of an evening of 1 000 logs that work each other. Run offscreen:
//   QT_QPA_PLATFORM=offscreen loggrevy-gui-bench
#include <QCoreApplication>
#include <QTreeWidget>
#include <QtTest>

#include <QTableView>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>

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

// One NAC 144 MHz evening of stations that work each other: every QSO is in
// both logs, but for a few busted calls, missing records and wrong times.
std::vector<std::string> WriteEvening(const std::string& dir, int stations, int pairsPerStation) {
  std::mt19937 random(7);
  const auto call = [](int i) {
    std::string text = "SM" + std::to_string(i % 8);
    for (int n = i / 8, k = 0; k < 3; ++k, n /= 26) text += static_cast<char>('A' + n % 26);
    return text;
  };
  const auto locator = [](int i) {
    std::string text = "JO";
    text += static_cast<char>('5' + i % 5);
    text += static_cast<char>('5' + (i / 5) % 5);
    text += static_cast<char>('A' + (i / 25) % 24);
    text += static_cast<char>('A' + (i / 7) % 24);
    return text;
  };
  struct TRecord {
    int Minute;
    std::string Call;
    std::string Locator;
  };
  std::vector<std::vector<TRecord>> records(static_cast<std::size_t>(stations));
  // mt19937's numbers are the same everywhere (its distributions are not).
  const auto below = [&random](int n) { return static_cast<int>(random() % static_cast<uint32_t>(n)); };
  const auto anyStation = [&] { return below(stations); };
  const auto anyMinute = [&] { return below(240); };
  const auto perMille = [&] { return below(1000); };
  for (int a = 0; a < stations; ++a) {
    for (int k = 0; k < pairsPerStation; ++k) {
      const int b = anyStation();
      if (b == a) continue;
      const int minute = anyMinute();
      const int fault = perMille();
      std::string logged = call(b);
      if (fault < 15) logged.back() = logged.back() == 'Z' ? 'A' : static_cast<char>(logged.back() + 1);
      records[static_cast<std::size_t>(a)].push_back({minute, logged, locator(b)});
      if (fault >= 15 && fault < 30) continue;  // not in the partner's log
      const int partnerMinute = fault >= 30 && fault < 40 ? std::min(minute + 30, 239) : minute;
      records[static_cast<std::size_t>(b)].push_back({partnerMinute, call(a), locator(a)});
    }
  }
  std::vector<std::string> paths;
  for (int i = 0; i < stations; ++i) {
    auto& qsos = records[static_cast<std::size_t>(i)];
    std::stable_sort(qsos.begin(), qsos.end(), [](const TRecord& x, const TRecord& y) { return x.Minute < y.Minute; });
    const std::string own = call(i);
    std::string text;
    for (const std::string& line : std::vector<std::string>{"[REG1TEST;1]",
                                                            "TName=NAC 144 MHz",
                                                            "TDate=20261201;20261201",
                                                            "PCall=" + own,
                                                            "PWWLo=" + locator(i),
                                                            "PExch=",
                                                            "PAdr1=",
                                                            "PAdr2=",
                                                            "PSect=Single op",
                                                            "PBand=144 MHz",
                                                            "PClub=SK5AA",
                                                            "RName=Test",
                                                            "RCall=" + own,
                                                            "RAdr1=",
                                                            "RAdr2=",
                                                            "RPoCo=",
                                                            "RCity=",
                                                            "RCoun=Sverige",
                                                            "RPhon=",
                                                            "RHBBS=",
                                                            "MOpe1=",
                                                            "MOpe2=",
                                                            "STXEq=IC-9700",
                                                            "SPowe=100",
                                                            "SRXEq=IC-9700",
                                                            "SAnte=9 el. yagi",
                                                            "SAntH=10;40",
                                                            "CQSOs=" + std::to_string(qsos.size()) + ";1",
                                                            "CQSOP=0",
                                                            "CWWLs=0;500;1",
                                                            "CWWLB=0",
                                                            "CExcs=0;0;0",
                                                            "CExcB=0",
                                                            "CDXCs=0;0;0",
                                                            "CDXCB=0",
                                                            "CToSc=0",
                                                            "CODXC=;;0",
                                                            "[Remarks]",
                                                            "[QSORecords;" + std::to_string(qsos.size()) + "]"}) {
      text += line + "\r\n";
    }
    for (const TRecord& q : qsos) {
      char time[16];
      std::snprintf(time, sizeof time, "%02d%02d", 17 + q.Minute / 60, q.Minute % 60);
      text += "261201;" + std::string(time) + ";" + q.Call + ";1;59;;59;;;" + q.Locator + ";1;;;;\r\n";
    }
    text += "[END; evening]\r\n";
    char name[32];
    std::snprintf(name, sizeof name, "evening-%04d.edi", i);
    paths.push_back(dir + "/" + name);
    std::ofstream(paths.back(), std::ios::binary) << text;
  }
  return paths;
}

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
  for (const std::string& path : WriteEvening(evening, 1000, 60)) Evening_.append(QString::fromStdString(path));
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
  QVERIFY(confirmed > 100000);
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
