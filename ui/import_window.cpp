#include "ui/import_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QUrl>

#include <algorithm>

#include "core/platform.h"
#include "model/import_session.h"
#include "ui/crosscheck_hub.h"
#include "ui/edi_text.h"
#include "ui/file_chooser.h"
#include "ui/fonts.h"
#include "ui/import_names.h"
#include "ui/import_view.h"
#include "ui/log_page.h"
#include "ui/outline_item.h"
#include "ui/qtext.h"
#include "ui/review_desk.h"
#include "ui/save_dialogs.h"

namespace loggrevy {

namespace {

constexpr int kToolbarHeight = 34;
constexpr int kOutlineWidth = 201;
// Batches of at least this many files show their progress.
constexpr qsizetype kProgressThreshold = 20;

class TOutlineDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return {QStyledItemDelegate::sizeHint(option, index).width(), 16};
  }
};

bool IsGroupedKind(TContestKind kind) { return kind == TContestKind::Mikro || kind == TContestKind::M28; }

}  // namespace

TfrmImport::TfrmImport(std::unique_ptr<TImportSession> session, std::unique_ptr<IFileChooser> chooser,
                       std::function<int32_t()> currentYear, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      Session_(std::move(session)),
      Chooser_(std::move(chooser)),
      CurrentYear_(std::move(currentYear)) {
  setObjectName(QStringLiteral("frmImport"));
  setWindowTitle(QStringLiteral("Loggrevy - EDI file checker, version for 2006 - av Loggrevy-projektet"));
  setFont(PixelFont(QStringLiteral("Arial"), 13));
  setFixedSize(632, 445);
  setAcceptDrops(true);

  BuildToolbar();

  otlImpLogs_ = new QTreeWidget(this);
  otlImpLogs_->setObjectName(QStringLiteral("otlImpLogs"));
  otlImpLogs_->setGeometry(0, kToolbarHeight, kOutlineWidth, height() - kToolbarHeight);
  otlImpLogs_->setHeaderHidden(true);
  otlImpLogs_->setColumnCount(1);
  otlImpLogs_->setItemDelegate(new TOutlineDelegate(otlImpLogs_));
  otlImpLogs_->setUniformRowHeights(true);
  otlImpLogs_->setIndentation(14);
  otlImpLogs_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  otlImpLogs_->header()->setStretchLastSection(false);

  ntbInfoKind_ = new QStackedWidget(this);
  ntbInfoKind_->setObjectName(QStringLiteral("ntbInfoKind"));
  ntbInfoKind_->setGeometry(kOutlineWidth, kToolbarHeight, width() - kOutlineWidth, height() - kToolbarHeight);
  auto* defaultPage = new QWidget;
  defaultPage->setObjectName(QStringLiteral("Default"));
  LogPage_ = new TLogPage(ntbInfoKind_);
  ntbInfoKind_->addWidget(defaultPage);
  ntbInfoKind_->addWidget(LogPage_);
  ntbInfoKind_->setCurrentIndex(1);
  connect(LogPage_, &TLogPage::EdiErrorsClicked, this, &TfrmImport::lblEDIErrorsClick);
  connect(LogPage_, &TLogPage::LogErrorsClicked, this, &TfrmImport::lblLogErrorsClick);
  connect(LogPage_, &TLogPage::CreditsClicked, this, &TfrmImport::btnCreditsClick);

  // FormCreate: the two viewers, hidden, owned by this window.
  frmEdiText_ = new TfrmEdiText(this);
  frmImportView_ = new TfrmImportView(Session_->Settings().DecimalSeparator, this);
  connect(frmImportView_, &TfrmImportView::JudgementChanged, LogPage_, &TLogPage::spdSumLogClick);

  Session_->SetNodeInserted([this](TOutlineNode* parentNode, std::size_t index, TOutlineNode& node) {
    NodeInserted(parentNode, index, node);
  });

  connect(otlImpLogs_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
    ItemChangedByPress_ = QApplication::mouseButtons() != Qt::NoButton ? current : nullptr;
    otlImpLogsClick();
  });
  // A click on the node already selected shows it afresh (after a reload, say).
  connect(otlImpLogs_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
    if (item == ItemChangedByPress_) {
      ItemChangedByPress_ = nullptr;
      return;
    }
    otlImpLogsClick();
  });

  setTabOrder(btnSelect_, btnViewEDI_);
  setTabOrder(btnViewEDI_, btnViewLog_);
  setTabOrder(btnViewLog_, btnExit_);
  setTabOrder(btnExit_, otlImpLogs_);
  LogPage_->ChainTabOrder(otlImpLogs_);
  BuildCrossCheckActions();
  BuildReviewActions();

  SetButtonState(TSelectionKind::skNone);
  // At start the page is shown empty and every toolbar button is enabled.
  btnViewEDI_->setEnabled(true);
  btnViewLog_->setEnabled(true);
}

TfrmImport::~TfrmImport() { FormClose(); }

void TfrmImport::BuildToolbar() {
  auto* toolbar = new QWidget(this);
  toolbar->setObjectName(QStringLiteral("pnlToolbar"));
  toolbar->setGeometry(0, 0, width(), kToolbarHeight);
  struct TButtonDef {
    QPushButton** Button;
    const char* Name;
    QString Caption;
    QString Tooltip;
    QStyle::StandardPixmap Glyph;
  };
  const TButtonDef buttons[] = {
      {&btnSelect_, "btnSelect", QStringLiteral("&Välj loggar"), QStringLiteral("Välj loggar"),
       QStyle::SP_DialogOpenButton},
      {&btnViewEDI_, "btnViewEDI", QStringLiteral("Visa &EDI fil"), QStringLiteral("Visa import-filen"),
       QStyle::SP_FileIcon},
      {&btnViewLog_, "btnViewLog", QStringLiteral("Visa &Log"), QStringLiteral("Visa tolkad importfil som log"),
       QStyle::SP_FileDialogDetailedView},
      {&btnExit_, "btnExit", QStringLiteral("&Avsluta"), QStringLiteral("Avluta import av loggar"),
       QStyle::SP_DialogCloseButton},
  };
  int x = 2;
  for (const TButtonDef& def : buttons) {
    auto* button = new QPushButton(style()->standardIcon(def.Glyph), def.Caption, toolbar);
    button->setObjectName(QString::fromLatin1(def.Name));
    button->setToolTip(def.Tooltip);
    button->setGeometry(x, 2, 113, 29);
    button->setAutoDefault(true);
    *def.Button = button;
    x += 113 + 2;
  }
  btnSelect_->setDefault(true);
  connect(btnSelect_, &QPushButton::clicked, this, &TfrmImport::btnSelectClick);
  connect(btnViewEDI_, &QPushButton::clicked, this, &TfrmImport::btnViewEDIClick);
  connect(btnViewLog_, &QPushButton::clicked, this, &TfrmImport::btnViewLogClick);
  connect(btnExit_, &QPushButton::clicked, this, &TfrmImport::btnExitClick);
}

void TfrmImport::keyPressEvent(QKeyEvent* event) {
  // Enter is btnSelect's; Esc belongs to the first enabled view button.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    if (btnSelect_->isEnabled()) btnSelect_->click();
    return;
  }
  if (event->key() == Qt::Key_Escape) {
    for (QPushButton* button : {btnViewEDI_, btnViewLog_}) {
      if (button->isEnabled()) {
        button->click();
        break;
      }
    }
    return;
  }
  QWidget::keyPressEvent(event);
}

void TfrmImport::btnSelectClick() {
  const QStringList paths = Chooser_->ChooseLogs(this);
  if (!paths.isEmpty()) ImportFiles(paths);
}

void TfrmImport::btnViewEDIClick() { frmEdiText_->setVisible(!frmEdiText_->isVisible()); }

void TfrmImport::btnViewLogClick() { frmImportView_->setVisible(!frmImportView_->isVisible()); }

void TfrmImport::btnExitClick() { close(); }

void TfrmImport::btnCreditsClick() {
  if (About_ != nullptr) About_->exec();
}

void TfrmImport::lblEDIErrorsClick() { frmEdiText_->show(); }

void TfrmImport::lblLogErrorsClick() { frmImportView_->show(); }

void TfrmImport::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TfrmImport::dragMoveEvent(QDragMoveEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TfrmImport::dropEvent(QDropEvent* event) {
  // Every dropped name in drop order, less folders and names whose attributes
  // cannot be read.
  QStringList names;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (!url.isLocalFile()) continue;
    const QFileInfo info(url.toLocalFile());
    if (info.exists()) names.append(info.filePath());
  }
  event->acceptProposedAction();
  const QStringList kept = LeaveOutFolders(names);
  if (!kept.isEmpty()) ImportFiles(kept);
}

bool TfrmImport::ShownLogAmong(const std::vector<std::string>& paths) const {
  std::vector<const TLog*> shown{EdiTextLog_, ImportViewLog_};
  if (auto* log = dynamic_cast<TLog*>(Selected_)) shown.push_back(log);
  if (auto* group = dynamic_cast<TLogGroup*>(Selected_)) {
    for (std::size_t i = 0; i < group->LogCount(); ++i) shown.push_back(&group->GetLog(i));
  }
  for (const TLog* log : shown) {
    if (log == nullptr || log->Edi().FileName.empty()) continue;
    if (std::find(paths.begin(), paths.end(), log->Edi().FileName) != paths.end()) return true;
  }
  return false;
}

void TfrmImport::ImportFiles(const QStringList& paths) {
  if (Closed_ || paths.isEmpty()) return;
  std::vector<std::string> native;
  native.reserve(static_cast<std::size_t>(paths.size()));
  for (const QString& path : paths) {
    if (IsReviewFileName(path)) {
      Review_->Open(path);
    } else {
      native.push_back(ToNativePath(path));
    }
  }
  if (!native.empty()) ImportPaths(native, CurrentYear_());
}

void TfrmImport::ImportPaths(const std::vector<std::string>& native, int32_t year,
                             const TImportSession::TLogRead& logRead) {
  if (Closed_ || native.empty()) return;
  const auto pathCount = static_cast<qsizetype>(native.size());
  // A cross-check is of the batch as it was: it is set aside while the batch
  // changes and run again afterwards.
  CrossCheckHub_->Suspend();
  // A reload replaces the checker of its log: the viewers let go of a log that
  // is about to be reloaded and are handed it again afterwards.
  const bool reloadsShown = ShownLogAmong(native);
  if (reloadsShown) HandToViewers(nullptr, nullptr);

  std::unique_ptr<QProgressDialog> progress;
  if (pathCount >= kProgressThreshold) {
    progress = std::make_unique<QProgressDialog>(QStringLiteral("Läser loggar..."), QString(), 0,
                                                 static_cast<int>(pathCount), this);
    progress->setObjectName(QStringLiteral("dlgProgress"));
    progress->setWindowModality(Qt::ApplicationModal);
    progress->setCancelButton(nullptr);
    progress->setMinimumDuration(400);
    progress->setValue(0);
  }
  // The files are read and checked on every core; the logs are filed here on
  // the window's thread, in order, and the progress dialog handles the
  // window's events after each one.
  Session_->ImportFiles(
      native, year,
      [&progress](std::size_t done, std::size_t) {
        if (progress) progress->setValue(static_cast<int>(done));
      },
      SystemCoreCount(), logRead);
  progress.reset();
  otlImpLogs_->expandAll();
  if (reloadsShown) otlImpLogsClick();
  CrossCheckHub_->Resume(this);
  Review_->LogsImported();
}

void TfrmImport::NodeInserted(TOutlineNode* parentNode, std::size_t index, TOutlineNode& node) {
  // Logs filed under their path (unreadable or unidentified without a call)
  // show the path as the file system spells it; the node's own text is its
  // Windows-1252 form, which lacks the letters that code page has not.
  const TLog* log = node.Log();
  const bool isPath =
      log != nullptr && parentNode != nullptr && parentNode->Parent == nullptr &&
      (log->GetEdiStatus() == 3 || (log->Checker().Kind() == TContestKind::None && log->Edi().PCall.empty()));
  auto* item = new TOutlineItem(isPath ? PathToQString(log->Path()) : ToQString(node.Text), log);
  const int at = static_cast<int>(index);
  if (parentNode == nullptr) {
    otlImpLogs_->insertTopLevelItem(at, item);
  } else {
    Items_.at(parentNode)->insertChild(at, item);
  }
  Items_[&node] = item;
  Nodes_[item] = &node;
}

TLog* TfrmImport::SelectedLog() const { return dynamic_cast<TLog*>(Selected_); }

void TfrmImport::HandToViewers(TLog* ediLog, TLog* viewLog) {
  EdiTextLog_ = ediLog;
  ImportViewLog_ = viewLog;
  frmEdiText_->SetLog(ediLog);
  frmImportView_->SetLog(viewLog);
}

void TfrmImport::otlImpLogsClick() {
  if (Closed_) return;
  QTreeWidgetItem* item = otlImpLogs_->currentItem();
  const auto found = item != nullptr ? Nodes_.find(item) : Nodes_.end();
  TEntry* entry = found != Nodes_.end() ? found->second->Entry : nullptr;
  if (entry == nullptr) {
    ntbInfoKind_->setCurrentIndex(0);
    SetButtonState(TSelectionKind::skNone);
    HandToViewers(nullptr, nullptr);
    return;
  }
  Selected_ = entry;
  auto* log = dynamic_cast<TLog*>(entry);
  auto* group = dynamic_cast<TLogGroup*>(entry);
  if (log != nullptr && log->GetEdiStatus() == 3) {
    ntbInfoKind_->setCurrentIndex(0);
    HandToViewers(log, nullptr);
    SetButtonState(TSelectionKind::skUnreadable);
    return;
  }
  ntbInfoKind_->setCurrentIndex(1);
  LogPage_->Show(*entry);
  if (log != nullptr) {
    SetButtonState(IsGroupedKind(log->Checker().Kind()) ? TSelectionKind::skGroupedLog : TSelectionKind::skLog);
    HandToViewers(log, log);
  } else if (group != nullptr) {
    // A member that became unreadable on a reload can still be opened itself
    // in the EDI text view.
    SetButtonState(TSelectionKind::skGroup);
    HandToViewers(nullptr, nullptr);
  }
}

void TfrmImport::SetButtonState(TSelectionKind kind) {
  Kind_ = kind;
  const bool log = kind == TSelectionKind::skLog || kind == TSelectionKind::skGroupedLog;
  LogPage_->SetSumEnabled(log);
  btnViewEDI_->setEnabled(log || kind == TSelectionKind::skUnreadable);
  btnViewLog_->setEnabled(log);
}

void TfrmImport::closeEvent(QCloseEvent* event) {
  if (!Closed_ && !Review_->ConfirmClose()) {
    event->ignore();
    return;
  }
  Review_->Closed();
  FormClose();
  event->accept();
}

void TfrmImport::FormClose() {
  if (Closed_) return;
  Closed_ = true;
  CloseCrossCheckWindows();
  // Deleting the nodes changes the selection; that must reach neither the page
  // nor the viewers, and the viewers let go of their logs before they are freed.
  disconnect(otlImpLogs_, nullptr, this, nullptr);
  otlImpLogs_->hide();
  HandToViewers(nullptr, nullptr);
  LogPage_->Release();
  Selected_ = nullptr;
  otlImpLogs_->clear();
  Items_.clear();
  Nodes_.clear();
  Session_->SetNodeInserted({});
  Session_->Clear();
  frmEdiText_->hide();
  frmImportView_->hide();
}

}  // namespace loggrevy
