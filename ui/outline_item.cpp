#include "ui/outline_item.h"

#include "model/implog.h"
#include "model/labels.h"
#include "ui/qtext.h"

namespace loggrevy {

QString LogToolTip(const TLog& log) {
  QStringList lines{PathToQString(log.Path()), ToQString(log.GetCaption())};
  if (log.GetEdiStatus() != 0) lines.append(ToQString(labels::kEdiErrors));
  if (log.GetCheckStatus() != 0) lines.append(ToQString(labels::CheckStatusCaption(log.GetCheckStatus())));
  return lines.join(QLatin1Char('\n'));
}

QVariant TOutlineItem::data(int column, int role) const {
  if (role == Qt::ToolTipRole && Log_ != nullptr) return LogToolTip(*Log_);
  return QTreeWidgetItem::data(column, role);
}

}  // namespace loggrevy
