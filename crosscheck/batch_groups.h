#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "crosscheck/qso_time.h"
#include "model/implog.h"

namespace loggrevy {

// How one log of a batch stands in the cross-check.
enum class TBatchRole : uint8_t {
  Absent,      // unreadable or without a call: takes no part
  Active,      // takes part, and is the last version of its log in its group
  Replaced,    // takes part, but a later log of the same station replaced it
  Unreadable,  // unreadable, but its call tells that the station sent a log
};

struct TBatchLog {
  TBatchRole Role = TBatchRole::Absent;
  std::string Station;  // StationKey of PCall
  std::string Band;     // BandKey of PBand
  std::optional<TDayNumber> Day;
  int32_t Group = -1;       // -1: in no group
  int32_t ReplacedBy = -1;  // the active log that replaced a Replaced one
};

// The logs that take part with one band on consecutive days: a two-day
// contest, or one NAC evening.
struct TBatchGroup {
  std::optional<TDayNumber> Date;  // the earliest contest day; none for logs without a day
  std::string Band;
  std::vector<int32_t> Logs;        // active and replaced, in import order
  std::vector<int32_t> Unreadable;  // unreadable members, in import order
};

struct TBatchGroups {
  std::vector<TBatchLog> Logs;      // one per log of the batch, same order
  std::vector<TBatchGroup> Groups;  // ordered by their first log
};

// Files the logs (in import order) into groups and versions. Follows from the
// logs alone; no QSO is matched.
TBatchGroups GroupBatch(const std::vector<TLog*>& logs, std::size_t jobs = 1);
// The same with the RecordMinutes of every log already known.
TBatchGroups GroupBatch(const std::vector<TLog*>& logs, const std::vector<std::vector<int32_t>>& minutes,
                        std::size_t jobs);

// The day a log was held on: the date most of its records with a known time
// carry (the earliest on a tie), else the start date of its header.
std::optional<TDayNumber> ContestDay(const TReg1Test& edi);
std::optional<TDayNumber> ContestDay(const TReg1Test& edi, const std::vector<int32_t>& minutes);

}  // namespace loggrevy
