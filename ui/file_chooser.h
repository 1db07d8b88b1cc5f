#pragma once

#include <QStringList>

class QWidget;

namespace loggrevy {

// Asks the judge for the EDI files to import. The main window is handed one,
// so tests can answer without a modal dialog.
class IFileChooser {
 public:
  virtual ~IFileChooser() = default;
  // The chosen existing files in the dialog's order; empty when cancelled.
  virtual QStringList ChooseLogs(QWidget* parent) = 0;
};

// The file dialog dlgSelectLogs: several existing files, every file shown.
class TDialogFileChooser final : public IFileChooser {
 public:
  QStringList ChooseLogs(QWidget* parent) override;
};

}  // namespace loggrevy
