#pragma once

#include <QWidget>

#include <string>

class QPlainTextEdit;
class QPushButton;

namespace loggrevy {

class IDialogs;
class TCrossCheckHub;
class TImportSession;
class TLog;

// frmCheckReport: the check report of one log of the cross-checked batch, as
// the batch checker writes it for the participant, saved as text or printed.
class TfrmCheckReport final : public QWidget {
  Q_OBJECT

 public:
  TfrmCheckReport(TCrossCheckHub& hub, const TImportSession& session, TLog& log, IDialogs& dialogs, QWidget* parent);

  const TLog& Log() const { return Log_; }
  QPlainTextEdit& Text() const { return *txtReport_; }
  // The report's UTF-8 bytes as they stand; empty without a cross-check.
  const std::string& Report() const { return Report_; }

  void Refresh();
  void Save();
  void Print();

 private:
  TCrossCheckHub& Hub_;
  const TImportSession& Session_;
  TLog& Log_;
  IDialogs& Dialogs_;
  std::string Report_;

  QPushButton* btnSave_;
  QPushButton* btnPrint_;
  QPlainTextEdit* txtReport_;
};

}  // namespace loggrevy
