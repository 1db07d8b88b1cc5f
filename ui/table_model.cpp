#include "ui/table_model.h"

#include <QBrush>

#include "ui/qtext.h"

namespace loggrevy {

TTableModel::TTableModel(QStringList header, std::vector<bool> rightAligned, QObject* parent)
    : QAbstractTableModel(parent), Header_(std::move(header)), RightAligned_(std::move(rightAligned)) {
  RightAligned_.resize(static_cast<std::size_t>(Header_.size()), false);
}

int TTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(Rows_.size());
}

int TTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(Header_.size());
}

QVariant TTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
  const auto& row = Rows_[static_cast<std::size_t>(index.row())];
  if (static_cast<std::size_t>(index.column()) >= row.size()) return {};
  const TTableCell& cell = row[static_cast<std::size_t>(index.column())];
  switch (role) {
    case Qt::DisplayRole: return cell.Text;
    case Qt::UserRole: return cell.SortKey.isValid() ? cell.SortKey : QVariant(cell.Text);
    case Qt::BackgroundRole: return cell.Background.isValid() ? QVariant(QBrush(cell.Background)) : QVariant();
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(
          Qt::AlignVCenter |
          (RightAligned_[static_cast<std::size_t>(index.column())] ? Qt::AlignRight : Qt::AlignLeft));
    default: return {};
  }
}

QVariant TTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= Header_.size()) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  if (role == Qt::DisplayRole) return Header_[section];
  if (role == Qt::ToolTipRole && section < ToolTips_.size()) return ToolTips_[section];
  return {};
}

void TTableModel::SetRows(std::vector<std::vector<TTableCell>> rows) {
  beginResetModel();
  Rows_ = std::move(rows);
  endResetModel();
}

void TTableModel::SetRow(int row, std::vector<TTableCell> cells) {
  if (row < 0 || row >= rowCount()) return;
  Rows_[static_cast<std::size_t>(row)] = std::move(cells);
  emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

const QString& TTableModel::Text(int row, int column) const {
  static const QString empty;
  if (row < 0 || row >= rowCount() || column < 0) return empty;
  const auto& cells = Rows_[static_cast<std::size_t>(row)];
  return static_cast<std::size_t>(column) < cells.size() ? cells[static_cast<std::size_t>(column)].Text : empty;
}

TTableCell NumberCell(long long value) { return {IntText(value), QVariant(value), {}}; }

TTableCell TextCell(QString text) { return {std::move(text), {}, {}}; }

}  // namespace loggrevy
