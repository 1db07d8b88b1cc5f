// The main window's way to the review: the actions of opening, saving and
// undoing, in the outline's context menu and behind the toolbar's fifth
// button, and how the windows follow when judgements change from outside.

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyle>
#include <QTreeWidget>

#include "model/import_session.h"
#include "ui/crosscheck_hub.h"
#include "ui/edi_text.h"
#include "ui/import_view.h"
#include "ui/import_window.h"
#include "ui/log_page.h"
#include "ui/review_desk.h"

namespace loggrevy {

void TfrmImport::BuildReviewActions() {
  Review_ = new TReviewDesk(*this, *Session_, *CrossCheckHub_);
  connect(frmImportView_, &TfrmImportView::JudgementChanged, Review_, &TReviewDesk::RecordChanges);
  connect(CrossCheckHub_, &TCrossCheckHub::FiguresChanged, Review_, &TReviewDesk::RecordChanges);

  ReviewMenu_ = new QMenu(this);
  ReviewMenu_->setObjectName(QStringLiteral("mnuReview"));
  const auto add = [this](const char* name, const QString& text, const QKeySequence& keys) {
    auto* action = new QAction(text, this);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(keys);
    // The judge judges in the log view: the keys work in every window.
    action->setShortcutContext(Qt::ApplicationShortcut);
    action->setShortcutVisibleInContextMenu(true);
    addAction(action);
    ReviewMenu_->addAction(action);
    return action;
  };
  QAction* open = add("actOpenReview", QStringLiteral("Öppna granskning…"), QKeySequence(Qt::CTRL | Qt::Key_O));
  QAction* save = add("actSaveReview", QStringLiteral("Spara granskning"), QKeySequence(Qt::CTRL | Qt::Key_S));
  QAction* saveAs =
      add("actSaveReviewAs", QStringLiteral("Spara granskning som…"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  ReviewMenu_->addSeparator();
  QAction* undo = add("actUndo", QStringLiteral("Ångra"), QKeySequence(Qt::CTRL | Qt::Key_Z));
  QAction* redo = add("actRedo", QStringLiteral("Gör om"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
  connect(open, &QAction::triggered, Review_, &TReviewDesk::OpenChosen);
  connect(save, &QAction::triggered, Review_, &TReviewDesk::Save);
  connect(saveAs, &QAction::triggered, Review_, &TReviewDesk::SaveAs);
  QUndoStack& stack = Review_->UndoStack();
  undo->setEnabled(false);
  redo->setEnabled(false);
  connect(undo, &QAction::triggered, &stack, &QUndoStack::undo);
  connect(redo, &QAction::triggered, &stack, &QUndoStack::redo);
  connect(&stack, &QUndoStack::canUndoChanged, undo, &QAction::setEnabled);
  connect(&stack, &QUndoStack::canRedoChanged, redo, &QAction::setEnabled);

  OutlineMenu_->addSeparator();
  OutlineMenu_->addActions(ReviewMenu_->actions());

  // The fifth toolbar button, beside the seed's four, opens the same menu.
  auto* toolbar = findChild<QWidget*>(QStringLiteral("pnlToolbar"));
  btnReview_ =
      new QPushButton(style()->standardIcon(QStyle::SP_DialogSaveButton), QStringLiteral("&Granskning"), toolbar);
  btnReview_->setObjectName(QStringLiteral("btnReview"));
  btnReview_->setToolTip(QStringLiteral("Öppna, spara och ångra granskningen"));
  btnReview_->setGeometry(2 + 4 * (113 + 2), 2, 113, 29);
  btnReview_->setMenu(ReviewMenu_);
  setTabOrder(btnExit_, btnReview_);
  setTabOrder(btnReview_, otlImpLogs_);
}

void TfrmImport::ClearLogs() {
  if (Closed_) return;
  CloseCrossCheckWindows();
  HandToViewers(nullptr, nullptr);
  LogPage_->Release();
  Selected_ = nullptr;
  ItemChangedByPress_ = nullptr;
  {
    const QSignalBlocker blocker(otlImpLogs_);
    otlImpLogs_->clear();
  }
  Items_.clear();
  Nodes_.clear();
  Session_->Clear();
  frmEdiText_->hide();
  frmImportView_->hide();
  // As at start: the page empty, every toolbar button enabled.
  SetButtonState(TSelectionKind::skNone);
  btnViewEDI_->setEnabled(true);
  btnViewLog_->setEnabled(true);
  PrepareOutlineMenu();
}

void TfrmImport::JudgementsChanged(const std::vector<TLog*>& logs) {
  if (Closed_) return;
  CrossCheckHub_->LogsJudged(logs);
}

}  // namespace loggrevy
