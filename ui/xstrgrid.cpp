#include "ui/xstrgrid.h"

#include <QHeaderView>
#include <QPainter>

#include <algorithm>

namespace loggrevy {

namespace {
const QString kEmpty;
}

TXStrGridModel::TXStrGridModel(QObject* parent) : QAbstractTableModel(parent), Cells_(1) {}

int TXStrGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : Rows_ - 1; }

int TXStrGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : Cols_; }

QVariant TXStrGridModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
  if (role == Qt::DisplayRole) return Cell(index.column(), index.row() + 1);
  return {};
}

QVariant TXStrGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= Cols_) return {};
  if (role == Qt::DisplayRole) return Cell(section, 0);
  if (HeaderStyle) return HeaderStyle(section, role);
  return {};
}

void TXStrGridModel::SetRowCount(int rows) {
  rows = std::max(rows, 1);
  if (rows == Rows_) return;
  const auto newSize = static_cast<std::size_t>(rows) * static_cast<std::size_t>(Cols_);
  if (rows > Rows_) {
    beginInsertRows(QModelIndex(), Rows_ - 1, rows - 2);
    Cells_.resize(newSize);
    Rows_ = rows;
    endInsertRows();
  } else {
    beginRemoveRows(QModelIndex(), rows - 1, Rows_ - 2);
    Cells_.resize(newSize);
    Rows_ = rows;
    endRemoveRows();
  }
}

void TXStrGridModel::SetColCount(int cols) {
  cols = std::max(cols, 1);
  if (cols == Cols_) return;
  std::vector<QString> cells(static_cast<std::size_t>(Rows_) * static_cast<std::size_t>(cols));
  const int keep = std::min(cols, Cols_);
  for (int r = 0; r < Rows_; ++r) {
    for (int c = 0; c < keep; ++c) {
      cells[static_cast<std::size_t>(r * cols + c)] = std::move(Cells_[static_cast<std::size_t>(r * Cols_ + c)]);
    }
  }
  if (cols > Cols_) {
    beginInsertColumns(QModelIndex(), Cols_, cols - 1);
    Cells_ = std::move(cells);
    Cols_ = cols;
    endInsertColumns();
  } else {
    beginRemoveColumns(QModelIndex(), cols, Cols_ - 1);
    Cells_ = std::move(cells);
    Cols_ = cols;
    endRemoveColumns();
  }
}

const QString& TXStrGridModel::Cell(int col, int row) const {
  if (col < 0 || col >= Cols_ || row < 0 || row >= Rows_) return kEmpty;
  return Cells_[static_cast<std::size_t>(row) * static_cast<std::size_t>(Cols_) + static_cast<std::size_t>(col)];
}

bool TXStrGridModel::SetCell(int col, int row, const QString& text) {
  if (col < 0 || col >= Cols_ || row < 0 || row >= Rows_) return false;
  QString& cell =
      Cells_[static_cast<std::size_t>(row) * static_cast<std::size_t>(Cols_) + static_cast<std::size_t>(col)];
  if (cell == text) return false;
  cell = text;
  NoteChange(col, row);
  return true;
}

void TXStrGridModel::NoteChange(int col, int row) {
  if (UpdateDepth_ == 0) {
    if (row == 0) {
      emit headerDataChanged(Qt::Horizontal, col, col);
    } else {
      const QModelIndex at = index(row - 1, col);
      emit dataChanged(at, at, {Qt::DisplayRole});
    }
    return;
  }
  if (row == 0) {
    HeaderDirty_ = true;
    return;
  }
  if (DirtyTop_ < 0) {
    DirtyTop_ = DirtyBottom_ = row;
    DirtyLeft_ = DirtyRight_ = col;
  } else {
    DirtyTop_ = std::min(DirtyTop_, row);
    DirtyBottom_ = std::max(DirtyBottom_, row);
    DirtyLeft_ = std::min(DirtyLeft_, col);
    DirtyRight_ = std::max(DirtyRight_, col);
  }
}

void TXStrGridModel::BeginUpdate() { ++UpdateDepth_; }

void TXStrGridModel::EndUpdate() {
  if (UpdateDepth_ == 0 || --UpdateDepth_ > 0) return;
  if (HeaderDirty_) {
    HeaderDirty_ = false;
    emit headerDataChanged(Qt::Horizontal, 0, Cols_ - 1);
  }
  if (DirtyTop_ >= 0) {
    // Rows may have been removed since the change was noted.
    const int bottom = std::min(DirtyBottom_, Rows_ - 1);
    const int right = std::min(DirtyRight_, Cols_ - 1);
    if (DirtyTop_ <= bottom && DirtyLeft_ <= right) {
      emit dataChanged(index(DirtyTop_ - 1, DirtyLeft_), index(bottom - 1, right), {Qt::DisplayRole});
    }
    DirtyTop_ = DirtyBottom_ = DirtyLeft_ = DirtyRight_ = -1;
  }
}

TXStrGrid::TXStrGrid(QWidget* parent) : QTableView(parent), Model_(new TXStrGridModel(this)) {
  Model_->HeaderStyle = [this](int col, int role) { return HeaderStyle(col, role); };
  setModel(Model_);
  setItemDelegate(new TXStrGridDelegate(*this));
  setShowGrid(false);  // the cells draw their own lines, one direction at a time
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setWordWrap(false);
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setMinimumSectionSize(1);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setSectionsClickable(false);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  horizontalHeader()->setMinimumSectionSize(1);
  SetDefaultRowHeight(18);
}

void TXStrGrid::SetColCount(int cols) { Model_->SetColCount(cols); }

void TXStrGrid::SetColWidth(int col, int width) { setColumnWidth(col, width); }

void TXStrGrid::SetDefaultRowHeight(int height) {
  verticalHeader()->setDefaultSectionSize(height);
  horizontalHeader()->setFixedHeight(height);
}

void TXStrGrid::SetHCol(const QStringList& texts) {
  HCol_ = texts;
  WriteHeaderRow();
  viewport()->update();
}

void TXStrGrid::SetHRow(const QStringList& texts) {
  HRow_ = texts;
  WriteHeaderColumn();
  viewport()->update();
}

void TXStrGrid::Loaded() {
  WriteHeaderRow();
  WriteHeaderColumn();
}

void TXStrGrid::WriteHeaderRow() {
  for (int c = 0; c < ColCount(); ++c) SetCell(c, 0, c < HCol_.size() ? HCol_.at(c) : QString());
}

void TXStrGrid::WriteHeaderColumn() {
  for (int r = 1; r < RowCount(); ++r) SetCell(0, r, r - 1 < HRow_.size() ? HRow_.at(r - 1) : QString());
}

void TXStrGrid::SetGrid3D(bool on) {
  if (on == Grid3D_) return;
  Grid3D_ = on;
  viewport()->update();
}

void TXStrGrid::SetAlignment(Qt::Alignment alignment) {
  if (alignment == Alignment_) return;
  Alignment_ = alignment;
  viewport()->update();
  horizontalHeader()->viewport()->update();
}

void TXStrGrid::SetDefaultDrawing(bool on) {
  if (on == DefaultDrawing_) return;
  DefaultDrawing_ = on;
  viewport()->update();
}

void TXStrGrid::SetGridLines(bool vertical, bool horizontal) {
  VertLines_ = vertical;
  HorzLines_ = horizontal;
  viewport()->update();
}

int TXStrGrid::Row() const {
  const QModelIndex current = currentIndex();
  return current.isValid() ? current.row() + 1 : 0;
}

int TXStrGrid::Col() const {
  const QModelIndex current = currentIndex();
  return current.isValid() ? current.column() : 0;
}

void TXStrGrid::SetCurrentCell(int col, int row) {
  if (row < 1 || row >= RowCount() || col < 0 || col >= ColCount()) return;
  const QModelIndex at = Model_->index(row - 1, col);
  setCurrentIndex(at);
  scrollTo(at);
}

QPoint TXStrGrid::CellAt(const QPoint& viewportPos) const {
  const QModelIndex at = indexAt(viewportPos);
  if (!at.isValid()) return {-1, -1};
  return {at.column(), at.row() + 1};
}

QPoint TXStrGrid::HeaderCellAt(const QPoint& headerPos) const {
  const int col = horizontalHeader()->logicalIndexAt(headerPos);
  if (col < 0) return {-1, -1};
  return {col, 0};
}

Qt::Alignment TXStrGrid::CellAlignment(int row, int col) const {
  Qt::Alignment alignment = Alignment_;
  if (OnGetAlignment_) OnGetAlignment_(const_cast<TXStrGrid&>(*this), row, col, alignment);
  return alignment;
}

TCellStyle TXStrGrid::CellStyle(int row, int col, const TCellState& state) const {
  const QPalette& pal = palette();
  TCellStyle style;
  style.Font = font();
  if (state.Fixed) {
    style.Brush = pal.button();
    style.TextColor = pal.color(QPalette::ButtonText);
  } else if (state.Selected) {
    style.Brush = pal.highlight();
    style.TextColor = pal.color(QPalette::HighlightedText);
  } else {
    style.Brush = pal.base();
    style.TextColor = pal.color(QPalette::Text);
  }
  if (OnGetCellColor_) OnGetCellColor_(const_cast<TXStrGrid&>(*this), row, col, state, style);
  return style;
}

QVariant TXStrGrid::HeaderStyle(int col, int role) const {
  switch (role) {
    case Qt::TextAlignmentRole: return QVariant::fromValue(CellAlignment(0, col) | Qt::AlignVCenter);
    case Qt::ForegroundRole: return CellStyle(0, col, TCellState{false, false, true}).TextColor;
    case Qt::FontRole: return CellStyle(0, col, TCellState{false, false, true}).Font;
    default: return {};
  }
}

void TXStrGrid::DrawCell(QPainter& painter, const QRect& rect, int col, int row, const TCellState& state) const {
  const TCellStyle style = CellStyle(row, col, state);
  painter.save();
  if (DefaultDrawing_) {
    painter.fillRect(rect, style.Brush);
    // One text line, vertically centred, two pixels in from either side.
    const QFontMetrics metrics(style.Font);
    const int h = metrics.height();
    const int top = (rect.top() + rect.bottom() + 1 - h) / 2;
    const QRect textRect(QPoint(rect.left() + 2, top), QPoint(rect.right() - 2, top + h - 1));
    painter.setFont(style.Font);
    painter.setPen(style.TextColor);
    painter.setClipRect(textRect);
    const Qt::Alignment horizontal = CellAlignment(row, col) & Qt::AlignHorizontal_Mask;
    painter.drawText(textRect,
                     static_cast<int>(horizontal | Qt::AlignVCenter | Qt::TextExpandTabs | Qt::TextSingleLine),
                     Cell(col, row));
    painter.setClipping(false);
  } else if (OnDrawCell_) {
    OnDrawCell_(const_cast<TXStrGrid&>(*this), painter, rect, row, col, state);
  }
  const QColor lineColor = palette().color(QPalette::Mid);
  painter.setPen(lineColor);
  if (VertLines_) painter.drawLine(rect.topRight(), rect.bottomRight());
  if (HorzLines_) painter.drawLine(rect.bottomLeft(), rect.bottomRight());
  if (Grid3D_ && VertLines_ && HorzLines_) {
    painter.setPen(palette().color(QPalette::HighlightedText));
    const QPoint points[3] = {QPoint(rect.left(), rect.bottom() - 1), rect.topLeft(),
                              QPoint(rect.right() - 1, rect.top())};
    painter.drawPolyline(points, 3);
  }
  painter.restore();
}

TXStrGridDelegate::TXStrGridDelegate(TXStrGrid& grid) : QStyledItemDelegate(&grid), Grid_(grid) {}

void TXStrGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  TCellState state;
  state.Selected = (option.state & QStyle::State_Selected) != 0;
  state.Focused = (option.state & QStyle::State_HasFocus) != 0;
  Grid_.DrawCell(*painter, option.rect, index.column(), index.row() + 1, state);
}

QSize TXStrGridDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  Q_UNUSED(index);
  return {option.rect.width(), Grid_.verticalHeader()->defaultSectionSize()};
}

}  // namespace loggrevy
