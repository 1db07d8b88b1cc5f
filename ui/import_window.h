#pragma once

#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/import_session.h"

class QAction;
class QDialog;
class QMenu;
class QPushButton;
class QStackedWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace loggrevy {

class IDialogs;
class IFileChooser;
class TCrossCheckHub;
class TEntry;
class TLog;
class TLogPage;
class TfrmCheckReport;
class TfrmCrossCheck;
class TfrmEdiText;
class TfrmImportView;
class TfrmResults;
class TfrmSeason;
class TReviewDesk;
struct TOutlineNode;

// The button states of the main window.
enum class TSelectionKind { skNone = 0, skLog = 1, skGroup = 2, skGroupedLog = 3, skUnreadable = 4 };

// The main window frmImport: the outline of the imported logs under their
// contests, the detail page of the selected log or group, and the two viewers
// it hands the selection to. It owns the import session (and so every log),
// and the viewers only borrow the logs it hands them.
class TfrmImport final : public QWidget {
  Q_OBJECT

 public:
  // currentYear gives the expected contest year, asked once per batch.
  TfrmImport(std::unique_ptr<TImportSession> session, std::unique_ptr<IFileChooser> chooser,
             std::function<int32_t()> currentYear, QWidget* parent = nullptr);
  ~TfrmImport() override;

  // The about box the credits button shows modally; not owned.
  void SetAboutBox(QDialog* about) { About_ = about; }

  // Imports or reloads the files in order (btnSelect, drops, the command line).
  void ImportFiles(const QStringList& paths);

  const TImportSession& Session() const { return *Session_; }
  TfrmImportView& ImportView() const { return *frmImportView_; }
  TfrmEdiText& EdiText() const { return *frmEdiText_; }
  QTreeWidget& Outline() const { return *otlImpLogs_; }
  TEntry* Selected() const { return Selected_; }
  TSelectionKind SelectionKind() const { return Kind_; }

  // The selected entry when it is a log, or nullptr.
  TLog* SelectedLog() const;

  // The dialogs of saving and printing (the program's own unless replaced,
  // which must happen before any window that saves is opened).
  void SetDialogs(std::unique_ptr<IDialogs> dialogs);
  TCrossCheckHub& CrossCheck() const { return *CrossCheckHub_; }
  // The outline's context menu, prepared for the current node.
  QMenu& OutlineMenu() const { return *OutlineMenu_; }
  void PrepareOutlineMenu();
  // The node of the outline's current item, or nullptr.
  TOutlineNode* CurrentNode() const;
  // Cross-checks the batch and shows the contest's cross-check window.
  TfrmCrossCheck* OpenCrossCheck(const TOutlineNode& contest);
  TfrmResults* OpenResults(const TOutlineNode& contest);
  // The year's standings of everything imported.
  TfrmSeason* OpenSeason();
  // Cross-checks the batch when that has not been done, and shows the log's report.
  TfrmCheckReport* OpenCheckReport(TLog& log);
  // Selects the log in the outline and shows the QSO (1-based) in the log view.
  void ShowLogQso(TLog* log, int qso);

  // The review of the logs: its file, the undo steps, the recovery copy.
  TReviewDesk& Review() const { return *Review_; }
  // Imports native paths for a contest year, as ImportFiles does.
  void ImportPaths(const std::vector<std::string>& paths, int32_t year, const TImportSession::TLogRead& logRead = {});
  // Lets go of every log, and of every window that shows one.
  void ClearLogs();
  // Judgements or accepted figures of these logs were changed outside the
  // windows (undo, opening a review): every figure and window follows.
  void JudgementsChanged(const std::vector<TLog*>& logs);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildToolbar();

  void btnSelectClick();
  void btnViewEDIClick();
  void btnViewLogClick();
  void btnExitClick();
  void btnCreditsClick();
  void otlImpLogsClick();
  void SetButtonState(TSelectionKind kind);
  void lblEDIErrorsClick();
  void lblLogErrorsClick();
  void FormClose();

  void BuildCrossCheckActions();
  void BuildReviewActions();
  void CloseCrossCheckWindows();
  void ShowAcceptedFigures();
  void CrossCheckChanged();
  void CrossCheckFiguresChanged();
  void BuildSeasonAction();

  void NodeInserted(TOutlineNode* parent, std::size_t index, TOutlineNode& node);
  void HandToViewers(TLog* ediLog, TLog* viewLog);
  bool ShownLogAmong(const std::vector<std::string>& paths) const;

  std::unique_ptr<TImportSession> Session_;
  std::unique_ptr<IFileChooser> Chooser_;
  std::function<int32_t()> CurrentYear_;
  QDialog* About_ = nullptr;
  TEntry* Selected_ = nullptr;
  TSelectionKind Kind_ = TSelectionKind::skNone;
  TLog* EdiTextLog_ = nullptr;
  TLog* ImportViewLog_ = nullptr;
  bool Closed_ = false;
  QTreeWidgetItem* ItemChangedByPress_ = nullptr;
  std::unordered_map<const TOutlineNode*, QTreeWidgetItem*> Items_;
  std::unordered_map<const QTreeWidgetItem*, TOutlineNode*> Nodes_;

  TfrmEdiText* frmEdiText_ = nullptr;
  TfrmImportView* frmImportView_ = nullptr;

  QPushButton* btnSelect_ = nullptr;
  QPushButton* btnViewEDI_ = nullptr;
  QPushButton* btnViewLog_ = nullptr;
  QPushButton* btnExit_ = nullptr;
  QTreeWidget* otlImpLogs_ = nullptr;
  QStackedWidget* ntbInfoKind_ = nullptr;

  TLogPage* LogPage_ = nullptr;

  std::unique_ptr<IDialogs> Dialogs_;
  TCrossCheckHub* CrossCheckHub_ = nullptr;
  QMenu* OutlineMenu_ = nullptr;
  QAction* actCrossCheck_ = nullptr;
  QAction* actResults_ = nullptr;
  QAction* actCheckReport_ = nullptr;
  QAction* actSeason_ = nullptr;
  QPointer<TfrmSeason> SeasonWindow_;
  std::unordered_map<const TOutlineNode*, QPointer<TfrmCrossCheck>> CrossCheckWindows_;
  std::unordered_map<const TOutlineNode*, QPointer<TfrmResults>> ResultsWindows_;
  std::unordered_map<const TLog*, QPointer<TfrmCheckReport>> ReportWindows_;

  TReviewDesk* Review_ = nullptr;
  QPushButton* btnReview_ = nullptr;
  QMenu* ReviewMenu_ = nullptr;
};

}  // namespace loggrevy
