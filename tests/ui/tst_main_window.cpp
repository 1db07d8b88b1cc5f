// The main window driven as the judge drives it: batches from the file
// chooser, drops, reloads, the outline, the button states and the detail page.

#include <QDialogButtonBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QUrl>
#include <QtTest>

#include "ui/about.h"
#include "ui/edi_text.h"
#include "ui/fonts.h"
#include "ui/import_view.h"
#include "ui/qt_translation.h"
#include "ui/xstrgrid.h"
#include "ui_test_support.h"

using namespace loggrevy;
using namespace loggrevy::test;

namespace {

const QString kMissing = QStringLiteral("/nonexistent/loggrevy/sm0not-there.edi");

QStringList MixedBatch() {
  return {DataPath("version2.edi"),   DataPath("sm2unk-friday.edi"), DataPath("sm5abc-144.edi"),
          DataPath("sm7mik-10g.edi"), DataPath("sm3ten-28-a.edi"),   kMissing,
          DataPath("sm6xyz-144.edi"), DataPath("nocall-friday.edi"), DataPath("sm5old-144.edi"),
          DataPath("sm7mik-24g.edi"), DataPath("sm3ten-28-b.edi")};
}

bool CopyFile(const QString& from, const QString& to) {
  QFile::remove(to);
  return QFile::copy(from, to) && QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner);
}

}  // namespace

class TestMainWindow : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void init();
  void cleanup();

  void windowHasItsControls();
  void outlineOfMixedBatch();
  void buttonStatesFollowSelection_data();
  void buttonStatesFollowSelection();
  void mouseClickOnNodeSelectsIt();
  void enterChoosesFilesAndEscapeTogglesAView();
  void droppedFolderIsSkipped();
  void importingSamePathReloadsInPlace();
  void largeBatchKeepsItsOrder();
  void groupWithUnreadableMemberStaysAGroup();
  void detailPageBeforeAndAfterOwnSum();
  void groupSelectionHidesDistanceFields();
  void labelsShowTheViewers();
  void callFieldValidatesOnExit();
  void creditsButtonShowsAboutBoxModally();
  void closingWithBothViewersOpenFreesSafely();
  void tabRunsDownToTheClub();
  void outlineTellsLogsApart();
  void qtTextsAreSwedish();

 private:
  QWidget* Child(const char* name) const;
  QLineEdit* Edit(const char* name) const { return qobject_cast<QLineEdit*>(Child(name)); }
  QPushButton* Button(const char* name) const { return qobject_cast<QPushButton*>(Child(name)); }
  void Select(const QStringList& path);

  std::unique_ptr<TfrmImport> Window_;
  int ChooserCalls_ = 0;
};

void TestMainWindow::initTestCase() {
  InstallFontSubstitutes();
  QVERIFY(InstallSwedishQtTexts(*QCoreApplication::instance()));
}

void TestMainWindow::init() {
  ChooserCalls_ = 0;
  Window_ = MakeMainWindow(MixedBatch(), &ChooserCalls_);
  Window_->show();
  QVERIFY(QTest::qWaitForWindowExposed(Window_.get()));
}

void TestMainWindow::cleanup() { Window_.reset(); }

QWidget* TestMainWindow::Child(const char* name) const {
  auto* widget = Window_->findChild<QWidget*>(QString::fromLatin1(name));
  if (widget == nullptr) qWarning("no child %s", name);
  return widget;
}

void TestMainWindow::Select(const QStringList& path) {
  QTreeWidgetItem* item = FindItem(Window_->Outline(), path);
  QVERIFY2(item != nullptr, qPrintable(path.join(QLatin1Char('/'))));
  Window_->Outline().setCurrentItem(item);
}

void TestMainWindow::windowHasItsControls() {
  QCOMPARE(Window_->objectName(), QStringLiteral("frmImport"));
  QVERIFY(Window_->windowTitle().startsWith(QStringLiteral("Loggrevy - EDI file checker, version for 2006")));
  QCOMPARE(Window_->size(), QSize(632, 445));
  QCOMPARE(Window_->font().pixelSize(), 13);
  struct TExpected {
    const char* Name;
    const char* Caption;
    const char* Tooltip;
  };
  for (const TExpected& e : {TExpected{"btnSelect", "&Välj loggar", "Välj loggar"},
                             TExpected{"btnViewEDI", "Visa &EDI fil", "Visa import-filen"},
                             TExpected{"btnViewLog", "Visa &Log", "Visa tolkad importfil som log"},
                             TExpected{"btnExit", "&Avsluta", "Avluta import av loggar"}}) {
    QPushButton* button = Button(e.Name);
    QVERIFY(button != nullptr);
    QCOMPARE(button->text(), QString::fromUtf8(e.Caption));
    QCOMPARE(button->toolTip(), QString::fromUtf8(e.Tooltip));
    QCOMPARE(button->size(), QSize(113, 29));
    QVERIFY(button->isEnabled());
  }
  QVERIFY(Button("btnSelect")->isDefault());
  QCOMPARE(Window_->Outline().objectName(), QStringLiteral("otlImpLogs"));
  QCOMPARE(Window_->Outline().width(), 201);
  auto* notebook = qobject_cast<QStackedWidget*>(Child("ntbInfoKind"));
  QCOMPARE(notebook->count(), 2);
  QCOMPARE(notebook->widget(0)->objectName(), QStringLiteral("Default"));
  QCOMPARE(notebook->widget(1)->objectName(), QStringLiteral("Log"));
  QCOMPARE(notebook->currentIndex(), 1);
  QVERIFY(!Child("spdSumLog")->isEnabled());
  QCOMPARE(Child("spdSumLog")->toolTip(), QStringLiteral("Använd egen summa"));
  QVERIFY(Edit("txtDate")->isReadOnly());
  QCOMPARE(Edit("txtDate")->palette().color(QPalette::Base), Window_->palette().color(QPalette::Button));
  QVERIFY(!Edit("txtDxScore")->isReadOnly());
  QVERIFY(Window_->ImportView().isHidden());
  QVERIFY(Window_->EdiText().isHidden());

  // Tab visits the credits button and the five fields in order.
  QWidget* expected[] = {Child("btnCredits"),        Edit("txtCall"),  Edit("txtDxScore"),
                         Edit("txtApprovedSquares"), Edit("txtScore"), Edit("txtClub")};
  for (std::size_t i = 0; i + 1 < std::size(expected); ++i) QCOMPARE(expected[i]->nextInFocusChain(), expected[i + 1]);
  QCOMPARE(Edit("txtLocator")->focusPolicy(), Qt::ClickFocus);
}

void TestMainWindow::outlineOfMixedBatch() {
  Window_->ImportFiles(MixedBatch());
  const QStringList expected{
      "20060103 : VHF",
      "  SM5OLD",
      "20060105 : 28M",
      "  SM3TEN",
      "    A",
      "    B",
      "20060105 : VHF",
      "  SM5ABC",
      "  SM6XYZ",
      "20060124 : Mikro",
      "  SM7MIK",
      "    10 GHz",
      "    24 GHz",
      "Ej identifierad test",
      "  SM2UNK",
      "  " + DataPath("nocall-friday.edi"),
      "Ej läsbar EDI-fil",
      "  " + DataPath("version2.edi"),
      "  " + kMissing,
  };
  QCOMPARE(OutlineLines(Window_->Outline()), expected);
  for (QTreeWidgetItemIterator it(&Window_->Outline()); *it != nullptr; ++it) {
    if ((*it)->childCount() > 0) QVERIFY2((*it)->isExpanded(), qPrintable((*it)->text(0)));
  }
  // The batch does not select anything by itself.
  QCOMPARE(Window_->SelectionKind(), TSelectionKind::skNone);
}

void TestMainWindow::buttonStatesFollowSelection_data() {
  QTest::addColumn<QStringList>("path");
  QTest::addColumn<int>("kind");
  QTest::addColumn<int>("page");
  QTest::addColumn<bool>("ediView");
  QTest::addColumn<bool>("logView");
  using K = TSelectionKind;
  QTest::newRow("contest") << QStringList{"20060105 : VHF"} << int(K::skNone) << 0 << false << false;
  QTest::newRow("log") << QStringList{"20060105 : VHF", "SM5ABC"} << int(K::skLog) << 1 << true << true;
  QTest::newRow("unidentified log") << QStringList{"Ej identifierad test", "SM2UNK"} << int(K::skLog) << 1 << true
                                    << true;
  QTest::newRow("group") << QStringList{"20060124 : Mikro", "SM7MIK"} << int(K::skGroup) << 1 << false << false;
  QTest::newRow("grouped log") << QStringList{"20060105 : 28M", "SM3TEN", "B"} << int(K::skGroupedLog) << 1 << true
                               << true;
  QTest::newRow("unreadable") << QStringList{"Ej läsbar EDI-fil", kMissing} << int(K::skUnreadable) << 0 << true
                              << false;
}

void TestMainWindow::buttonStatesFollowSelection() {
  QFETCH(QStringList, path);
  QFETCH(int, kind);
  QFETCH(int, page);
  QFETCH(bool, ediView);
  QFETCH(bool, logView);
  Window_->ImportFiles(MixedBatch());
  // Start from a selected log so every state is reached from another one.
  Select({"20060103 : VHF", "SM5OLD"});
  Select(path);
  QCOMPARE(int(Window_->SelectionKind()), kind);
  QCOMPARE(qobject_cast<QStackedWidget*>(Child("ntbInfoKind"))->currentIndex(), page);
  const bool sum = kind == int(TSelectionKind::skLog) || kind == int(TSelectionKind::skGroupedLog);
  QCOMPARE(Child("spdSumLog")->isEnabled(), sum);
  QCOMPARE(Button("btnViewEDI")->isEnabled(), ediView);
  QCOMPARE(Button("btnViewLog")->isEnabled(), logView);
  QVERIFY(Button("btnSelect")->isEnabled());
  QVERIFY(Button("btnExit")->isEnabled());
  // The viewers hold exactly what the selection hands them.
  QCOMPARE(Window_->EdiText().Edi() != nullptr, ediView);
  QCOMPARE(Window_->ImportView().Checker() != nullptr, logView);
  if (kind == int(TSelectionKind::skUnreadable)) {
    QCOMPARE(Window_->EdiText().EdiFileList().count(), 0);
    QCOMPARE(Window_->EdiText().ErrorList().count(), 3);
    QCOMPARE(Window_->EdiText().ErrorList().item(0)->text(),
             QStringLiteral("EDI-filen följer ej standard och kan ej läsas."));
  }
}

void TestMainWindow::mouseClickOnNodeSelectsIt() {
  Window_->ImportFiles(MixedBatch());
  QTreeWidget& tree = Window_->Outline();
  QTreeWidgetItem* item = FindItem(tree, {"20060105 : VHF", "SM6XYZ"});
  QVERIFY(item != nullptr);
  QCOMPARE(tree.visualItemRect(item).height(), 16);
  QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.visualItemRect(item).center());
  QCOMPARE(Window_->SelectionKind(), TSelectionKind::skLog);
  QCOMPARE(Edit("txtUsedCall")->text(), QStringLiteral("SM6XYZ"));
  QTreeWidgetItem* contest = FindItem(tree, {"20060105 : VHF"});
  QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.visualItemRect(contest).center());
  QCOMPARE(Window_->SelectionKind(), TSelectionKind::skNone);
  QCOMPARE(Window_->ImportView().Checker(), nullptr);
  QCOMPARE(Window_->EdiText().Edi(), nullptr);
}

void TestMainWindow::enterChoosesFilesAndEscapeTogglesAView() {
  QTest::keyClick(Window_.get(), Qt::Key_Return);
  QCOMPARE(ChooserCalls_, 1);
  QCOMPARE(Window_->Outline().topLevelItemCount(), 6);

  Select({"Ej läsbar EDI-fil", DataPath("version2.edi")});
  QVERIFY(Window_->EdiText().isHidden());
  QTest::keyClick(&Window_->Outline(), Qt::Key_Escape);
  QVERIFY(Window_->EdiText().isVisible());
  QTest::keyClick(Window_.get(), Qt::Key_Escape);
  QVERIFY(Window_->EdiText().isHidden());
  QVERIFY(Window_->ImportView().isHidden());

  // With a group both view buttons are off and Esc does nothing.
  Select({"20060124 : Mikro", "SM7MIK"});
  QTest::keyClick(Window_.get(), Qt::Key_Escape);
  QVERIFY(Window_->EdiText().isHidden());
  QVERIFY(Window_->ImportView().isHidden());
}

void TestMainWindow::droppedFolderIsSkipped() {
  QTemporaryDir dir;
  QVERIFY(dir.isValid());
  QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.edi")));
  const QString first = dir.filePath(QStringLiteral("second-in-name.edi"));
  const QString second = dir.filePath(QStringLiteral("first-in-name.edi"));
  QVERIFY(CopyFile(DataPath("sm6xyz-144.edi"), first));
  QVERIFY(CopyFile(DataPath("sm5old-144.edi"), second));

  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(dir.filePath(QStringLiteral("folder.edi"))), QUrl::fromLocalFile(first),
                QUrl::fromLocalFile(dir.filePath(QStringLiteral("gone.edi"))), QUrl::fromLocalFile(second)});
  const QPoint at(300, 200);
  QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(Window_.get(), &enter);
  QVERIFY(enter.isAccepted());
  QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(Window_.get(), &drop);

  QCOMPARE(OutlineLines(Window_->Outline()), (QStringList{"20060103 : VHF", "  SM5OLD", "20060105 : VHF", "  SM6XYZ"}));
  const auto& logs = Window_->Session().Logs();
  QCOMPARE(logs.size(), std::size_t{2});
  QCOMPARE(QString::fromStdString(logs[0]->Edi().FileName), first);
  QCOMPARE(QString::fromStdString(logs[1]->Edi().FileName), second);
}

void TestMainWindow::importingSamePathReloadsInPlace() {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("sm5abc.edi"));
  QVERIFY(CopyFile(DataPath("sm5abc-144.edi"), path));
  Window_->ImportFiles({path});
  Select({"20060105 : VHF", "SM5ABC"});
  TLog* log = Window_->SelectedLog();
  QVERIFY(log != nullptr);
  log->Checker().SetPenalty(1, kPenaltyInvalid);
  QCOMPARE(&log->Edi(), Window_->EdiText().Edi());

  // The file now claims other figures; importing it again reloads the log.
  QFile file(path);
  QVERIFY(file.open(QIODevice::ReadOnly));
  QByteArray bytes = file.readAll();
  file.close();
  bytes.replace("CQSOP=600", "CQSOP=777");
  QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(bytes);
  file.close();
  Window_->ImportFiles({path});

  QCOMPARE(OutlineLines(Window_->Outline()), (QStringList{"20060105 : VHF", "  SM5ABC"}));
  QCOMPARE(Window_->Session().Logs().size(), std::size_t{1});
  QCOMPARE(Window_->SelectedLog(), log);
  QCOMPARE(log->Checker().GetPenalty(1), uint8_t{kPenaltyNone});
  // Both viewers show the reloaded log and its new checker, and so does the page.
  QCOMPARE(Window_->ImportView().Checker(), &log->Checker());
  QCOMPARE(Window_->EdiText().Edi(), &log->Edi());
  QCOMPARE(Edit("txtClaimedDxScore")->text(), QStringLiteral("777"));
  QCOMPARE(Window_->ImportView().Grid().Cell(9, 2), QString());

  // The same file under another spelling of its path is another log.
  Window_->ImportFiles({dir.path() + QStringLiteral("/./sm5abc.edi")});
  QCOMPARE(OutlineLines(Window_->Outline()), (QStringList{"20060105 : VHF", "  SM5ABC", "  SM5ABC"}));
  // A path that cannot be opened is a new log every time.
  Window_->ImportFiles({kMissing});
  Window_->ImportFiles({kMissing});
  QCOMPARE(FindItem(Window_->Outline(), {"Ej läsbar EDI-fil"})->childCount(), 2);
  // A path is shown as the file system spells it, letters outside
  // Windows-1252 included.
  const QString national = dir.path() + QStringLiteral("/Björn_Дмитрий.edi");
  Window_->ImportFiles({national});
  QTreeWidgetItem* unreadable = FindItem(Window_->Outline(), {"Ej läsbar EDI-fil"});
  QCOMPARE(unreadable->child(unreadable->childCount() - 1)->text(0), national);
}

void TestMainWindow::largeBatchKeepsItsOrder() {
  // Enough files for the progress dialog; it must change neither order nor result.
  QTemporaryDir dir;
  QStringList paths;
  for (int i = 0; i < 30; ++i) {
    const QString path = dir.filePath(QStringLiteral("log%1.edi").arg(29 - i, 2, 10, QLatin1Char('0')));
    QVERIFY(CopyFile(DataPath(i % 2 == 0 ? "sm5old-144.edi" : "sm2unk-friday.edi"), path));
    paths.append(path);
  }
  // Read on every core; the first path again is a reload of its log.
  Window_->ImportFiles(paths + QStringList{paths.front()});
  QCOMPARE(Window_->findChild<QWidget*>(QStringLiteral("dlgProgress")), nullptr);
  const auto& logs = Window_->Session().Logs();
  QCOMPARE(logs.size(), std::size_t{30});
  for (std::size_t i = 0; i < logs.size(); ++i) {
    QCOMPARE(QString::fromStdString(logs[i]->Edi().FileName), paths.at(static_cast<qsizetype>(i)));
  }
  QCOMPARE(FindItem(Window_->Outline(), {"20060103 : VHF"})->childCount(), 15);
  QCOMPARE(FindItem(Window_->Outline(), {"Ej identifierad test"})->childCount(), 15);
}

void TestMainWindow::groupWithUnreadableMemberStaysAGroup() {
  QTemporaryDir dir;
  const QString tenGig = dir.filePath(QStringLiteral("10g.edi"));
  QVERIFY(CopyFile(DataPath("sm7mik-10g.edi"), tenGig));
  Window_->ImportFiles({tenGig, DataPath("sm7mik-24g.edi")});
  Select({"20060124 : Mikro", "SM7MIK", "10 GHz"});
  QVERIFY(CopyFile(DataPath("version2.edi"), tenGig));
  Window_->ImportFiles({tenGig});
  // The member that now cannot be read is shown as an unreadable log.
  QCOMPARE(Window_->SelectionKind(), TSelectionKind::skUnreadable);
  QCOMPARE(Window_->ImportView().Checker(), nullptr);
  QCOMPARE(Window_->EdiText().ErrorList().item(0)->text(), QStringLiteral("Ej kompatibel EDI version"));

  Select({"20060124 : Mikro", "SM7MIK"});
  QCOMPARE(Window_->SelectionKind(), TSelectionKind::skGroup);
  QCOMPARE(qobject_cast<QStackedWidget*>(Child("ntbInfoKind"))->currentIndex(), 1);
  QVERIFY(Child("lblEDIErrors")->isVisible());
  QCOMPARE(Edit("txtUsedCall")->text(), QStringLiteral("SM7MIK"));
  // A reload keeps the header values the new file lacks, so the unreadable
  // member still adds its earlier figures to the sums.
  QCOMPARE(Edit("txtScore")->text(), QStringLiteral("1264"));
  QCOMPARE(Window_->ImportView().Checker(), nullptr);
  QCOMPARE(Window_->EdiText().Edi(), nullptr);
}

void TestMainWindow::detailPageBeforeAndAfterOwnSum() {
  Window_->ImportFiles(MixedBatch());
  Select({"20060105 : VHF", "SM5ABC"});
  const QList<std::pair<const char*, QString>> claimed{
      {"txtDate", "20060105"},     {"txtContest", "????"},       {"txtUsedCall", "SM5ABC"}, {"txtCall", "SM5ABC"},
      {"txtLocator", "JO99BH"},    {"txtClaimedDxScore", "600"}, {"txtDxScore", "600"},     {"txtWorkedSquares", "4"},
      {"txtApprovedSquares", "4"}, {"txtSquareBonus", "2000"},   {"txtClaimed", "2600"},    {"txtScore", "2600"},
      {"txtClub", "SK5AA"}};
  for (const auto& [name, text] : claimed) QCOMPARE(Edit(name)->text(), text);
  QCOMPARE(Edit("txtContest")->palette().color(QPalette::Base), Window_->palette().color(QPalette::Highlight));
  QVERIFY(Child("lblLogErrors")->isVisible());
  QCOMPARE(qobject_cast<QLabel*>(Child("lblLogErrors"))->text(),
           QStringLiteral("Loggens information överensstämmer ej med testens regler"));
  QVERIFY(Child("lblLogComments")->isVisible());
  QVERIFY(!Child("lblEDIErrors")->isVisible());

  QTest::mouseClick(Child("spdSumLog"), Qt::LeftButton);
  QCOMPARE(Edit("txtDxScore")->text(), QStringLiteral("594"));
  QCOMPARE(Edit("txtApprovedSquares")->text(), QStringLiteral("4"));
  QCOMPARE(Edit("txtSquareBonus")->text(), QStringLiteral("2000"));
  QCOMPARE(Edit("txtScore")->text(), QStringLiteral("2594"));
  QCOMPARE(Edit("txtClaimed")->text(), QStringLiteral("2600"));

  // What is typed into the page is not kept.
  Edit("txtClub")->setText(QStringLiteral("SK0XX"));
  Select({"20060105 : VHF", "SM6XYZ"});
  QVERIFY(Child("lblEDIErrors")->isVisible());
  QVERIFY(!Child("lblLogErrors")->isVisible());
  QVERIFY(!Child("lblLogComments")->isVisible());
  Select({"20060105 : VHF", "SM5ABC"});
  QCOMPARE(Edit("txtClub")->text(), QStringLiteral("SK5AA"));
  QCOMPARE(Edit("txtDxScore")->text(), QStringLiteral("594"));
}

void TestMainWindow::groupSelectionHidesDistanceFields() {
  Window_->ImportFiles(MixedBatch());
  Select({"20060105 : VHF", "SM5ABC"});
  Select({"20060124 : Mikro", "SM7MIK"});
  for (const char* name :
       {"txtClaimedDxScore", "txtDxScore", "txtWorkedSquares", "txtApprovedSquares", "txtSquareBonus",
        "lblClaimedDxScore", "lblDxScore", "lblWorkedSquares", "lblApprovedSquares", "lblSquareBonus"}) {
    QVERIFY2(Child(name)->isHidden(), name);
  }
  QVERIFY(Edit("txtDxScore")->isReadOnly());
  QCOMPARE(Edit("txtDate")->text(), QStringLiteral("20060124"));
  QCOMPARE(Edit("txtUsedCall")->text(), QStringLiteral("SM7MIK"));
  QCOMPARE(Edit("txtClaimed")->text(), QStringLiteral("1264"));
  QCOMPARE(Edit("txtScore")->text(), QStringLiteral("1264"));

  Select({"20060105 : VHF", "SM5ABC"});
  QVERIFY(!Child("txtDxScore")->isHidden());
  QVERIFY(!Edit("txtDxScore")->isReadOnly());
  QVERIFY(!Edit("txtApprovedSquares")->isReadOnly());
  QCOMPARE(Edit("txtDxScore")->palette().color(QPalette::Base), Window_->palette().color(QPalette::Base));
}

void TestMainWindow::labelsShowTheViewers() {
  Window_->ImportFiles(MixedBatch());
  Select({"20060105 : VHF", "SM6XYZ"});
  Button("btnViewEDI")->click();
  QVERIFY(Window_->EdiText().isVisible());
  QTest::mouseClick(Child("lblEDIErrors"), Qt::LeftButton);
  QVERIFY(Window_->EdiText().isVisible());
  Button("btnViewEDI")->click();
  QVERIFY(Window_->EdiText().isHidden());
  QTest::mouseClick(Child("lblEDIErrors"), Qt::LeftButton);
  QVERIFY(Window_->EdiText().isVisible());

  Select({"20060105 : VHF", "SM5ABC"});
  QVERIFY(Window_->ImportView().isHidden());
  QTest::mouseClick(Child("lblLogErrors"), Qt::LeftButton);
  QVERIFY(Window_->ImportView().isVisible());
  QTest::mouseClick(Child("lblLogErrors"), Qt::LeftButton);
  QVERIFY(Window_->ImportView().isVisible());
  Button("btnViewLog")->click();
  QVERIFY(Window_->ImportView().isHidden());
}

void TestMainWindow::callFieldValidatesOnExit() {
  Window_->ImportFiles(MixedBatch());
  Select({"20060105 : VHF", "SM5ABC"});
  QLineEdit* call = Edit("txtCall");
  const QColor normal = call->palette().color(QPalette::Base);
  call->setFocus();
  QTRY_VERIFY(call->hasFocus());
  call->clear();
  Edit("txtClub")->setFocus();
  QTRY_COMPARE(call->palette().color(QPalette::Base), QColor(Qt::red));
  QCOMPARE(call->palette().color(QPalette::Text), QColor(Qt::black));
  QVERIFY(!call->hasFocus());

  call->setFocus();
  QTRY_VERIFY(call->hasFocus());
  call->setText(QStringLiteral("SM5ABC/P"));
  Edit("txtClub")->setFocus();
  QTRY_COMPARE(call->palette().color(QPalette::Base), normal);
  call->setFocus();
  QTRY_VERIFY(call->hasFocus());
  call->setText(QStringLiteral("SM5ABC/MM1"));
  Edit("txtClub")->setFocus();
  QTRY_COMPARE(call->palette().color(QPalette::Base), QColor(Qt::red));
}

void TestMainWindow::creditsButtonShowsAboutBoxModally() {
  TfrmAbout about(BuildVersionStrings());
  Window_->SetAboutBox(&about);
  QSignalSpy finished(&about, &QDialog::finished);
  bool wasModal = false;
  QTimer::singleShot(0, &about, [&] {
    wasModal = about.isVisible() && about.isModal();
    qobject_cast<QPushButton*>(about.findChild<QWidget*>(QStringLiteral("OKButton")))->click();
  });
  Button("btnCredits")->click();
  QVERIFY(wasModal);
  QCOMPARE(finished.count(), 1);
  QCOMPARE(finished.at(0).at(0).toInt(), int(QDialog::Accepted));
}

void TestMainWindow::closingWithBothViewersOpenFreesSafely() {
  Window_->ImportFiles(MixedBatch());
  Select({"20060105 : VHF", "SM5ABC"});
  Button("btnViewEDI")->click();
  Button("btnViewLog")->click();
  QVERIFY(Window_->ImportView().isVisible());
  QVERIFY(Window_->EdiText().isVisible());
  TfrmImportView* view = &Window_->ImportView();
  TfrmEdiText* text = &Window_->EdiText();

  QTest::mouseClick(Button("btnExit"), Qt::LeftButton);
  QVERIFY(Window_->isHidden());
  QCOMPARE(view->Checker(), nullptr);
  QCOMPARE(view->Edi(), nullptr);
  QCOMPARE(text->Edi(), nullptr);
  QCOMPARE(Window_->Session().Logs().size(), std::size_t{0});
  QCOMPARE(Window_->Outline().topLevelItemCount(), 0);
  // Whatever the viewers still paint or are asked now touches no freed log.
  view->show();
  text->show();
  view->grab();
  text->grab();
  view->lbLogErrorsClick(0);
  text->lbErrorsClick(0);
  text->lbEDIFileClick(0);
  view->grdQSOsMouseDown(0, 1);
  view->PopupMenu1Popup();
  view->PopupMenu().findChild<QAction*>(QStringLiteral("itmQSOInvalid"))->trigger();
  QCoreApplication::processEvents();
  Window_.reset();
}

void TestMainWindow::tabRunsDownToTheClub() {
  Window_->ImportFiles(MixedBatch());
  Select({"20060105 : VHF", "SM5ABC"});
  QWidget* credits = Child("btnCredits");
  credits->setFocus();
  QTRY_VERIFY(credits->hasFocus());
  // From the credits button Tab visits the fields the judge may change, top
  // to bottom, and ends on the club under the accepted total.
  QStringList visited;
  int lastTop = -1;
  for (int i = 0; i < 5; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QWidget* focus = QApplication::focusWidget();
    visited.append(focus->objectName());
    QVERIFY2(focus->y() > lastTop, qPrintable(focus->objectName()));
    lastTop = focus->y();
  }
  QCOMPARE(visited, (QStringList{"txtCall", "txtDxScore", "txtApprovedSquares", "txtScore", "txtClub"}));
  QCOMPARE(Edit("txtClub")->x(), Edit("txtScore")->x());
  QCOMPARE(Child("lblClub")->y() + 15, Edit("txtClub")->y());
  // The labels below the fields stay clear of the club and of the credits button.
  for (const char* name : {"lblEDIErrors", "lblLogErrors", "lblLogComments"}) {
    QVERIFY2(Child(name)->y() > Edit("txtClub")->geometry().bottom(), name);
    QVERIFY2(!Child(name)->geometry().intersects(credits->geometry()), name);
  }
}

void TestMainWindow::outlineTellsLogsApart() {
  // Twelve unreadable logs of one long folder, and logs of one call.
  const QString folder = QStringLiteral("/nonexistent/loggrevy/tävlingar 2026/kvartalstestet i mars/inkomna loggar");
  QStringList paths;
  for (int i = 0; i < 212; ++i) paths.append(folder + QStringLiteral("/logg%1.edi").arg(i));
  QTemporaryDir dir;
  const QString tenGig = dir.filePath(QStringLiteral("10g.edi"));
  QVERIFY(CopyFile(DataPath("sm7mik-10g.edi"), tenGig));
  paths += {DataPath("sm5abc-144.edi"), DataPath("sm6xyz-144.edi"), tenGig, DataPath("sm7mik-24g.edi")};
  Window_->ImportFiles(paths);
  QTreeWidget& tree = Window_->Outline();

  QTreeWidgetItem* last = FindItem(tree, {"Ej läsbar EDI-fil"})->child(211);
  struct TExpected {
    QStringList Node;
    QString ToolTip;
  };
  const TExpected expected[] = {
      {{"Ej läsbar EDI-fil", folder + "/logg211.edi"},
       folder + "/logg211.edi\nEj läsbar EDI-fil\nEDI filen innehåller fel."},
      {{"20060105 : VHF", "SM5ABC"},
       DataPath("sm5abc-144.edi") + "\n20060105 : VHF\nLoggens information överensstämmer ej med testens regler"},
      {{"20060105 : VHF", "SM6XYZ"}, DataPath("sm6xyz-144.edi") + "\n20060105 : VHF\nEDI filen innehåller fel."},
      {{"20060124 : Mikro", "SM7MIK", "10 GHz"}, tenGig + "\n20060124 : Mikro"},
      // Contests and groups are told apart by their text.
      {{"20060124 : Mikro", "SM7MIK"}, QString()},
      {{"20060105 : VHF"}, QString()},
  };
  for (const TExpected& e : expected) {
    QTreeWidgetItem* item = FindItem(tree, e.Node);
    QVERIFY2(item != nullptr, qPrintable(e.Node.join(QLatin1Char('/'))));
    QCOMPARE(item->toolTip(0), e.ToolTip);
  }
  // Hovering shows it.
  tree.scrollToItem(last);
  const QPoint at = tree.visualItemRect(last).center();
  QHelpEvent hover(QEvent::ToolTip, at, tree.viewport()->mapToGlobal(at));
  QCoreApplication::sendEvent(tree.viewport(), &hover);
  QTRY_COMPARE(QToolTip::text(), expected[0].ToolTip);
  QToolTip::hideText();

  // A reload that makes a log unreadable says so in its tooltip.
  QVERIFY(CopyFile(DataPath("version2.edi"), tenGig));
  Window_->ImportFiles({tenGig});
  QCOMPARE(FindItem(tree, expected[3].Node)->toolTip(0), tenGig + "\nEj läsbar EDI-fil\nEDI filen innehåller fel.");

  // The outline scrolls sideways to the end of the longest path.
  QScrollBar* bar = tree.horizontalScrollBar();
  QVERIFY(bar->maximum() > 0);
  bar->setValue(bar->maximum());
  const QRect text = tree.visualItemRect(last);
  QVERIFY2(text.right() <= tree.viewport()->width(), qPrintable(QString::number(text.right())));
  QVERIFY(tree.header()->sectionSize(0) >=
          tree.indentation() * 2 + tree.fontMetrics().horizontalAdvance(last->text(0)));
}

void TestMainWindow::qtTextsAreSwedish() {
  // The context menu of an edit field, opened by a right click.
  QLineEdit* club = Edit("txtClub");
  const QPoint at = club->rect().center();
  QContextMenuEvent menu(QContextMenuEvent::Mouse, at, club->mapToGlobal(at));
  QCoreApplication::sendEvent(club, &menu);
  QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
  QStringList entries;
  for (QAction* action : QApplication::activePopupWidget()->actions()) {
    entries.append(action->text().section(QLatin1Char('\t'), 0, 0));
  }
  QApplication::activePopupWidget()->close();
  QVERIFY2(entries.contains(QStringLiteral("&Ångra")), qPrintable(entries.join(QLatin1Char('|'))));
  QVERIFY(entries.contains(QStringLiteral("Markera alla")));

  // The file dialog of "&Välj loggar": its cancel button, and its message for
  // a name that does not exist.
  QString cancel;
  QString notFound;
  QTimer::singleShot(0, Window_.get(), [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    auto* buttons = dialog->findChild<QDialogButtonBox*>();
    cancel = buttons->button(QDialogButtonBox::Cancel)->text();
    QTimer::singleShot(0, dialog, [&notFound] {
      auto* message = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (message == nullptr) return;
      notFound = message->text();
      message->accept();
    });
    dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("finns-inte.edi"));
    // The open button stays off for a name that does not exist; the dialog
    // is asked to accept the name as it is.
    QMetaObject::invokeMethod(dialog, "accept");
    dialog->reject();
  });
  TDialogFileChooser chooser;
  QCOMPARE(chooser.ChooseLogs(Window_.get()), QStringList());
  QCOMPARE(cancel, QStringLiteral("Avbryt"));
  QVERIFY2(notFound.contains(QStringLiteral("Filen hittades inte")), qPrintable(notFound));
}

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
