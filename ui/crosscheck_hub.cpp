#include "ui/crosscheck_hub.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>

#include "core/platform.h"
#include "model/import_session.h"

namespace loggrevy {

QColor VerdictColour(TVerdict verdict) {
  if (verdict == TVerdict::Confirmed || verdict == TVerdict::ConfirmedPartnerBusted ||
      verdict == TVerdict::ConfirmedPartnerTime) {
    return {0xC6, 0xEF, 0xC6};
  }
  if (ProposesInvalid(verdict)) return {0xF6, 0xC2, 0xC2};
  return {0xFF, 0xE2, 0x9A};
}

TCrossCheckHub::TCrossCheckHub(TImportSession& session, QObject* parent) : QObject(parent), Session_(session) {}

TCrossCheckHub::~TCrossCheckHub() = default;

void TCrossCheckHub::Run(QWidget* progressParent) {
  if (Running_) return;
  Running_ = true;
  DroppedWhileRunning_ = false;
  const std::vector<TLog*> logs = Session_.Logs();
  std::unique_ptr<TCrossCheck> next;
  if (logs.size() < BackgroundThreshold_) {
    next = std::make_unique<TCrossCheck>(logs, Options_);
  } else {
    // The logs are only read while the check runs; the modal dialog keeps the
    // judge from changing them, and the windows keep painting.
    QProgressDialog progress(QStringLiteral("Korskontrollerar %1 loggar...").arg(logs.size()), QString(), 0, 0,
                             progressParent);
    progress.setObjectName(QStringLiteral("dlgCrossCheckProgress"));
    progress.setWindowTitle(QStringLiteral("Korskontroll"));
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setCancelButton(nullptr);
    progress.setMinimumDuration(0);
    progress.show();
    const TCrossCheckOptions options = Options_;
    QEventLoop loop;
    std::unique_ptr<QThread> thread(QThread::create(
        [&next, &logs, options] { next = std::make_unique<TCrossCheck>(logs, options, SystemCoreCount()); }));
    connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    Thread_ = thread.get();
    thread->start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    thread->wait();
    Thread_ = nullptr;
  }
  Running_ = false;
  if (DroppedWhileRunning_) return;
  Suspended_ = false;
  Replace(std::move(next));
}

void TCrossCheckHub::SetOptions(TCrossCheckOptions options, QWidget* progressParent) {
  if (options.TimeToleranceMinutes == Options_.TimeToleranceMinutes &&
      options.CompareSerials == Options_.CompareSerials) {
    return;
  }
  Options_ = options;
  if (Current_ != nullptr) Run(progressParent);
}

void TCrossCheckHub::Suspend() {
  if (Current_ == nullptr) return;
  Suspended_ = true;
  Replace(nullptr);
}

void TCrossCheckHub::Resume(QWidget* progressParent) {
  if (Suspended_) Run(progressParent);
  emit BatchChanged();
}

void TCrossCheckHub::Drop() {
  Suspended_ = false;
  if (Running_) DroppedWhileRunning_ = true;
  if (Thread_ != nullptr) Thread_->wait();
  Replace(nullptr);
}

void TCrossCheckHub::Replace(std::unique_ptr<TCrossCheck> next) {
  Current_ = std::move(next);
  Index_.clear();
  if (Current_ != nullptr) {
    for (std::size_t i = 0; i < Current_->LogCount(); ++i) Index_.emplace(&Current_->BatchEntry(i), i);
  }
  emit Changed();
}

std::optional<std::size_t> TCrossCheckHub::IndexOf(const TLog* log) const {
  const auto found = Index_.find(log);
  if (found == Index_.end()) return std::nullopt;
  return found->second;
}

TCrossCheckHub::TPending TCrossCheckHub::Pending(const std::vector<TLog*>& logs) const {
  TPending pending;
  if (Current_ == nullptr) return pending;
  for (const TLog* log : logs) {
    const auto index = IndexOf(log);
    if (!index || Current_->BatchLog(*index).Role != TBatchRole::Active) continue;
    const TNacChecker& checker = log->Checker();
    const std::vector<TQsoVerdict>& qsos = Current_->Log(*index).Qsos;
    int32_t count = 0;
    for (std::size_t position = 0; position < qsos.size() && position < checker.Penalties().size(); ++position) {
      if (Current_->ProposedPenalty(*index, position) != kPenaltyNone &&
          checker.GetPenalty(static_cast<int64_t>(position)) == kPenaltyNone) {
        ++count;
      }
    }
    pending.Qsos += count;
    if (count > 0) ++pending.Logs;
  }
  return pending;
}

TLog* TCrossCheckHub::LogAt(std::size_t index) const {
  if (Current_ == nullptr || index >= Current_->LogCount()) return nullptr;
  const TLog* wanted = &Current_->BatchEntry(index);
  for (TLog* log : Session_.Logs()) {
    if (log == wanted) return log;
  }
  return nullptr;
}

int32_t TCrossCheckHub::Apply(const std::vector<TLog*>& logs) {
  if (Current_ == nullptr) return 0;
  int32_t stored = 0;
  for (const TLog* log : logs) {
    if (const auto index = IndexOf(log)) stored += Current_->Apply(*index);
  }
  emit FiguresChanged();
  return stored;
}

void TCrossCheckHub::LogJudged(const TLog* log) {
  if (Current_ == nullptr) return;
  if (const auto index = IndexOf(log)) Current_->UpdateFiguresAfter(*index);
  emit FiguresChanged();
}

void TCrossCheckHub::LogsJudged(const std::vector<TLog*>& logs) {
  if (Current_ != nullptr) {
    for (const TLog* log : logs) {
      if (const auto index = IndexOf(log)) Current_->UpdateFiguresAfter(*index);
    }
  }
  emit FiguresChanged();
}

}  // namespace loggrevy
