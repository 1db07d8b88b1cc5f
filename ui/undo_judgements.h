#pragma once

#include <QUndoCommand>

#include <cstdint>
#include <functional>
#include <vector>

namespace loggrevy {

class TLog;

// What the judge decided on one log: a judgement per QSO and the accepted
// figures.
struct TJudgedState {
  std::vector<uint8_t> Penalties;
  int64_t DxScore = 0;
  int32_t Squares = 0;
  bool operator==(const TJudgedState&) const = default;
};

TJudgedState JudgedStateOf(const TLog& log);
// Puts the judgements and accepted figures back and recalculates the log.
void RestoreJudgedState(TLog& log, const TJudgedState& state);

// One step of the judge's: the logs it changed, before and after. It is
// pushed when done, so its first redo does nothing; shown(logs) tells the
// windows after each undo and redo.
class TJudgementCommand final : public QUndoCommand {
 public:
  TJudgementCommand(std::vector<TLog*> logs, std::vector<TJudgedState> before, std::vector<TJudgedState> after,
                    std::function<void(const std::vector<TLog*>&, const std::vector<TJudgedState>&)> shown);
  void undo() override;
  void redo() override;

 private:
  void Restore(const std::vector<TJudgedState>& states);

  std::vector<TLog*> Logs_;
  std::vector<TJudgedState> Before_;
  std::vector<TJudgedState> After_;
  std::function<void(const std::vector<TLog*>&, const std::vector<TJudgedState>&)> Shown_;
  bool Done_ = true;
};

}  // namespace loggrevy
