// The main window's way to the year's standings: the outline's entry, and
// what the standings window follows besides the cross-check.

#include <QAction>
#include <QTreeWidget>

#include "ui/crosscheck_hub.h"
#include "ui/import_view.h"
#include "ui/import_window.h"
#include "ui/save_dialogs.h"
#include "ui/season_window.h"

namespace loggrevy {

void TfrmImport::BuildSeasonAction() {
  connect(actSeason_, &QAction::triggered, this, [this] {
    PrepareOutlineMenu();
    if (actSeason_->isEnabled()) OpenSeason();
  });
}

TfrmSeason* TfrmImport::OpenSeason() {
  if (Closed_) return nullptr;
  if (SeasonWindow_ == nullptr) {
    SeasonWindow_ = new TfrmSeason(*CrossCheckHub_, *Session_, *Dialogs_, this);
    // A judgement changes the accepted figures (the page has adopted them by
    // now) with or without a cross-check; new logs come as new outline rows.
    connect(frmImportView_, &TfrmImportView::JudgementChanged, SeasonWindow_.data(), &TfrmSeason::Follow);
    connect(otlImpLogs_->model(), &QAbstractItemModel::rowsInserted, SeasonWindow_.data(),
            &TfrmSeason::ScheduleRefresh);
  }
  TfrmSeason* window = SeasonWindow_.data();
  if (!window->testAttribute(Qt::WA_Moved)) window->move(pos() + QPoint(40, 40));
  window->show();
  window->raise();
  window->activateWindow();
  return window;
}

}  // namespace loggrevy
