#include "ui/check_report_window.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextDocument>
#include <QVBoxLayout>

#include <sstream>

#include "model/import_session.h"
#include "results/writers.h"
#include "ui/crosscheck_hub.h"
#include "ui/own_windows.h"
#include "ui/qtext.h"
#include "ui/save_dialogs.h"

namespace loggrevy {

TfrmCheckReport::TfrmCheckReport(TCrossCheckHub& hub, const TImportSession& session, TLog& log, IDialogs& dialogs,
                                 QWidget* parent)
    : QWidget(parent, Qt::Window), Hub_(hub), Session_(session), Log_(log), Dialogs_(dialogs) {
  setObjectName(QStringLiteral("frmCheckReport"));
  setWindowTitle(QStringLiteral("Kontrollrapport - ") + ToQString(log.Edi().PCall));
  resize(860, 600);

  btnSave_ = new QPushButton(QStringLiteral("Spara…"), this);
  btnSave_->setObjectName(QStringLiteral("btnSave"));
  btnPrint_ = new QPushButton(QStringLiteral("Skriv ut…"), this);
  btnPrint_->setObjectName(QStringLiteral("btnPrint"));
  auto* bar = new QHBoxLayout;
  bar->addWidget(btnSave_);
  bar->addWidget(btnPrint_);
  bar->addStretch(1);

  txtReport_ = new QPlainTextEdit(this);
  txtReport_->setObjectName(QStringLiteral("txtReport"));
  txtReport_->setReadOnly(true);
  txtReport_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  txtReport_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(bar);
  layout->addWidget(txtReport_, 1);
  CloseOnEscape(*this);

  connect(btnSave_, &QPushButton::clicked, this, &TfrmCheckReport::Save);
  connect(btnPrint_, &QPushButton::clicked, this, &TfrmCheckReport::Print);
  connect(&hub, &TCrossCheckHub::Changed, this, &TfrmCheckReport::Refresh);
  connect(&hub, &TCrossCheckHub::FiguresChanged, this, &TfrmCheckReport::Refresh);
  connect(&hub, &TCrossCheckHub::BatchChanged, this, &TfrmCheckReport::Refresh);
  Refresh();
}

void TfrmCheckReport::Refresh() {
  const TCrossCheck* check = Hub_.Current();
  const auto index = Hub_.IndexOf(&Log_);
  Report_.clear();
  if (check != nullptr && index) {
    std::ostringstream out;
    WriteCheckReport(out, *check, *index);
    Report_ = out.str();
  }
  const int scroll = txtReport_->verticalScrollBar()->value();
  txtReport_->setPlainText(Report_.empty() ? QStringLiteral("Ingen korskontroll (inläsningen har ändrats).")
                                           : QString::fromUtf8(Report_));
  txtReport_->verticalScrollBar()->setValue(scroll);
  btnSave_->setEnabled(!Report_.empty());
  btnPrint_->setEnabled(!Report_.empty());
}

void TfrmCheckReport::Save() {
  const auto index = Hub_.IndexOf(&Log_);
  if (Report_.empty() || Hub_.Current() == nullptr || !index) return;
  // The name the batch checker gives the participant's report.
  std::string name = Hub_.Current()->BatchLog(*index).Station;
  if (name.empty()) name = "kontrollrapport";
  for (char& c : name) {
    if (c == '/') c = '-';
  }
  SaveBytes(this, Dialogs_, Session_, QStringLiteral("Spara kontrollrapport"), ToQString(name) + QStringLiteral(".txt"),
            QStringLiteral("Textfiler (*.txt);;Alla filer (*)"), Report_);
}

void TfrmCheckReport::Print() {
  if (Report_.empty()) return;
  QTextDocument document;
  document.setDefaultFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  document.setPlainText(QString::fromUtf8(Report_));
  PrintDocument(
      this, Dialogs_, Session_, windowTitle(), document,
      SuggestedFileName(QStringLiteral("Kontrollrapport"), ToQString(Log_.Edi().PCall), QStringLiteral("pdf")));
}

}  // namespace loggrevy
