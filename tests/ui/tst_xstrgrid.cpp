// The coloured string grid on its own: header lists, change reporting,
// alignment and colour events, 3D edges, and the model contract.

#include <QAbstractItemModelTester>
#include <QPainter>
#include <QSignalSpy>
#include <QtTest>

#include "ui/import_view.h"
#include "ui/xstrgrid.h"

using namespace loggrevy;

class TestXStrGrid : public QObject {
  Q_OBJECT

 private slots:
  void modelKeepsItsContract();
  void headerRowFollowsHCol_data();
  void headerRowFollowsHCol();
  void emptyHRowEmptiesColumnZeroAtLoad();
  void sameTextTwiceReportsOneChange();
  void updateBracketReportsOnce();
  void alignmentDefaultsToLeft();
  void colourEventChangesOneCellOnly();
  void threeDEdgesNeedBothLineKinds();
  void formatsDistancesAndGeneralNumbers_data();
  void formatsDistancesAndGeneralNumbers();
};

void TestXStrGrid::modelKeepsItsContract() {
  TXStrGrid grid;
  QAbstractItemModelTester tester(&grid.Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
  grid.SetColCount(10);
  grid.SetRowCount(50);
  for (int r = 0; r < 50; ++r) grid.SetCell(r % 10, r, QString::number(r));
  grid.SetRowCount(3);
  grid.SetColCount(4);
  grid.BeginUpdate();
  grid.SetRowCount(200);
  grid.SetCell(3, 199, QStringLiteral("last"));
  grid.SetRowCount(5);  // the noted change is now outside the grid
  grid.EndUpdate();
  QCOMPARE(grid.Model().rowCount(), 4);
  QCOMPARE(grid.Cell(3, 199), QString());
  QCOMPARE(grid.Cell(1, 1), QStringLiteral("1"));
  QCOMPARE(grid.Model().headerData(0, Qt::Horizontal).toString(), QStringLiteral("0"));
}

void TestXStrGrid::headerRowFollowsHCol_data() {
  QTest::addColumn<int>("texts");
  QTest::addColumn<QStringList>("row0");
  QTest::newRow("all ten") << 10 << QStringList{"h0", "h1", "h2", "h3", "h4", "h5", "h6", "h7", "h8", "h9"};
  QTest::newRow("three") << 3 << QStringList{"h0", "h1", "h2", "", "", "", "", "", "", ""};
  QTest::newRow("twelve") << 12 << QStringList{"h0", "h1", "h2", "h3", "h4", "h5", "h6", "h7", "h8", "h9"};
}

void TestXStrGrid::headerRowFollowsHCol() {
  QFETCH(int, texts);
  QFETCH(QStringList, row0);
  TXStrGrid grid;
  grid.SetColCount(10);
  grid.SetRowCount(3);
  grid.SetHCol(QStringList(10, QStringLiteral("old")));
  QStringList hcol;
  for (int i = 0; i < texts; ++i) hcol.append(QStringLiteral("h%1").arg(i));
  grid.SetHCol(hcol);
  QStringList shown;
  for (int c = 0; c < grid.ColCount(); ++c) shown.append(grid.Model().headerData(c, Qt::Horizontal).toString());
  QCOMPARE(shown, row0);
}

void TestXStrGrid::emptyHRowEmptiesColumnZeroAtLoad() {
  TXStrGrid grid;
  grid.SetColCount(3);
  grid.SetRowCount(4);
  for (int r = 1; r < 4; ++r) grid.SetCell(0, r, QStringLiteral("x"));
  grid.SetCell(1, 2, QStringLiteral("kept"));
  grid.Loaded();
  QCOMPARE(grid.Cell(0, 1), QString());
  QCOMPARE(grid.Cell(0, 3), QString());
  QCOMPARE(grid.Cell(1, 2), QStringLiteral("kept"));
  grid.SetHRow({QStringLiteral("a"), QStringLiteral("b")});
  QCOMPARE(grid.Cell(0, 1), QStringLiteral("a"));
  QCOMPARE(grid.Cell(0, 2), QStringLiteral("b"));
  QCOMPARE(grid.Cell(0, 3), QString());
}

void TestXStrGrid::sameTextTwiceReportsOneChange() {
  TXStrGrid grid;
  grid.SetColCount(3);
  grid.SetRowCount(3);
  QSignalSpy changed(&grid.Model(), &QAbstractItemModel::dataChanged);
  QSignalSpy header(&grid.Model(), &QAbstractItemModel::headerDataChanged);
  grid.SetCell(2, 1, QStringLiteral("SM5ABC"));
  grid.SetCell(2, 1, QStringLiteral("SM5ABC"));
  QCOMPARE(changed.count(), 1);
  QCOMPARE(changed.at(0).at(0).toModelIndex(), grid.Model().index(0, 2));
  grid.SetCell(1, 0, QStringLiteral("UTC"));
  grid.SetCell(1, 0, QStringLiteral("UTC"));
  QCOMPARE(header.count(), 1);
  QCOMPARE(changed.count(), 1);
}

void TestXStrGrid::updateBracketReportsOnce() {
  TXStrGrid grid;
  grid.SetColCount(4);
  grid.SetRowCount(100);
  QSignalSpy changed(&grid.Model(), &QAbstractItemModel::dataChanged);
  grid.BeginUpdate();
  for (int r = 5; r < 60; ++r) grid.SetCell(1 + r % 2, r, QStringLiteral("v"));
  QCOMPARE(changed.count(), 0);
  grid.EndUpdate();
  QCOMPARE(changed.count(), 1);
  QCOMPARE(changed.at(0).at(0).toModelIndex(), grid.Model().index(4, 1));
  QCOMPARE(changed.at(0).at(1).toModelIndex(), grid.Model().index(58, 2));
}

void TestXStrGrid::alignmentDefaultsToLeft() {
  TXStrGrid grid;
  grid.SetColCount(3);
  grid.SetRowCount(3);
  grid.SetOnGetAlignment([](TXStrGrid&, int, int, Qt::Alignment&) {});
  QCOMPARE(grid.CellAlignment(0, 0), Qt::Alignment(Qt::AlignLeft));
  QCOMPARE(grid.CellAlignment(2, 2), Qt::Alignment(Qt::AlignLeft));
  grid.SetAlignment(Qt::AlignRight);
  QCOMPARE(grid.CellAlignment(1, 1), Qt::Alignment(Qt::AlignRight));
}

void TestXStrGrid::colourEventChangesOneCellOnly() {
  TXStrGrid grid;
  grid.SetColCount(2);
  grid.SetRowCount(3);
  grid.SetOnGetCellColor([](TXStrGrid&, int row, int col, const TCellState&, TCellStyle& style) {
    if (row == 1 && col == 1) {
      style.TextColor = Qt::red;
      style.Brush = QBrush(Qt::yellow);
    }
  });
  const TCellState normal;
  QCOMPARE(grid.CellStyle(1, 1, normal).TextColor, QColor(Qt::red));
  QCOMPARE(grid.CellStyle(1, 0, normal).TextColor, grid.palette().color(QPalette::Text));
  QCOMPARE(grid.CellStyle(2, 1, normal).Brush.color(), grid.palette().color(QPalette::Base));

  // The painted cell carries the colours the event chose.
  QImage image(40, 18, QImage::Format_RGB32);
  image.fill(Qt::white);
  grid.SetCell(1, 1, QStringLiteral("WWW"));
  {
    QPainter painter(&image);
    grid.DrawCell(painter, image.rect(), 1, 1, normal);
  }
  QCOMPARE(QColor(image.pixel(20, 1)), QColor(Qt::yellow));
  bool red = false;
  for (int x = 0; x < image.width() && !red; ++x) {
    for (int y = 0; y < image.height() && !red; ++y) {
      const QColor c(image.pixel(x, y));
      red = c.red() > 150 && c.green() < 100 && c.blue() < 100;
    }
  }
  QVERIFY2(red, "the cell text is not drawn in red");
}

void TestXStrGrid::threeDEdgesNeedBothLineKinds() {
  TXStrGrid grid;
  grid.SetColCount(2);
  grid.SetRowCount(2);
  QPalette pal = grid.palette();
  pal.setColor(QPalette::HighlightedText, Qt::green);
  pal.setColor(QPalette::Base, Qt::white);
  grid.setPalette(pal);
  grid.SetGrid3D(true);
  const auto edgeAt = [&grid](bool vertical, bool horizontal) {
    grid.SetGridLines(vertical, horizontal);
    QImage image(30, 18, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    grid.DrawCell(painter, image.rect(), 1, 1, TCellState{});
    painter.end();
    return QColor(image.pixel(0, 5));
  };
  QCOMPARE(edgeAt(true, true), QColor(Qt::green));
  QCOMPARE(edgeAt(false, true), QColor(Qt::white));
  QCOMPARE(edgeAt(true, false), QColor(Qt::white));
}

void TestXStrGrid::formatsDistancesAndGeneralNumbers_data() {
  QTest::addColumn<double>("value");
  QTest::addColumn<QString>("distance");
  QTest::addColumn<QString>("general");
  QTest::newRow("41.52 km") << 41.52 << "41,5"
                            << "41,52";
  QTest::newRow("zero") << 0.0 << "0,0"
                        << "0";
  QTest::newRow("single 612.3") << static_cast<double>(612.3f) << "612,3"
                                << "612,299987792969";
  QTest::newRow("whole") << 523.0 << "523,0"
                         << "523";
  QTest::newRow("invalid claim") << -1.0 << "-1,0"
                                 << "-1";
  QTest::newRow("huge") << 1e20 << "100000000000000000000,0"
                        << "1E20";
  QTest::newRow("tiny") << 0.00001 << "0,0"
                        << "1E-5";
}

void TestXStrGrid::formatsDistancesAndGeneralNumbers() {
  QFETCH(double, value);
  QFETCH(QString, distance);
  QFETCH(QString, general);
  QCOMPARE(FormatDistance(value, ','), distance);
  QCOMPARE(FormatGeneral(value, ','), general);
  QCOMPARE(FormatDistance(value, '.'), QString(distance).replace(QLatin1Char(','), QLatin1Char('.')));
}

QTEST_MAIN(TestXStrGrid)
#include "tst_xstrgrid.moc"
