#pragma once

#include <QString>
#include <QTreeWidgetItem>

namespace loggrevy {

class TLog;

// What a log node's tooltip tells: the full path of the file, the contest
// caption and, one a line, the red labels the detail page would show.
QString LogToolTip(const TLog& log);

// A node of the outline. A log node answers for its tooltip from the log
// itself, so a reload shows the new caption and status.
class TOutlineItem final : public QTreeWidgetItem {
 public:
  TOutlineItem(const QString& text, const TLog* log) : QTreeWidgetItem(QStringList(text)), Log_(log) {}
  QVariant data(int column, int role) const override;

 private:
  const TLog* Log_;
};

}  // namespace loggrevy
