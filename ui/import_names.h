#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace loggrevy {

// The names among those dropped on the main window or given on the command
// line that an import reads, in order: folders are left out, each told to
// leftOut when one is given.
QStringList LeaveOutFolders(const QStringList& names, const std::function<void(const QString&)>& leftOut = {});

}  // namespace loggrevy
