#pragma once

#include <QWidget>

class QListWidget;
class QSplitter;

namespace loggrevy {

class TLog;
class TReg1Test;

// The EDI text view "EDI fil för import": the lines of a log's file, the lines
// that carry a reader diagnostic in bold, and the diagnostics below. It only
// borrows the reader of the log it is handed.
class TfrmEdiText final : public QWidget {
  Q_OBJECT

 public:
  explicit TfrmEdiText(QWidget* parent = nullptr);

  // Shows a log's lines and diagnostics, or (nullptr) nothing. The log must
  // outlive the hand-over: the owner hands nullptr before freeing or reloading it.
  void SetLog(TLog* log);
  const TReg1Test* Edi() const { return Edi_; }

  // Row r of lbEDIFile is drawn bold: its line carries a reader diagnostic.
  bool IsBoldRow(int row) const;

  QListWidget& EdiFileList() const { return *lbEDIFile_; }
  QListWidget& ErrorList() const { return *lbErrors_; }

  // The judge picked a line or a diagnostic: select the row it refers to.
  void lbEDIFileClick(int row);
  void lbErrorsClick(int row);

 private:
  const TReg1Test* Edi_ = nullptr;
  QListWidget* lbEDIFile_;
  QListWidget* lbErrors_;
  QSplitter* Splitter1_;
};

}  // namespace loggrevy
