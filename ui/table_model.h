#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QStringList>
#include <QVariant>

#include <vector>

namespace loggrevy {

// One cell of a TTableModel: its text, what it sorts by (the text when
// invalid) and its background (none when invalid).
struct TTableCell {
  QString Text;
  QVariant SortKey;
  QColor Background;
};

// A table of texts for the windows' read-only lists, filled in one go.
// Qt::UserRole gives the sort key.
class TTableModel final : public QAbstractTableModel {
  Q_OBJECT

 public:
  // rightAligned: the columns of figures.
  TTableModel(QStringList header, std::vector<bool> rightAligned, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  void SetRows(std::vector<std::vector<TTableCell>> rows);
  // Replaces one row with as many cells.
  void SetRow(int row, std::vector<TTableCell> cells);
  void SetHeaderToolTips(QStringList tips) { ToolTips_ = std::move(tips); }
  const QString& Text(int row, int column) const;

 private:
  QStringList Header_;
  QStringList ToolTips_;
  std::vector<bool> RightAligned_;
  std::vector<std::vector<TTableCell>> Rows_;
};

// Cells of a number, sorting as one.
TTableCell NumberCell(long long value);
TTableCell TextCell(QString text);

}  // namespace loggrevy
