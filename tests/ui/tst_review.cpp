// The review in the main window: save and open reproduce the batch checker's
// document, undo and redo bring every figure back, the close question, the
// recovery copy and the lock.

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sstream>

#include "cli/check_command.h"
#include "ui/crosscheck_hub.h"
#include "ui/crosscheck_window.h"
#include "ui/import_view.h"
#include "ui/log_page.h"
#include "ui/qtext.h"
#include "ui/review_desk.h"
#include "ui/save_dialogs.h"
#include "ui/xstrgrid.h"
#include "ui_test_support.h"

using namespace loggrevy;
using namespace loggrevy::test;

namespace {

const QString kContest = QStringLiteral("20261201 : VHF");

QStringList Evening() {
  const QDir dir(QStringLiteral(LOGGREVY_SAMPLES_DIR "/nac-evening"));
  QStringList paths;
  for (const QString& name : dir.entryList({QStringLiteral("*.edi")}, QDir::Files, QDir::Name)) {
    paths.append(dir.filePath(name));
  }
  return paths;
}

struct TFakeReviewDialogs final : IReviewDialogs {
  QString OpenPath;
  QString SavePath;
  TSaveChangesAnswer SaveAnswer = TSaveChangesAnswer::Cancel;
  bool Restore = true;
  bool ReadOnly = true;
  int SaveQuestions = 0;
  QStringList Asked;
  QStringList Messages;

  QString ChooseReviewToOpen(QWidget*, const QString&) override { return OpenPath; }
  QString ChooseReviewToSave(QWidget*, const QString&) override { return SavePath; }
  TSaveChangesAnswer AskSaveChanges(QWidget*) override {
    ++SaveQuestions;
    return SaveAnswer;
  }
  TAddOrReplaceAnswer AskAddOrReplace(QWidget*) override { return TAddOrReplaceAnswer::Replace; }
  bool AskRestore(QWidget*, const QString& text) override {
    Asked.append(text);
    return Restore;
  }
  bool AskReadOnly(QWidget*, const QString& text) override {
    Asked.append(text);
    return ReadOnly;
  }
  void ShowMessage(QWidget*, const QString&, const QString& text) override { Messages.append(text); }
};

// Says yes to the cross-check window's questions (applying to all logs asks
// first); nothing here saves or prints.
struct TYesDialogs final : IDialogs {
  QString ChooseSaveFile(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
  bool AskOverwrite(QWidget*, const QString&) override { return false; }
  void ShowWarning(QWidget*, const QString&, const QString&) override {}
  bool ChoosePrinter(QWidget*, QPrinter&) override { return false; }
  bool Confirm(QWidget*, const QString&, const QString&) override { return true; }
};

std::string Check(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  RunCheckCommand(args, out, err, {2026, 60, ',', 1});
  return out.str();
}

// The batch checker's document of a review file.
std::string DocumentOf(const QString& review) {
  return Check({"--json", "--crosscheck", "--review", ToNativePath(review)});
}

}  // namespace

class TestReview : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void saveAndOpenReproduceTheBatch();
  void undoAndRedoBringBackEveryFigure();
  void aBadReviewChangesNothing();
  void closeAsksOnlyWithUnsavedJudgements();
  void recoveryCopyIsOfferedAfterACrash();
  void aSecondWindowOpensAHeldReviewReadOnly();

 private:
  std::unique_ptr<TfrmImport> NewWindow(TFakeReviewDialogs*& dialogs);
  void ApplyAll(TfrmImport& window);
  void JudgeFirstQsoInvalid(TfrmImport& window, const QString& call);
  // The document of the window's state, through a review file of its own.
  std::string DocumentNow(const TfrmImport& window);

  QTemporaryDir Dir_;
  std::unique_ptr<TfrmImport> Window_;
  TFakeReviewDialogs* Dialogs_ = nullptr;
};

std::unique_ptr<TfrmImport> TestReview::NewWindow(TFakeReviewDialogs*& dialogs) {
  auto window = std::make_unique<TfrmImport>(std::make_unique<TImportSession>(kSettings),
                                             std::make_unique<TFakeChooser>(QStringList{}, nullptr),
                                             [] { return int32_t{2026}; });
  auto fake = std::make_unique<TFakeReviewDialogs>();
  dialogs = fake.get();
  window->Review().SetDialogs(std::move(fake));
  window->SetDialogs(std::make_unique<TYesDialogs>());
  window->show();
  return window;
}

void TestReview::init() {
  QVERIFY(Dir_.isValid());
  Window_ = NewWindow(Dialogs_);
  QVERIFY(QTest::qWaitForWindowExposed(Window_.get()));
  Window_->ImportFiles(Evening());
}

void TestReview::cleanup() { Window_.reset(); }

void TestReview::ApplyAll(TfrmImport& window) {
  window.Outline().setCurrentItem(FindItem(window.Outline(), {kContest}));
  window.findChild<QAction*>(QStringLiteral("actCrossCheck"))->trigger();
  auto* check = window.findChild<TfrmCrossCheck*>(QStringLiteral("frmCrossCheck"));
  QVERIFY(check != nullptr);
  check->findChild<QPushButton*>(QStringLiteral("btnApplyAll"))->click();
}

void TestReview::JudgeFirstQsoInvalid(TfrmImport& window, const QString& call) {
  window.Outline().setCurrentItem(FindItem(window.Outline(), {kContest, call}));
  TfrmImportView& view = window.ImportView();
  view.show();
  TXStrGrid& grid = view.Grid();
  const QPoint at = grid.visualRect(grid.Model().index(0, 2)).center();
  QTest::mousePress(grid.viewport(), Qt::RightButton, {}, at);
  QContextMenuEvent menu(QContextMenuEvent::Mouse, at, grid.viewport()->mapToGlobal(at));
  QCoreApplication::sendEvent(grid.viewport(), &menu);
  QTest::mouseRelease(grid.viewport(), Qt::RightButton, {}, at);
  QTRY_VERIFY(view.PopupMenu().isVisible());
  view.PopupMenu().findChild<QAction*>(QStringLiteral("itmQSOInvalid"))->trigger();
  view.PopupMenu().hide();
}

std::string TestReview::DocumentNow(const TfrmImport& window) {
  const QString path = Dir_.filePath(QStringLiteral("now.loggrevy"));
  const std::string native = ToNativePath(path);
  const auto& options = window.CrossCheck().Options();
  if (WriteReviewFile(native, CaptureReview(window.Session(), native,
                                            {options.TimeToleranceMinutes, options.CompareSerials}, {}))) {
    return {};
  }
  return DocumentOf(path);
}

void TestReview::saveAndOpenReproduceTheBatch() {
  ApplyAll(*Window_);
  QVERIFY(Window_->isWindowModified());
  QVERIFY(Window_->windowTitle().startsWith(QStringLiteral("[*]")));

  const QString saved = Dir_.filePath(QStringLiteral("kväll.loggrevy"));
  Dialogs_->SavePath = Dir_.filePath(QStringLiteral("kväll"));
  // In the outline's context menu and behind the toolbar's fifth button.
  QAction* save = Window_->findChild<QAction*>(QStringLiteral("actSaveReview"));
  QCOMPARE(save->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
  QVERIFY(Window_->OutlineMenu().actions().contains(save));
  QVERIFY(Window_->findChild<QPushButton*>(QStringLiteral("btnReview"))->menu()->actions().contains(save));
  save->trigger();
  QVERIFY(QFile::exists(saved));
  QCOMPARE(Window_->windowTitle().section(QStringLiteral(" - "), 0, 0), QStringLiteral("kväll.loggrevy[*]"));
  QVERIFY(!Window_->isWindowModified());

  std::vector<std::string> batch{"--json", "--crosscheck", "--apply-crosscheck"};
  for (const QString& log : Evening()) batch.push_back(ToNativePath(log));
  const std::string expected = Check(batch);
  QVERIFY(DocumentOf(saved) == expected);

  // Opened in another window (as from the command line) and saved again.
  TFakeReviewDialogs* dialogs = nullptr;
  auto other = NewWindow(dialogs);
  other->ImportFiles({saved});
  QCOMPARE(dialogs->Messages, QStringList{});
  QCOMPARE(other->Session().Logs().size(), Window_->Session().Logs().size());
  QVERIFY(!other->isWindowModified());
  QVERIFY(DocumentNow(*other) == expected);
  other->Outline().setCurrentItem(FindItem(other->Outline(), {kContest, QStringLiteral("SM0PLN")}));
  QCOMPARE(other->findChild<QLineEdit*>(QStringLiteral("txtScore"))->text(), QStringLiteral("5881"));
}

void TestReview::undoAndRedoBringBackEveryFigure() {
  QAction* undo = Window_->findChild<QAction*>(QStringLiteral("actUndo"));
  QAction* redo = Window_->findChild<QAction*>(QStringLiteral("actRedo"));
  QCOMPARE(undo->text(), QStringLiteral("Ångra"));
  QCOMPARE(redo->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
  const std::string start = DocumentNow(*Window_);
  JudgeFirstQsoInvalid(*Window_, QStringLiteral("SM5KVA"));
  const std::string judged = DocumentNow(*Window_);
  QVERIFY(judged != start);
  ApplyAll(*Window_);
  const std::string applied = DocumentNow(*Window_);
  QVERIFY(applied != judged);
  QCOMPARE(Window_->Review().UndoStack().count(), 2);

  QVERIFY(undo->isEnabled());
  undo->trigger();
  QVERIFY(DocumentNow(*Window_) == judged);
  // The page shows the log's figures as they are again.
  Window_->Outline().setCurrentItem(FindItem(Window_->Outline(), {kContest, QStringLiteral("SM0PLN")}));
  QCOMPARE(Window_->findChild<QLineEdit*>(QStringLiteral("txtScore"))->text(), QStringLiteral("6772"));
  undo->trigger();
  QVERIFY(DocumentNow(*Window_) == start);
  QVERIFY(!Window_->isWindowModified());
  QVERIFY(!undo->isEnabled());
  redo->trigger();
  QVERIFY(DocumentNow(*Window_) == judged);
  redo->trigger();
  QVERIFY(DocumentNow(*Window_) == applied);
  QCOMPARE(Window_->findChild<QLineEdit*>(QStringLiteral("txtScore"))->text(), QStringLiteral("5881"));
  QVERIFY(Window_->isWindowModified());
}

void TestReview::aBadReviewChangesNothing() {
  ApplyAll(*Window_);
  const std::string before = DocumentNow(*Window_);
  const QString bad = Dir_.filePath(QStringLiteral("trasig.loggrevy"));
  QFile file(bad);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(R"({"type": "loggrevy-granskning", "format": 1, "logs": [{"pa)");
  file.close();
  Dialogs_->OpenPath = bad;
  Window_->findChild<QAction*>(QStringLiteral("actOpenReview"))->trigger();
  QCOMPARE(Dialogs_->Messages, QStringList{QStringLiteral("Granskningsfilen är skadad:\n") + bad});
  QVERIFY(DocumentNow(*Window_) == before);
  QVERIFY(Window_->isWindowModified());

  // A good one replaces the logs, the open cross-check window with them.
  const QString good = Dir_.filePath(QStringLiteral("hel.loggrevy"));
  Dialogs_->SavePath = good;
  QVERIFY(Window_->Review().SaveAs());
  Dialogs_->OpenPath = good;
  Window_->findChild<QAction*>(QStringLiteral("actOpenReview"))->trigger();
  QCOMPARE(Window_->findChild<TfrmCrossCheck*>(), nullptr);
  QCOMPARE(Window_->Session().Logs().size(), std::size_t{9});
  QVERIFY(DocumentNow(*Window_) == before);
  QVERIFY(!Window_->isWindowModified());
}

void TestReview::closeAsksOnlyWithUnsavedJudgements() {
  QVERIFY(Window_->close());
  QCOMPARE(Dialogs_->SaveQuestions, 0);

  Window_ = NewWindow(Dialogs_);
  Window_->ImportFiles(Evening());
  ApplyAll(*Window_);
  Dialogs_->SaveAnswer = TSaveChangesAnswer::Cancel;
  QVERIFY(!Window_->close());
  QVERIFY(Window_->isVisible());
  QCOMPARE(Window_->Session().Logs().size(), std::size_t{9});
  const QString saved = Dir_.filePath(QStringLiteral("stängd.loggrevy"));
  Dialogs_->SaveAnswer = TSaveChangesAnswer::Save;
  Dialogs_->SavePath = saved;
  QVERIFY(Window_->close());
  QCOMPARE(Dialogs_->SaveQuestions, 2);
  QVERIFY(QFile::exists(saved));
  QVERIFY(!QFile::exists(Dir_.filePath(QStringLiteral(".stängd.loggrevy.lock"))));
}

void TestReview::recoveryCopyIsOfferedAfterACrash() {
  const QString folder = Dir_.filePath(QStringLiteral("state/loggrevy"));
  Window_->Review().SetRecoveryFolder(folder);
  ApplyAll(*Window_);
  const std::string judged = DocumentNow(*Window_);
  // Written within two seconds of the change.
  QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(Window_->Review().RecoveryPath()), 2000);
  // The program ends without closing its window.
  Window_.reset();

  Window_ = NewWindow(Dialogs_);
  Window_->Review().SetRecoveryFolder(folder);
  QVERIFY(Window_->Review().OfferRecovery());
  QCOMPARE(Dialogs_->Asked.size(), 1);
  QVERIFY(
      Dialogs_->Asked[0].startsWith(QStringLiteral("Loggrevy avslutades utan att ändringarna i en ny granskning "
                                                   "sparades (9 loggar).")));
  QVERIFY(DocumentNow(*Window_) == judged);
  QVERIFY(Window_->isWindowModified());
  // A clean close leaves no copy to offer.
  Dialogs_->SaveAnswer = TSaveChangesAnswer::Discard;
  Window_->Review().WriteRecovery();
  QVERIFY(QFile::exists(Window_->Review().RecoveryPath()));
  QVERIFY(Window_->close());
  QVERIFY(QDir(folder).entryList(QDir::Files).isEmpty());
}

void TestReview::aSecondWindowOpensAHeldReviewReadOnly() {
  const QString saved = Dir_.filePath(QStringLiteral("delad.loggrevy"));
  Dialogs_->SavePath = saved;
  QVERIFY(Window_->Review().SaveAs());
  QVERIFY(QFile::exists(Dir_.filePath(QStringLiteral(".delad.loggrevy.lock"))));

  TFakeReviewDialogs* dialogs = nullptr;
  auto other = NewWindow(dialogs);
  QVERIFY(other->Review().Open(saved));
  QCOMPARE(dialogs->Asked, QStringList{QStringLiteral("Granskningen delad.loggrevy är öppen i ett annat "
                                                      "Loggrevy-program. Vill du öppna den skrivskyddad?")});
  QVERIFY(other->Review().ReadOnly());
  QVERIFY(other->windowTitle().startsWith(QStringLiteral("delad.loggrevy (skrivskyddad)")));
}

QTEST_MAIN(TestReview)
#include "tst_review.moc"
