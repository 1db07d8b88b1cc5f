#include "ui/file_chooser.h"

#include <QFileDialog>

namespace loggrevy {

QStringList TDialogFileChooser::ChooseLogs(QWidget* parent) {
  // "*" rather than "*.*": on this platform a name need not have a dot to be a log.
  return QFileDialog::getOpenFileNames(parent, QStringLiteral("Välj loggar"), QString(),
                                       QStringLiteral("Alla filer (*)"));
}

}  // namespace loggrevy
