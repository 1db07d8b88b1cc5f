#include "ui/undo_judgements.h"

#include "model/implog.h"

namespace loggrevy {

TJudgedState JudgedStateOf(const TLog& log) {
  TJudgedState state;
  const auto& penalties = log.Checker().Penalties();
  state.Penalties.reserve(penalties.size());
  for (const TQsoPenalty& penalty : penalties) state.Penalties.push_back(penalty.Penalty);
  state.DxScore = log.GetDxScore();
  state.Squares = log.GetSquares();
  return state;
}

void RestoreJudgedState(TLog& log, const TJudgedState& state) {
  TNacChecker& checker = log.Checker();
  if (checker.Checked()) {
    for (std::size_t position = 0; position < state.Penalties.size(); ++position) {
      checker.StorePenalty(static_cast<int64_t>(position), state.Penalties[position]);
    }
    checker.Recalculate();
  }
  // A figure equal to the claimed one is the claimed one again.
  log.SetDxScore(state.DxScore);
  log.SetSquares(state.Squares);
}

TJudgementCommand::TJudgementCommand(
    std::vector<TLog*> logs, std::vector<TJudgedState> before, std::vector<TJudgedState> after,
    std::function<void(const std::vector<TLog*>&, const std::vector<TJudgedState>&)> shown)
    : Logs_(std::move(logs)), Before_(std::move(before)), After_(std::move(after)), Shown_(std::move(shown)) {}

void TJudgementCommand::undo() { Restore(Before_); }

void TJudgementCommand::redo() {
  if (Done_) {
    Done_ = false;
    return;
  }
  Restore(After_);
}

void TJudgementCommand::Restore(const std::vector<TJudgedState>& states) {
  for (std::size_t i = 0; i < Logs_.size(); ++i) RestoreJudgedState(*Logs_[i], states[i]);
  Shown_(Logs_, states);
}

}  // namespace loggrevy
