#include "ui/import_names.h"

#include <QFileInfo>

namespace loggrevy {

QStringList LeaveOutFolders(const QStringList& names, const std::function<void(const QString&)>& leftOut) {
  QStringList kept;
  for (const QString& name : names) {
    if (QFileInfo(name).isDir()) {
      if (leftOut) leftOut(name);
      continue;
    }
    kept.append(name);
  }
  return kept;
}

}  // namespace loggrevy
