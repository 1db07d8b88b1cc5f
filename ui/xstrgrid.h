#pragma once

#include <QAbstractTableModel>
#include <QBrush>
#include <QColor>
#include <QFont>
#include <QStringList>
#include <QStyledItemDelegate>
#include <QTableView>

#include <functional>
#include <vector>

namespace loggrevy {

class TXStrGrid;

// How a cell is drawn: Fixed for the header row, Selected and Focused for the
// grid's current cell.
struct TCellState {
  bool Selected = false;
  bool Focused = false;
  bool Fixed = false;
};

// The brush that fills a cell and the font (with its colour) that draws its
// text. A colour handler changes them for one cell; the grid starts afresh
// from its own colours for the next cell.
struct TCellStyle {
  QBrush Brush;
  QFont Font;
  QColor TextColor;
};

using TGridColorEvent =
    std::function<void(TXStrGrid& sender, int row, int col, const TCellState& state, TCellStyle& style)>;
// alignment arrives holding the grid's Alignment; the handler may overwrite it.
using TGridAlignEvent = std::function<void(TXStrGrid& sender, int row, int col, Qt::Alignment& alignment)>;
// Draws a cell when DefaultDrawing is off.
using TGridDrawCellEvent = std::function<void(TXStrGrid& sender, QPainter& painter, const QRect& rect, int row, int col,
                                              const TCellState& state)>;

// The texts of a grid of RowCount x ColCount cells. Grid row 0 is the fixed
// header row: views show it as their horizontal header, and model row r is grid
// row r + 1.
class TXStrGridModel final : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit TXStrGridModel(QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  int RowCount() const { return Rows_; }
  int ColCount() const { return Cols_; }
  // Counts below 1 are taken as 1: the header row and one column always exist.
  void SetRowCount(int rows);
  void SetColCount(int cols);

  // Empty outside the grid.
  const QString& Cell(int col, int row) const;
  // Writes only a changed text and reports only that change; false when the
  // text was already there or the cell is outside the grid.
  bool SetCell(int col, int row, const QString& text);

  // Between these, changes are collected and reported once at the end.
  void BeginUpdate();
  void EndUpdate();

  // Asked for the header row's alignment and colours.
  std::function<QVariant(int col, int role)> HeaderStyle;

 private:
  void NoteChange(int col, int row);

  int Rows_ = 1;
  int Cols_ = 1;
  std::vector<QString> Cells_;  // row-major, Rows_ x Cols_
  int UpdateDepth_ = 0;
  int DirtyTop_ = -1, DirtyBottom_ = -1, DirtyLeft_ = -1, DirtyRight_ = -1;
  bool HeaderDirty_ = false;
};

// A text grid with a fixed header row whose owner colours and aligns the cells
// while they are drawn. Rows and columns are addressed as grid rows: row 0 is
// the header.
class TXStrGrid : public QTableView {
  Q_OBJECT

 public:
  explicit TXStrGrid(QWidget* parent = nullptr);

  int RowCount() const { return Model_->RowCount(); }
  void SetRowCount(int rows) { Model_->SetRowCount(rows); }
  int ColCount() const { return Model_->ColCount(); }
  void SetColCount(int cols);
  void SetColWidth(int col, int width);
  void SetDefaultRowHeight(int height);

  const QString& Cell(int col, int row) const { return Model_->Cell(col, row); }
  void SetCell(int col, int row, const QString& text) { Model_->SetCell(col, row, text); }
  void BeginUpdate() { Model_->BeginUpdate(); }
  void EndUpdate() { Model_->EndUpdate(); }

  const QStringList& HCol() const { return HCol_; }
  void SetHCol(const QStringList& texts);
  const QStringList& HRow() const { return HRow_; }
  void SetHRow(const QStringList& texts);
  // Rewrites the header row and column from HCol and HRow, as after loading.
  void Loaded();

  void SetOnGetCellColor(TGridColorEvent handler) { OnGetCellColor_ = std::move(handler); }
  void SetOnGetAlignment(TGridAlignEvent handler) { OnGetAlignment_ = std::move(handler); }
  void SetOnDrawCell(TGridDrawCellEvent handler) { OnDrawCell_ = std::move(handler); }

  bool Grid3D() const { return Grid3D_; }
  void SetGrid3D(bool on);
  Qt::Alignment Alignment() const { return Alignment_; }
  void SetAlignment(Qt::Alignment alignment);
  bool DefaultDrawing() const { return DefaultDrawing_; }
  void SetDefaultDrawing(bool on);
  bool VertLines() const { return VertLines_; }
  bool HorzLines() const { return HorzLines_; }
  void SetGridLines(bool vertical, bool horizontal);

  // The current cell; Row() is 0 when there is none.
  int Row() const;
  int Col() const;
  void SetCurrentCell(int col, int row);
  // The grid cell under a point of the viewport or the header: (col, row), or
  // (-1, -1) outside the cells.
  QPoint CellAt(const QPoint& viewportPos) const;
  QPoint HeaderCellAt(const QPoint& headerPos) const;

  TXStrGridModel& Model() const { return *Model_; }

  // Draws one body cell as the grid does: colour event, text, 3D edge, lines.
  void DrawCell(QPainter& painter, const QRect& rect, int col, int row, const TCellState& state) const;
  // The alignment of a cell after the alignment event.
  Qt::Alignment CellAlignment(int row, int col) const;
  // The style of a cell after the colour event.
  TCellStyle CellStyle(int row, int col, const TCellState& state) const;

 private:
  void WriteHeaderRow();
  void WriteHeaderColumn();
  QVariant HeaderStyle(int col, int role) const;

  TXStrGridModel* Model_;
  QStringList HCol_;
  QStringList HRow_;
  TGridColorEvent OnGetCellColor_;
  TGridAlignEvent OnGetAlignment_;
  TGridDrawCellEvent OnDrawCell_;
  bool Grid3D_ = false;
  Qt::Alignment Alignment_ = Qt::AlignLeft;
  bool DefaultDrawing_ = true;
  bool VertLines_ = true;
  bool HorzLines_ = true;
};

// Hands every body cell to TXStrGrid::DrawCell.
class TXStrGridDelegate final : public QStyledItemDelegate {
  Q_OBJECT

 public:
  explicit TXStrGridDelegate(TXStrGrid& grid);
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  TXStrGrid& Grid_;
};

}  // namespace loggrevy
