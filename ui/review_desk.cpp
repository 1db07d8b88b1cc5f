#include "ui/review_desk.h"

#include <signal.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QTimer>

#include <algorithm>
#include <filesystem>

#include "core/platform.h"
#include "model/import_session.h"
#include "ui/crosscheck_hub.h"
#include "ui/import_window.h"
#include "ui/qtext.h"

namespace loggrevy {

namespace {

// A copy is written this long after the change that made it due.
constexpr int kRecoveryDelayMs = 1000;
const QString kRecoveryPrefix = QStringLiteral("recovery-");

QString LockPathOf(const QString& review) {
  const QFileInfo info(review);
  return info.dir().filePath(QStringLiteral(".") + info.fileName() + QStringLiteral(".lock"));
}

QString ProblemLine(const TReviewProblem& problem) {
  QString line = ToQString(ReviewProblemText(problem.Kind)) + QStringLiteral(": ") + PathToQString(problem.Path);
  if (problem.Kind == TReviewProblemKind::NotRestored) {
    line +=
        QStringLiteral(", QSO %1 (%2)")
            .arg(problem.Judgement.Qso)
            .arg(problem.Judgement.Penalty == kPenaltyDuplicate ? QStringLiteral("-1000%") : QStringLiteral("-100%"));
  }
  return line;
}

// The process a recovery copy's name tells, when it still runs.
bool WriterRuns(const QString& fileName) {
  bool ok = false;
  const qint64 pid = fileName.mid(kRecoveryPrefix.size()).section(QLatin1Char('.'), 0, 0).toLongLong(&ok);
  return ok && pid > 0 && pid != ::getpid() && ::kill(static_cast<pid_t>(pid), 0) == 0;
}

}  // namespace

bool IsReviewFileName(const QString& path) {
  return path.endsWith(QString::fromLatin1(kReviewExtension.data(), static_cast<qsizetype>(kReviewExtension.size())),
                       Qt::CaseInsensitive);
}

TReviewDesk::TReviewDesk(TfrmImport& window, TImportSession& session, TCrossCheckHub& hub)
    : QObject(&window),
      Window_(window),
      Session_(session),
      Hub_(hub),
      Dialogs_(std::make_unique<TSystemReviewDialogs>()),
      BaseCaption_(window.windowTitle()) {
  RecoveryTimer_ = new QTimer(this);
  RecoveryTimer_->setSingleShot(true);
  RecoveryTimer_->setInterval(kRecoveryDelayMs);
  connect(RecoveryTimer_, &QTimer::timeout, this, &TReviewDesk::WriteRecovery);
  connect(&Stack_, &QUndoStack::indexChanged, this, [this] {
    UpdateCaption();
    ScheduleRecovery();
  });
  connect(&Stack_, &QUndoStack::cleanChanged, this, &TReviewDesk::UpdateCaption);
}

TReviewDesk::~TReviewDesk() = default;

QString TReviewDesk::RecoveryPath() const {
  if (RecoveryFolder_.isEmpty()) return {};
  return QDir(RecoveryFolder_).filePath(kRecoveryPrefix + QString::number(::getpid()) + QStringLiteral(".loggrevy"));
}

TReviewCrossCheck TReviewDesk::CrossCheckSettings() const {
  return {Hub_.Options().TimeToleranceMinutes, Hub_.Options().CompareSerials};
}

void TReviewDesk::UpdateCaption() {
  QString caption = BaseCaption_;
  if (!ReviewPath_.isEmpty()) {
    QString name = QFileInfo(ReviewPath_).fileName();
    if (ReadOnly_) name += QStringLiteral(" (skrivskyddad)");
    caption = name + QStringLiteral("[*] - ") + BaseCaption_;
  } else {
    caption = QStringLiteral("[*]") + BaseCaption_;
  }
  Window_.setWindowTitle(caption);
  Window_.setWindowModified(Dirty());
  emit CaptionChanged();
}

void TReviewDesk::RememberStates() {
  Known_.clear();
  for (const TLog* log : Session_.Logs()) Known_.emplace(log, JudgedStateOf(*log));
}

void TReviewDesk::LogsImported() {
  if (Restoring_ || Closed_) return;
  if (!Stack_.isClean()) DirtyOutsideStack_ = true;
  Stack_.clear();
  Hashes_.clear();
  RememberStates();
  UpdateCaption();
}

void TReviewDesk::RecordChanges() {
  if (Restoring_ || Closed_) return;
  std::vector<TLog*> logs;
  std::vector<TJudgedState> before;
  std::vector<TJudgedState> after;
  for (TLog* log : Session_.Logs()) {
    TJudgedState now = JudgedStateOf(*log);
    auto known = Known_.find(log);
    if (known == Known_.end()) {
      Known_.emplace(log, std::move(now));
      continue;
    }
    if (known->second == now) continue;
    logs.push_back(log);
    before.push_back(std::move(known->second));
    known->second = now;
    after.push_back(std::move(now));
  }
  if (logs.empty()) return;
  Stack_.push(new TJudgementCommand(
      std::move(logs), std::move(before), std::move(after),
      [this](const std::vector<TLog*>& changed, const std::vector<TJudgedState>& states) { Shown(changed, states); }));
}

void TReviewDesk::Shown(const std::vector<TLog*>& logs, const std::vector<TJudgedState>& states) {
  for (std::size_t i = 0; i < logs.size(); ++i) Known_[logs[i]] = states[i];
  Restoring_ = true;
  Window_.JudgementsChanged(logs);
  Restoring_ = false;
}

void TReviewDesk::OpenChosen() {
  if (Closed_) return;
  QString folder = ReviewPath_.isEmpty() ? QString() : QFileInfo(ReviewPath_).absolutePath();
  if (folder.isEmpty() && !Session_.Logs().empty()) {
    folder = QFileInfo(PathToQString(Session_.Logs().front()->Path())).absolutePath();
  }
  const QString path = Dialogs_->ChooseReviewToOpen(&Window_, folder);
  if (!path.isEmpty()) Open(path);
}

std::unique_ptr<QLockFile> TReviewDesk::Lock(const QString& path, bool& heldByOther) {
  auto lock = std::make_unique<QLockFile>(LockPathOf(path));
  // A lock whose program no longer runs is taken over at once.
  lock->setStaleLockTime(0);
  heldByOther = false;
  if (lock->tryLock(0)) return lock;
  heldByOther = lock->error() == QLockFile::LockFailedError;
  return nullptr;
}

bool TReviewDesk::Open(const QString& path) {
  if (Closed_) return false;
  const std::string native = ToNativePath(path);
  const TReviewRead read = ReadReviewFile(native, SystemCoreCount());
  if (read.Error != TReviewError::None) {
    QString text = ToQString(ReviewErrorText(read.Error)) + QStringLiteral(":\n") + path;
    if (!read.Reason.empty()) text += QStringLiteral("\n") + QString::fromLocal8Bit(read.Reason.c_str());
    Dialogs_->ShowMessage(&Window_, QStringLiteral("Öppna granskning"), text);
    return false;
  }
  bool replace = true;
  if (!Session_.Logs().empty()) {
    const TAddOrReplaceAnswer answer = Dialogs_->AskAddOrReplace(&Window_);
    if (answer == TAddOrReplaceAnswer::Cancel) return false;
    replace = answer == TAddOrReplaceAnswer::Replace;
    if (replace && !ConfirmClose()) return false;
  }
  // The review opened becomes the one saved to, unless its logs are added to
  // a review that has its own file.
  if (replace || ReviewPath_.isEmpty()) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    bool readOnly = false;
    if (absolute != ReviewPath_ || ReadOnly_) {
      bool heldByOther = false;
      std::unique_ptr<QLockFile> lock = Lock(absolute, heldByOther);
      if (lock == nullptr && heldByOther) {
        const QString text =
            QStringLiteral("Granskningen %1 är öppen i ett annat Loggrevy-program. Vill du öppna den skrivskyddad?")
                .arg(QFileInfo(path).fileName());
        if (!Dialogs_->AskReadOnly(&Window_, text)) return false;
        readOnly = true;
      }
      Lock_ = std::move(lock);
    }
    ReviewPath_ = absolute;
    ReadOnly_ = readOnly;
  }
  return Restore(read.Review, native, replace);
}

bool TReviewDesk::Restore(const TReview& review, const std::string& reviewPath, bool replace) {
  const bool added = !replace && !Session_.Logs().empty();
  if (replace) {
    Window_.ClearLogs();
    Kept_ = {};
  }
  Hub_.SetOptions({review.CrossCheck.TimeToleranceMinutes, review.CrossCheck.CompareSerials}, &Window_);
  TReviewPlan plan = PlanReview(review, reviewPath, Session_, SystemCoreCount());
  for (std::size_t run = 0; run < plan.Runs.size(); ++run) {
    Window_.ImportPaths(plan.Runs[run].Paths, plan.Runs[run].Year, plan.Reader(run));
  }
  TReviewOpened opened = ApplyReview(Session_, plan, SystemCoreCount());
  for (TReviewLog& missing : opened.Kept.MissingLogs) Kept_.MissingLogs.push_back(std::move(missing));
  for (auto& [path, judgements] : opened.Kept.Judgements) {
    auto& kept = Kept_.Judgements[path];
    kept.insert(kept.end(), judgements.begin(), judgements.end());
  }
  Restoring_ = true;
  Window_.JudgementsChanged(opened.Restored);
  Restoring_ = false;
  Stack_.clear();
  Stack_.setClean();
  Hashes_.clear();
  RememberStates();
  DirtyOutsideStack_ = added;
  UpdateCaption();
  ScheduleRecovery();
  if (!opened.Problems.empty()) {
    QStringList lines{QStringLiteral("Granskningen är öppnad, men:"), QString()};
    for (const TReviewProblem& problem : opened.Problems) lines.append(ProblemLine(problem));
    lines.append(QString());
    lines.append(QStringLiteral("Det som inte kunde återställas sparas kvar i granskningsfilen."));
    Dialogs_->ShowMessage(&Window_, QStringLiteral("Öppna granskning"), lines.join(QLatin1Char('\n')));
  }
  return true;
}

bool TReviewDesk::Save() {
  if (Closed_) return false;
  if (ReviewPath_.isEmpty() || ReadOnly_) return SaveAs();
  return SaveTo(ReviewPath_);
}

bool TReviewDesk::SaveAs() {
  if (Closed_) return false;
  QString suggested = ReviewPath_;
  if (suggested.isEmpty()) {
    const QString folder = Session_.Logs().empty()
                               ? QDir::currentPath()
                               : QFileInfo(PathToQString(Session_.Logs().front()->Path())).absolutePath();
    suggested = QDir(folder).filePath(QStringLiteral("granskning.loggrevy"));
  }
  QString path = Dialogs_->ChooseReviewToSave(&Window_, suggested);
  if (path.isEmpty()) return false;
  if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".loggrevy");
  path = QFileInfo(path).absoluteFilePath();
  std::unique_ptr<QLockFile> lock;
  if (path != ReviewPath_ || ReadOnly_) {
    bool heldByOther = false;
    lock = Lock(path, heldByOther);
    if (lock == nullptr && heldByOther) {
      Dialogs_->ShowMessage(
          &Window_, QStringLiteral("Spara granskning"),
          QStringLiteral("Granskningen %1 är öppen i ett annat Loggrevy-program och sparas inte.").arg(path));
      return false;
    }
  }
  if (!SaveTo(path)) return false;
  if (lock != nullptr) Lock_ = std::move(lock);
  ReviewPath_ = path;
  ReadOnly_ = false;
  UpdateCaption();
  return true;
}

bool TReviewDesk::SaveTo(const QString& path) {
  const std::string native = ToNativePath(path);
  if (IsImportedLog(Session_, native)) {
    Dialogs_->ShowMessage(&Window_, QStringLiteral("Spara granskning"),
                          QStringLiteral("En granskning sparas aldrig över en importerad logg:\n%1").arg(path));
    return false;
  }
  const TReview review = CaptureReview(Session_, native, CrossCheckSettings(), Kept_, nullptr, SystemNowNs());
  if (const auto failure = WriteReviewFile(native, review)) {
    Dialogs_->ShowMessage(&Window_, QStringLiteral("Spara granskning"),
                          QStringLiteral("Granskningen kunde inte sparas:\n%1\n\nBedömningarna finns kvar i fönstret.")
                              .arg(PathToQString(*failure)));
    return false;
  }
  Stack_.setClean();
  DirtyOutsideStack_ = false;
  UpdateCaption();
  ScheduleRecovery();
  return true;
}

bool TReviewDesk::ConfirmClose() {
  if (!Dirty()) return true;
  switch (Dialogs_->AskSaveChanges(&Window_)) {
    case TSaveChangesAnswer::Save: return Save();
    case TSaveChangesAnswer::Discard: return true;
    case TSaveChangesAnswer::Cancel: break;
  }
  return false;
}

void TReviewDesk::Closed() {
  Closed_ = true;
  Stack_.clear();
  RecoveryTimer_->stop();
  if (const QString recovery = RecoveryPath(); !recovery.isEmpty()) QFile::remove(recovery);
  Lock_.reset();
}

void TReviewDesk::ScheduleRecovery() {
  if (Closed_ || RecoveryFolder_.isEmpty() || RecoveryTimer_->isActive()) return;
  RecoveryTimer_->start();
}

void TReviewDesk::WriteRecovery() {
  RecoveryTimer_->stop();
  const QString path = RecoveryPath();
  if (path.isEmpty()) return;
  if (!Dirty()) {
    QFile::remove(path);
    return;
  }
  QDir().mkpath(RecoveryFolder_);
  const std::string native = ToNativePath(path);
  TReview review = CaptureReview(Session_, native, CrossCheckSettings(), Kept_, &Hashes_);
  review.RecoveryOf = ReviewPath_.isEmpty() ? std::string() : ToNativePath(ReviewPath_);
  // A copy that cannot be written is tried again at the next change; the
  // judge's work is still in the window.
  (void)WriteReviewFile(native, review);
}

bool TReviewDesk::OfferRecovery() {
  if (RecoveryFolder_.isEmpty()) return false;
  const QDir folder(RecoveryFolder_);
  const QFileInfoList copies =
      folder.entryInfoList({kRecoveryPrefix + QStringLiteral("*.loggrevy")}, QDir::Files | QDir::Hidden, QDir::Time);
  for (const QFileInfo& copy : copies) {
    if (WriterRuns(copy.fileName())) continue;
    const std::string native = ToNativePath(copy.absoluteFilePath());
    const TReviewRead read = ReadReviewFile(native, SystemCoreCount());
    if (read.Error != TReviewError::None) {
      QFile::remove(copy.absoluteFilePath());
      continue;
    }
    const QString of = read.Review.RecoveryOf.empty()
                           ? QStringLiteral("en ny granskning")
                           : QStringLiteral("granskningen %1").arg(PathToQString(read.Review.RecoveryOf));
    const QString text = QStringLiteral(
                             "Loggrevy avslutades utan att ändringarna i %1 sparades (%2 loggar). "
                             "Vill du återställa det osparade arbetet?")
                             .arg(of)
                             .arg(read.Review.Logs.size());
    if (!Dialogs_->AskRestore(&Window_, text)) {
      QFile::remove(copy.absoluteFilePath());
      continue;
    }
    ReviewPath_.clear();
    ReadOnly_ = false;
    Lock_.reset();
    if (!read.Review.RecoveryOf.empty()) {
      const QString target = PathToQString(read.Review.RecoveryOf);
      bool heldByOther = false;
      Lock_ = Lock(target, heldByOther);
      ReviewPath_ = target;
      ReadOnly_ = Lock_ == nullptr && heldByOther;
    }
    Restore(read.Review, native, true);
    QFile::remove(copy.absoluteFilePath());
    // What was restored is not saved yet.
    DirtyOutsideStack_ = true;
    UpdateCaption();
    ScheduleRecovery();
    return true;
  }
  return false;
}

}  // namespace loggrevy
