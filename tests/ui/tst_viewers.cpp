// The log view, the EDI text view and the about box, handed logs by the real
// main window: the QSO grid and its judgements, colours, messages, the EDI
// lines with their diagnostics, and the version strings.

#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSplitter>
#include <QTemporaryDir>
#include <QtTest>

#include <string>

#include "edi/reg1test.h"
#include "ui/about.h"
#include "ui/edi_text.h"
#include "ui/fonts.h"
#include "ui/import_view.h"
#include "ui/qt_translation.h"
#include "ui/xstrgrid.h"
#include "ui_test_support.h"

using namespace loggrevy;
using namespace loggrevy::test;

class TestViewers : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void init();
  void cleanup();

  void logViewHasItsLayout();
  void gridShowsQsosWithComputedFigures();
  void pointsColumnIsColouredByComparison();
  void judgementsFromMenuUpdateGridAndPage();
  void rightClickOutsideQsoRowsOffersNoJudgement();
  void messageClickMovesToQsoRow();
  void cleanLogHidesMessagePanel();
  void groupSelectionClearsLogView();
  void ediTextShowsBoldLinesAndLinksSelections();
  void ediTextWithNoLogIgnoresClicks();
  void ediTextHasItsLayout();
  void anotherLogStartsAtTheTop();
  void headValuesStayInTheirCells();
  void aboutBoxShowsVersionStrings();
  void aboutBoxWithoutStringsKeepsDesignTexts();
  void fillsLargeLog();

 private:
  void SelectLog(const QStringList& path);
  void RightClickRow(int row, int col = 2);
  QLineEdit* Edit(const char* name) const { return Window_->findChild<QLineEdit*>(QString::fromLatin1(name)); }
  QAction* Item(const char* name) const {
    return Window_->ImportView().PopupMenu().findChild<QAction*>(QString::fromLatin1(name));
  }

  std::unique_ptr<TfrmImport> Window_;
};

void TestViewers::initTestCase() {
  InstallFontSubstitutes();
  QVERIFY(InstallSwedishQtTexts(*QCoreApplication::instance()));
}

void TestViewers::init() {
  Window_ = MakeMainWindow();
  Window_->show();
  QVERIFY(QTest::qWaitForWindowExposed(Window_.get()));
  Window_->ImportFiles(
      {DataPath("sm5abc-144.edi"), DataPath("sm6xyz-144.edi"), DataPath("sm7mik-10g.edi"), DataPath("sm7mik-24g.edi")});
}

void TestViewers::cleanup() { Window_.reset(); }

void TestViewers::SelectLog(const QStringList& path) {
  QTreeWidgetItem* item = FindItem(Window_->Outline(), path);
  QVERIFY(item != nullptr);
  Window_->Outline().setCurrentItem(item);
}

void TestViewers::RightClickRow(int row, int col) {
  TXStrGrid& grid = Window_->ImportView().Grid();
  grid.scrollTo(grid.Model().index(row - 1, col));
  const QPoint at = grid.visualRect(grid.Model().index(row - 1, col)).center();
  QTest::mousePress(grid.viewport(), Qt::RightButton, {}, at);
  QContextMenuEvent menu(QContextMenuEvent::Mouse, at, grid.viewport()->mapToGlobal(at));
  QCoreApplication::sendEvent(grid.viewport(), &menu);
  QTest::mouseRelease(grid.viewport(), Qt::RightButton, {}, at);
}

void TestViewers::logViewHasItsLayout() {
  TfrmImportView& view = Window_->ImportView();
  QCOMPARE(view.windowTitle(), QStringLiteral("Aktuell Log"));
  QCOMPARE(view.minimumSize(), QSize(640, 480));
  QCOMPARE(view.maximumWidth(), 640);
  QCOMPARE(view.findChild<QWidget*>(QStringLiteral("pbHead"))->size(), QSize(626, 171));
  QCOMPARE(view.findChild<QWidget*>(QStringLiteral("Panel3"))->height(), 177);
  TXStrGrid& grid = view.Grid();
  QCOMPARE(grid.objectName(), QStringLiteral("grdQSOs"));
  QCOMPARE(grid.ColCount(), 10);
  const QStringList headers{"QSOnr",   "UTC",   "STATION", "RST-S",   "RST-R",
                            "LOKATOR", "POÄNG", "(QRB)",   "(Poäng)", "Bedömn."};
  const int widths[] = {62, 43, 88, 62, 62, 67, 53, 51, 52, 56};
  for (int c = 0; c < 10; ++c) {
    QCOMPARE(grid.Cell(c, 0), headers.at(c));
    QCOMPARE(grid.columnWidth(c), widths[c]);
  }
  QCOMPARE(grid.verticalHeader()->defaultSectionSize(), 18);
  QVERIFY(!grid.Grid3D());
  QCOMPARE(grid.CellAlignment(0, 3), Qt::Alignment(Qt::AlignHCenter));
  for (int c : {0, 6, 7, 8}) QCOMPARE(grid.CellAlignment(1, c), Qt::Alignment(Qt::AlignRight));
  for (int c : {1, 2, 3, 4, 5, 9}) QCOMPARE(grid.CellAlignment(1, c), Qt::Alignment(Qt::AlignLeft));
  QStringList menu;
  for (QAction* action : view.PopupMenu().actions()) menu.append(action->isSeparator() ? "-" : action->text());
  QCOMPARE(menu, (QStringList{"SMnZZZ", "-", "QSO Ok", "Felaktig (-100%)", "Dublettkontakt (-1000%)"}));
  QVERIFY(!Item("itmCall")->isEnabled());
  QVERIFY(view.findChild<QWidget*>(QStringLiteral("Panel2"))->isHidden());
}

void TestViewers::gridShowsQsosWithComputedFigures() {
  SelectLog({"20060105 : VHF", "SM5ABC"});
  const TXStrGrid& grid = Window_->ImportView().Grid();
  QCOMPARE(grid.RowCount(), 7);
  const QStringList rows[] = {
      {"1", "1805", "SM5BXQ", "59", "59", "JO99BM", "24", "23,2", "24", ""},
      {"2", "1810", "SM4KLT", "59", "59", "JP70TM", "250", "193,6", "194", ""},
      {"3", "1815", "SM0DFP", "59", "59", "JO89OR", "60", "69,4", "70", ""},
      // Flagged as a duplicate in the file, and a partner locator of four characters.
      {"4", "1820", "SM5EPO", "59", "59", "JO99FF", "22", "-", "0", ""},
      {"5", "1825", "OH1LEU", "59", "59", "KP01SL", "306", "305,3", "306", ""},
      {"6", "1830", "SM5XYZ", "59", "59", "JO89", "10", "-", "0", ""},
  };
  for (int r = 1; r <= 6; ++r) {
    QStringList shown;
    for (int c = 0; c < 10; ++c) shown.append(grid.Cell(c, r));
    QCOMPARE(shown, rows[r - 1]);
  }
}

void TestViewers::pointsColumnIsColouredByComparison() {
  SelectLog({"20060105 : VHF", "SM5ABC"});
  TfrmImportView& view = Window_->ImportView();
  const TXStrGrid& grid = view.Grid();
  const QColor text = grid.palette().color(QPalette::Text);
  const TCellState normal;
  QCOMPARE(grid.CellStyle(1, 6, normal).TextColor, text);              // 24 claimed, 24 computed
  QCOMPARE(grid.CellStyle(2, 6, normal).TextColor, QColor(Qt::red));   // 250 against 194
  QCOMPARE(grid.CellStyle(3, 6, normal).TextColor, QColor(Qt::blue));  // 60 against 70
  QCOMPARE(grid.CellStyle(6, 6, normal).TextColor, QColor(Qt::red));   // 10 against 0
  QCOMPARE(grid.CellStyle(2, 8, normal).TextColor, text);
  QCOMPARE(grid.CellStyle(2, 7, normal).TextColor, text);

  // And so it is painted.
  view.show();
  QVERIFY(QTest::qWaitForWindowExposed(&view));
  const QRect cell = grid.visualRect(grid.Model().index(1, 6));
  const QImage image = grid.viewport()->grab(cell).toImage();
  bool red = false;
  for (int x = 0; x < image.width() && !red; ++x) {
    for (int y = 0; y < image.height() && !red; ++y) {
      const QColor c(image.pixel(x, y));
      red = c.red() > 150 && c.green() < 100 && c.blue() < 100;
    }
  }
  QVERIFY2(red, "claimed points above the computed ones are not painted red");
}

void TestViewers::judgementsFromMenuUpdateGridAndPage() {
  SelectLog({"20060105 : VHF", "SM5ABC"});
  Window_->findChild<QWidget*>(QStringLiteral("spdSumLog"))->setFocus();
  QTest::mouseClick(Window_->findChild<QWidget*>(QStringLiteral("spdSumLog")), Qt::LeftButton);
  QCOMPARE(Edit("txtDxScore")->text(), QStringLiteral("594"));

  TfrmImportView& view = Window_->ImportView();
  view.show();
  QVERIFY(QTest::qWaitForWindowExposed(&view));
  QSignalSpy judged(&view, &TfrmImportView::JudgementChanged);
  const TXStrGrid& grid = view.Grid();
  QMenu& menu = view.PopupMenu();

  struct TStep {
    const char* Item;
    QString Points, Judgement, DxScore, Squares, Bonus, Total;
  };
  const TStep steps[] = {
      // SM4KLT's 194 points go, and with them its square JP70.
      {"itmQSOInvalid", "0", "-100%", "400", "3", "1500", "1900"},
      // A duplicate counts minus ten times its points; its square counts again.
      {"itmQSODuplicate", "-1940", "-1000%", "-1540", "4", "2000", "460"},
      {"itmQSOOk", "194", "", "594", "4", "2000", "2594"},
  };
  int count = 0;
  for (const TStep& step : steps) {
    RightClickRow(2, 4);
    QTRY_VERIFY(menu.isVisible());
    QCOMPARE(Item("itmCall")->text(), QStringLiteral("SM4KLT"));
    QCOMPARE(grid.Row(), 2);
    QVERIFY(Item(step.Item)->isEnabled());
    Item(step.Item)->trigger();
    menu.hide();
    QCOMPARE(judged.count(), ++count);
    QCOMPARE(judged.last().at(0).value<QObject*>(), Item(step.Item));
    QCOMPARE(grid.Cell(8, 2), step.Points);
    QCOMPARE(grid.Cell(9, 2), step.Judgement);
    QCOMPARE(grid.Cell(7, 2), QStringLiteral("193,6"));  // the distance waits for the next fill
    QCOMPARE(Edit("txtDxScore")->text(), step.DxScore);
    QCOMPARE(Edit("txtApprovedSquares")->text(), step.Squares);
    QCOMPARE(Edit("txtSquareBonus")->text(), step.Bonus);
    QCOMPARE(Edit("txtScore")->text(), step.Total);
    QCOMPARE(Edit("txtClaimed")->text(), QStringLiteral("2600"));
    // A negative score does not fit the mask; it is shown whole without it.
    QCOMPARE(Edit("txtDxScore")->inputMask().isEmpty(), step.DxScore.startsWith(QLatin1Char('-')));
    // POÄNG is red while the claim exceeds what the QSO now gives.
    const QColor colour = grid.CellStyle(2, 6, TCellState{}).TextColor;
    QCOMPARE(colour, QColor(Qt::red));
  }

  // Selected again, the judged QSO of an invalid verdict shows 0.0 km.
  RightClickRow(2);
  QTRY_VERIFY(menu.isVisible());
  Item("itmQSOInvalid")->trigger();
  menu.hide();
  SelectLog({"20060105 : VHF", "SM6XYZ"});
  SelectLog({"20060105 : VHF", "SM5ABC"});
  QCOMPARE(grid.Cell(7, 2), QStringLiteral("0,0"));
  QCOMPARE(grid.Cell(9, 2), QStringLiteral("-100%"));
}

void TestViewers::rightClickOutsideQsoRowsOffersNoJudgement() {
  SelectLog({"20060105 : VHF", "SM5ABC"});
  TfrmImportView& view = Window_->ImportView();
  view.show();
  QVERIFY(QTest::qWaitForWindowExposed(&view));
  TXStrGrid& grid = view.Grid();
  const TNacChecker* checker = view.Checker();
  QSignalSpy judged(&view, &TfrmImportView::JudgementChanged);

  // The header row.
  QHeaderView* header = grid.horizontalHeader();
  const QPoint onHeader(header->sectionViewportPosition(2) + 5, header->height() / 2);
  QTest::mousePress(header->viewport(), Qt::RightButton, {}, onHeader);
  QCOMPARE(view.ClickRow(), 0);
  view.PopupMenu1Popup();
  for (const char* name : {"itmQSOOk", "itmQSOInvalid", "itmQSODuplicate"}) {
    QVERIFY2(!Item(name)->isEnabled(), name);
    Item(name)->trigger();
  }
  // Below the last row.
  const QPoint below(20, grid.viewport()->height() - 3);
  QTest::mousePress(grid.viewport(), Qt::RightButton, {}, below);
  QCOMPARE(view.ClickRow(), -1);
  QContextMenuEvent menu(QContextMenuEvent::Mouse, below, grid.viewport()->mapToGlobal(below));
  QCoreApplication::sendEvent(grid.viewport(), &menu);
  QTRY_VERIFY(view.PopupMenu().isVisible());
  QVERIFY(!Item("itmQSOInvalid")->isEnabled());
  view.PopupMenu().hide();
  QCOMPARE(judged.count(), 0);
  for (int64_t i = 0; i < 6; ++i) QCOMPARE(checker->GetPenalty(i), uint8_t{kPenaltyNone});

  // A QSO row enables them again.
  RightClickRow(5);
  QTRY_VERIFY(view.PopupMenu().isVisible());
  QVERIFY(Item("itmQSOInvalid")->isEnabled());
  QCOMPARE(Item("itmCall")->text(), QStringLiteral("OH1LEU"));
  view.PopupMenu().hide();
}

void TestViewers::messageClickMovesToQsoRow() {
  SelectLog({"20060105 : VHF", "SM5ABC"});
  TfrmImportView& view = Window_->ImportView();
  view.show();
  QVERIFY(QTest::qWaitForWindowExposed(&view));
  QListWidget& list = view.MessageList();
  QStringList texts;
  for (int i = 0; i < list.count(); ++i) texts.append(list.item(i)->text());
  QCOMPARE(texts, (QStringList{"Varning: Krävd poäng avviker starkt från verklig för SM4KLT",
                               "Angiven lokator för motstationen är syntaktiskt felaktig",
                               "Felaktigt antal giltiga QSO:n angivet"}));
  QVERIFY(view.findChild<QWidget*>(QStringLiteral("Panel2"))->isVisible());
  QCOMPARE(list.font().pixelSize(), 13);

  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.item(1)).center());
  QCOMPARE(view.Grid().Row(), 6);
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.item(0)).center());
  QCOMPARE(view.Grid().Row(), 2);
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.item(2)).center());
  QCOMPARE(view.Grid().Row(), 2);
}

void TestViewers::cleanLogHidesMessagePanel() {
  SelectLog({"20060105 : VHF", "SM5ABC"});
  TfrmImportView& view = Window_->ImportView();
  view.show();
  QVERIFY(QTest::qWaitForWindowExposed(&view));
  QVERIFY(view.findChild<QWidget*>(QStringLiteral("Panel2"))->isVisible());
  SelectLog({"20060105 : VHF", "SM6XYZ"});
  QCOMPARE(view.MessageList().count(), 0);
  QVERIFY(view.findChild<QWidget*>(QStringLiteral("Panel2"))->isHidden());
  QCOMPARE(view.Grid().RowCount(), 3);
}

void TestViewers::groupSelectionClearsLogView() {
  SelectLog({"20060105 : VHF", "SM5ABC"});
  SelectLog({"20060124 : Mikro", "SM7MIK"});
  const TfrmImportView& view = Window_->ImportView();
  QCOMPARE(view.Checker(), nullptr);
  QCOMPARE(view.Grid().RowCount(), 2);
  for (int c = 0; c < 10; ++c) QCOMPARE(view.Grid().Cell(c, 1), QString());
  QCOMPARE(view.Grid().Cell(6, 0), QStringLiteral("POÄNG"));
  QCOMPARE(view.MessageList().count(), 0);
}

void TestViewers::ediTextShowsBoldLinesAndLinksSelections() {
  SelectLog({"20060105 : VHF", "SM6XYZ"});
  TfrmEdiText& text = Window_->EdiText();
  QCOMPARE(text.windowTitle(), QStringLiteral("EDI fil för import"));
  QListWidget& lines = text.EdiFileList();
  QListWidget& errors = text.ErrorList();
  QCOMPARE(lines.item(0)->text(), QStringLiteral("[REG1TEST;1]"));
  QCOMPARE(lines.item(1)->text(), QStringLiteral("Foo=bar"));
  QList<int> bold;
  for (int r = 0; r < lines.count(); ++r) {
    if (text.IsBoldRow(r)) bold.append(r);
  }
  QCOMPARE(bold, (QList<int>{1, 3}));
  QStringList shown;
  for (int r = 0; r < errors.count(); ++r) shown.append(errors.item(r)->text());
  QCOMPARE(shown, (QStringList{"Okänt nyckelord", "Duplikat på nyckelord", "Nyckelordet SPOWE saknas."}));

  text.show();
  QVERIFY(QTest::qWaitForWindowExposed(&text));
  QSignalSpy lineChanges(&lines, &QListWidget::currentRowChanged);
  QSignalSpy errorChanges(&errors, &QListWidget::currentRowChanged);
  QTest::mouseClick(errors.viewport(), Qt::LeftButton, {}, errors.visualItemRect(errors.item(1)).center());
  QCOMPARE(lines.currentRow(), 3);
  QCOMPARE(lineChanges.count(), 0);  // selected by the program: no click of its own
  QTest::mouseClick(errors.viewport(), Qt::LeftButton, {}, errors.visualItemRect(errors.item(2)).center());
  QCOMPARE(lines.currentRow(), -1);
  QVERIFY(lines.selectedItems().isEmpty());

  const qsizetype errorClicks = errorChanges.count();
  QTest::mouseClick(lines.viewport(), Qt::LeftButton, {}, lines.visualItemRect(lines.item(1)).center());
  QCOMPARE(errors.currentRow(), 0);
  QCOMPARE(errorChanges.count(), errorClicks);
  QTest::mouseClick(lines.viewport(), Qt::LeftButton, {}, lines.visualItemRect(lines.item(0)).center());
  QCOMPARE(errors.currentRow(), -1);
  QCOMPARE(lines.visualItemRect(lines.item(0)).height(), 16);
}

void TestViewers::ediTextWithNoLogIgnoresClicks() {
  SelectLog({"20060105 : VHF", "SM5ABC"});
  TfrmEdiText& text = Window_->EdiText();
  QVERIFY(text.EdiFileList().count() > 0);
  QCOMPARE(text.ErrorList().count(), 0);
  QVERIFY(!text.IsBoldRow(0));
  text.SetLog(nullptr);
  QCOMPARE(text.EdiFileList().count(), 0);
  QCOMPARE(text.ErrorList().count(), 0);
  text.lbErrorsClick(0);
  text.lbEDIFileClick(3);
  QCOMPARE(text.EdiFileList().currentRow(), -1);
}

void TestViewers::ediTextHasItsLayout() {
  TfrmEdiText& text = Window_->EdiText();
  text.show();
  QVERIFY(QTest::qWaitForWindowExposed(&text));
  QCOMPARE(text.size(), QSize(640, 480));
  // The error list is 56 pixels high and the splitter between the two lists
  // 3, as in the log view; the panels keep a border of 2 along the window.
  const QRect lines(text.EdiFileList().mapTo(&text, QPoint(0, 0)), text.EdiFileList().size());
  const QRect errors(text.ErrorList().mapTo(&text, QPoint(0, 0)), text.ErrorList().size());
  QCOMPARE(errors.height(), 56);
  QCOMPARE(errors.top() - lines.bottom() - 1, 3);
  QCOMPARE(lines.top(), 2);
  QCOMPARE(errors.bottom(), text.height() - 1 - 2);
  QCOMPARE(errors.left(), 2);
  QCOMPARE(errors.right(), text.width() - 1 - 2);
  QCOMPARE(text.findChild<QSplitter*>(QStringLiteral("Splitter1"))->handleWidth(), 3);
  // Made larger, the window gives the room to the file's lines.
  text.resize(640, 600);
  QTRY_COMPARE(text.EdiFileList().height(), 600 - 2 - 3 - 56 - 2);
  QCOMPARE(text.ErrorList().height(), 56);
}

void TestViewers::anotherLogStartsAtTheTop() {
  // Two long logs: one file under two spellings of its path.
  Window_->ImportFiles({DataPath("sm4lng-144.edi"), QStringLiteral(LOGGREVY_UI_TEST_DATA "/./sm4lng-144.edi")});
  QTreeWidgetItem* contest = FindItem(Window_->Outline(), {"20060105 : VHF"});
  QCOMPARE(contest->child(3)->text(0), QStringLiteral("SM4LNG"));
  TfrmImportView& view = Window_->ImportView();
  TfrmEdiText& text = Window_->EdiText();
  view.show();
  text.show();
  QVERIFY(QTest::qWaitForWindowExposed(&view));
  QVERIFY(QTest::qWaitForWindowExposed(&text));
  TXStrGrid& grid = view.Grid();
  QListWidget& lines = text.EdiFileList();

  QTreeWidget& tree = Window_->Outline();
  tree.setCurrentItem(contest->child(2));
  for (QTreeWidgetItem* next : {contest->child(3), contest->child(2), contest->child(2)}) {
    // The judge was deep down in the QSOs and the file of the log shown.
    grid.SetCurrentCell(5, 35);
    lines.setCurrentRow(lines.count() - 1);
    QCoreApplication::processEvents();
    QVERIFY(grid.verticalScrollBar()->value() > 0);
    QVERIFY(lines.verticalScrollBar()->value() > 0);

    // The log handed next (another one, or the same one clicked again)
    // starts at the top with nothing marked.
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.visualItemRect(next).center());
    QCOMPARE(tree.currentItem(), next);
    QCoreApplication::processEvents();
    QCOMPARE(grid.RowCount(), 41);
    QCOMPARE(grid.verticalScrollBar()->value(), 0);
    QCOMPARE(grid.horizontalScrollBar()->value(), 0);
    QCOMPARE(grid.Row(), 0);
    QVERIFY(grid.selectionModel()->selectedIndexes().isEmpty());
    QCOMPARE(lines.count(), 81);
    QCOMPARE(lines.verticalScrollBar()->value(), 0);
    QCOMPARE(lines.currentRow(), -1);
  }
}

void TestViewers::headValuesStayInTheirCells() {
  // Every header text a file may make long, and the cell of the printed form
  // it is written in (between the form's lines).
  struct TField {
    std::string TReg1Test::*Value;
    QRect Cell;
  };
  const auto cell = [](int left, int top, int right, int bottom) {
    return QRect(QPoint(left, top), QPoint(right, bottom));
  };
  const TField fields[] = {
      {&TReg1Test::PBand, cell(101, 0, 294, 29)},    {&TReg1Test::TDateStart, cell(296, 0, 399, 29)},
      {&TReg1Test::PCall, cell(401, 0, 625, 29)},    {&TReg1Test::RName, cell(0, 31, 399, 49)},
      {&TReg1Test::PWWLo, cell(401, 31, 625, 49)},   {&TReg1Test::RAdr1, cell(0, 51, 399, 69)},
      {&TReg1Test::RAdr2, cell(0, 71, 399, 89)},     {&TReg1Test::PSect, cell(0, 91, 399, 110)},
      {&TReg1Test::STXEq, cell(0, 112, 399, 130)},   {&TReg1Test::SAnte, cell(0, 132, 399, 150)},
      {&TReg1Test::MOpe1, cell(0, 152, 399, 170)},   {&TReg1Test::CODXCCall, cell(401, 132, 625, 150)},
      {&TReg1Test::PClub, cell(401, 152, 625, 170)},
  };
  TReg1Test edi;
  edi.ReadFinished = true;
  THeadBox box(',', nullptr);
  box.SetEdi(&edi);
  const QImage empty = box.grab().toImage();
  const std::string longText(80, 'W');
  for (const TField& field : fields) {
    edi.*field.Value = longText;
    const QImage drawn = box.grab().toImage();
    (edi.*field.Value).clear();
    bool inside = false;
    for (int y = 0; y < drawn.height(); ++y) {
      for (int x = 0; x < drawn.width(); ++x) {
        const bool same = drawn.pixel(x, y) == empty.pixel(x, y);
        if (field.Cell.contains(x, y)) {
          inside = inside || !same;
        } else if (!same) {
          QFAIL(qPrintable(QStringLiteral("a value of the cell %1,%2 is drawn at %3,%4")
                               .arg(field.Cell.x())
                               .arg(field.Cell.y())
                               .arg(x)
                               .arg(y)));
        }
      }
    }
    QVERIFY(inside);
  }
}

void TestViewers::aboutBoxShowsVersionStrings() {
  TfrmAbout about(BuildVersionStrings());
  QCOMPARE(about.windowTitle(), QStringLiteral("Om"));
  QCOMPARE(about.size(), QSize(373, 266));
  const auto label = [&about](const char* name) { return about.findChild<QLabel*>(QString::fromLatin1(name))->text(); };
  QCOMPARE(label("ProductName"), QStringLiteral("ZRL aktivitetstester VOVIR"));
  QCOMPARE(label("Version"), QStringLiteral("Version 1.7.0.0"));
  QCOMPARE(label("lblComments"), QStringLiteral("Updaterat för 2006"));
  QVERIFY(label("Copyright").startsWith(QStringLiteral("Copyright ©")));
  QCOMPARE(
      label("Comments"),
      QStringLiteral("Programmet är avsett för sammanräkning av resultaten i ZRL:s aktivitets och kvartalstester."));
  QVERIFY(!about.findChild<QLabel*>(QStringLiteral("ProgramIcon"))->pixmap().isNull());
  auto* ok = about.findChild<QPushButton*>(QStringLiteral("OKButton"));
  QCOMPARE(ok->text(), QStringLiteral("&Ok"));
  QCOMPARE(ok->geometry(), QRect(139, 223, 96, 33));
  about.show();
  QVERIFY(QTest::qWaitForWindowExposed(&about));
  QSignalSpy accepted(&about, &QDialog::accepted);
  QTest::mouseClick(ok, Qt::LeftButton);
  QCOMPARE(accepted.count(), 1);
  QVERIFY(about.isHidden());
}

void TestViewers::aboutBoxWithoutStringsKeepsDesignTexts() {
  TVersionStrings onlyComment;
  onlyComment.Comments = QStringLiteral("Bara kommentar");
  TfrmAbout bare(TVersionStrings{});
  TfrmAbout partial(onlyComment);
  const auto label = [](const TfrmAbout& about, const char* name) {
    return about.findChild<QLabel*>(QString::fromLatin1(name))->text();
  };
  QCOMPARE(label(bare, "Version"), QStringLiteral("Version kunde ej bestämmas"));
  QCOMPARE(label(bare, "lblComments"), QString());
  QCOMPARE(label(partial, "Version"), QStringLiteral("Version kunde ej bestämmas"));
  QCOMPARE(label(partial, "lblComments"), QStringLiteral("Bara kommentar"));
  QCOMPARE(label(partial, "Copyright"), label(bare, "Copyright"));
}

void TestViewers::fillsLargeLog() {
  // 10 000 QSOs: the grid is filled in one pass; the time is reported, not judged.
  QTemporaryDir dir;
  QFile source(DataPath("sm5abc-144.edi"));
  QVERIFY(source.open(QIODevice::ReadOnly));
  QByteArray head = source.readAll();
  head.truncate(head.indexOf("[QSORecords;"));
  QByteArray body = "[QSORecords;10000]\r\n";
  for (int i = 0; i < 10000; ++i) {
    body += QByteArray("060105;") + QByteArray::number(1800 + i % 60) + ";SM" + QByteArray::number(i % 8) + "A" +
            QByteArray::number(i) + ";1;59;;59;;;JO99BM;24;;N;;\r\n";
  }
  const QString path = dir.filePath(QStringLiteral("large.edi"));
  QFile large(path);
  QVERIFY(large.open(QIODevice::WriteOnly));
  large.write(head + body);
  large.close();
  Window_->ImportFiles({path});
  QTreeWidgetItem* item = FindItem(Window_->Outline(), {"20060105 : VHF"})->child(2);
  QElapsedTimer timer;
  timer.start();
  Window_->Outline().setCurrentItem(item);
  qInfo("selecting a log of 10000 QSOs took %lld ms", static_cast<long long>(timer.elapsed()));
  const TXStrGrid& grid = Window_->ImportView().Grid();
  QCOMPARE(grid.RowCount(), 10001);
  QCOMPARE(grid.Cell(0, 10000), QStringLiteral("10000"));
  QCOMPARE(grid.Cell(2, 10000), QStringLiteral("SM7A9999"));
  QCOMPARE(grid.Cell(7, 10000), QStringLiteral("23,2"));
}

QTEST_MAIN(TestViewers)
#include "tst_viewers.moc"
