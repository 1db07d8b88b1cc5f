// The main window's way into the cross-check: the outline's context menu and
// its shortcuts, the windows it opens, and how the detail page and the log
// view follow the cross-check's judgements.

#include <QAction>
#include <QMenu>
#include <QStackedWidget>
#include <QToolButton>
#include <QTreeWidget>

#include "model/import_session.h"
#include "results/results_list.h"
#include "ui/check_report_window.h"
#include "ui/crosscheck_hub.h"
#include "ui/crosscheck_window.h"
#include "ui/import_view.h"
#include "ui/import_window.h"
#include "ui/log_page.h"
#include "ui/own_windows.h"
#include "ui/results_window.h"
#include "ui/save_dialogs.h"
#include "ui/season_window.h"

namespace loggrevy {

namespace {

const TOutlineNode* ContestOf(const TOutlineNode* node) {
  while (node != nullptr && node->Parent != nullptr) node = node->Parent;
  return node;
}

// A window shown for the first time opens beside the main window's corner
// (so a window manager need not ask where to put it).
template <typename TWindow>
void ShowWindow(TWindow* window, const QWidget& main) {
  if (!window->testAttribute(Qt::WA_Moved)) window->move(main.pos() + QPoint(40, 40));
  FitToScreen(*window);
  window->show();
  window->raise();
  window->activateWindow();
}

}  // namespace

void TfrmImport::BuildCrossCheckActions() {
  Dialogs_ = std::make_unique<TSystemDialogs>();
  CrossCheckHub_ = new TCrossCheckHub(*Session_, this);
  connect(CrossCheckHub_, &TCrossCheckHub::Changed, this, &TfrmImport::CrossCheckChanged);
  connect(CrossCheckHub_, &TCrossCheckHub::FiguresChanged, this, &TfrmImport::CrossCheckFiguresChanged);
  // After the page has taken the judgement (spdSumLogClick), the cross-check's
  // figures after follow.
  connect(frmImportView_, &TfrmImportView::JudgementChanged, this, [this] {
    if (!Closed_) CrossCheckHub_->LogJudged(ImportViewLog_);
  });

  // The own-sum button of the detail page changes the accepted figures that
  // the cross-check and results windows show (after the page has adopted them).
  if (auto* sum = LogPage_->findChild<QToolButton*>(QStringLiteral("spdSumLog"))) {
    connect(sum, &QToolButton::clicked, CrossCheckHub_, &TCrossCheckHub::FiguresEdited);
  }

  OutlineMenu_ = new QMenu(this);
  OutlineMenu_->setObjectName(QStringLiteral("mnuOutline"));
  const auto add = [this](QAction*& action, const char* name, const QString& text, const QKeySequence& keys) {
    action = new QAction(text, this);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    action->setShortcutVisibleInContextMenu(true);
    addAction(action);
    OutlineMenu_->addAction(action);
  };
  add(actCrossCheck_, "actCrossCheck", QStringLiteral("Korskontrollera testen"), QKeySequence(Qt::CTRL | Qt::Key_K));
  add(actResults_, "actResults", QStringLiteral("Resultatlista…"), QKeySequence(Qt::CTRL | Qt::Key_R));
  add(actSeason_, "actSeason", QStringLiteral("Årsresultat…"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R));
  OutlineMenu_->addSeparator();
  add(actCheckReport_, "actCheckReport", QStringLiteral("Kontrollrapport…"), QKeySequence(Qt::CTRL | Qt::Key_U));
  BuildSeasonAction();
  PrepareOutlineMenu();

  connect(actCrossCheck_, &QAction::triggered, this, [this] {
    PrepareOutlineMenu();
    if (const TOutlineNode* contest = ContestOf(CurrentNode()); contest != nullptr && actCrossCheck_->isEnabled()) {
      OpenCrossCheck(*contest);
    }
  });
  connect(actResults_, &QAction::triggered, this, [this] {
    PrepareOutlineMenu();
    if (const TOutlineNode* contest = ContestOf(CurrentNode()); contest != nullptr && actResults_->isEnabled()) {
      OpenResults(*contest);
    }
  });
  connect(actCheckReport_, &QAction::triggered, this, [this] {
    PrepareOutlineMenu();
    if (TOutlineNode* node = CurrentNode(); node != nullptr && node->Log() != nullptr) OpenCheckReport(*node->Log());
  });

  otlImpLogs_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(otlImpLogs_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    QTreeWidgetItem* item = otlImpLogs_->itemAt(pos);
    if (item == nullptr) return;
    otlImpLogs_->setCurrentItem(item);
    PrepareOutlineMenu();
    OutlineMenu_->popup(otlImpLogs_->viewport()->mapToGlobal(pos));
  });
  connect(otlImpLogs_, &QTreeWidget::currentItemChanged, this, [this] { PrepareOutlineMenu(); });
}

void TfrmImport::SetDialogs(std::unique_ptr<IDialogs> dialogs) { Dialogs_ = std::move(dialogs); }

TOutlineNode* TfrmImport::CurrentNode() const {
  QTreeWidgetItem* item = otlImpLogs_->currentItem();
  const auto found = item != nullptr ? Nodes_.find(item) : Nodes_.end();
  return found != Nodes_.end() ? found->second : nullptr;
}

void TfrmImport::PrepareOutlineMenu() {
  const TOutlineNode* node = CurrentNode();
  const TOutlineNode* contest = ContestOf(node);
  // The contest's entries in the menu of the contest's node; the report on a log.
  const bool onContest = node != nullptr && node == contest && !Closed_;
  actCrossCheck_->setEnabled(onContest);
  actResults_->setEnabled(onContest && IsDatedCaption(contest->Text));
  actCheckReport_->setEnabled(node != nullptr && node->Log() != nullptr && !Closed_);
  actSeason_->setEnabled(onContest);
  actSeason_->setVisible(node == nullptr || onContest);
  actCrossCheck_->setVisible(node == nullptr || onContest);
  actResults_->setVisible(node == nullptr || onContest);
  actCheckReport_->setVisible(node == nullptr || !onContest);
}

TfrmCrossCheck* TfrmImport::OpenCrossCheck(const TOutlineNode& contest) {
  if (Closed_) return nullptr;
  CrossCheckHub_->Run(this);
  QPointer<TfrmCrossCheck>& window = CrossCheckWindows_[&contest];
  if (window == nullptr) {
    window = new TfrmCrossCheck(*CrossCheckHub_, contest, *Dialogs_, this);
    connect(window, &TfrmCrossCheck::OpenQso, this, &TfrmImport::ShowLogQso);
    connect(window, &TfrmCrossCheck::ReportRequested, this, [this](TLog* log) { OpenCheckReport(*log); });
  }
  ShowWindow(window.data(), *this);
  return window;
}

TfrmResults* TfrmImport::OpenResults(const TOutlineNode& contest) {
  if (Closed_) return nullptr;
  QPointer<TfrmResults>& window = ResultsWindows_[&contest];
  if (window == nullptr) window = new TfrmResults(*CrossCheckHub_, *Session_, contest, *Dialogs_, this);
  window->Refresh();
  ShowWindow(window.data(), *this);
  return window;
}

TfrmCheckReport* TfrmImport::OpenCheckReport(TLog& log) {
  if (Closed_) return nullptr;
  if (CrossCheckHub_->Current() == nullptr) CrossCheckHub_->Run(this);
  QPointer<TfrmCheckReport>& window = ReportWindows_[&log];
  if (window == nullptr) window = new TfrmCheckReport(*CrossCheckHub_, *Session_, log, *Dialogs_, this);
  ShowWindow(window.data(), *this);
  return window;
}

void TfrmImport::ShowLogQso(TLog* log, int qso) {
  if (Closed_ || log == nullptr) return;
  for (const auto& [item, node] : Nodes_) {
    if (node->Log() != log) continue;
    otlImpLogs_->setCurrentItem(const_cast<QTreeWidgetItem*>(item));
    if (ImportViewLog_ != log) otlImpLogsClick();
    break;
  }
  if (ImportViewLog_ != log) return;
  ShowWindow(frmImportView_, *this);
  frmImportView_->ShowQso(qso);
}

void TfrmImport::CrossCheckChanged() {
  if (Closed_) return;
  frmImportView_->SetCrossCheck(CrossCheckHub_->Current());
  ShowAcceptedFigures();
}

void TfrmImport::CrossCheckFiguresChanged() {
  if (Closed_) return;
  frmImportView_->RefreshJudgements();
  ShowAcceptedFigures();
}

void TfrmImport::ShowAcceptedFigures() {
  if (Closed_ || Selected_ == nullptr || ntbInfoKind_->currentWidget() != LogPage_) return;
  LogPage_->ShowAcceptedFigures(*Selected_);
}

void TfrmImport::CloseCrossCheckWindows() {
  // The windows borrow the nodes and logs that are about to be freed.
  for (auto& [node, window] : CrossCheckWindows_) delete window.data();
  CrossCheckWindows_.clear();
  for (auto& [node, window] : ResultsWindows_) delete window.data();
  ResultsWindows_.clear();
  for (auto& [log, window] : ReportWindows_) delete window.data();
  ReportWindows_.clear();
  delete SeasonWindow_.data();
  frmImportView_->SetCrossCheck(nullptr);
  CrossCheckHub_->Drop();
}

}  // namespace loggrevy
