#pragma once

#include <functional>
#include <vector>

#include "crosscheck/crosscheck.h"

namespace loggrevy {

// A group of fewer QSO records is matched on one thread: starting threads
// for its short steps would cost more than they save.
constexpr std::size_t kThreadedRecords = 20000;

// The QSO records of a group's active logs.
std::size_t GroupRecords(const std::vector<TLog*>& logs, const TBatchGroups& groups, const TBatchGroup& group);

// Gives every record of the group's active logs its verdict and the clock
// offset of each log, in results (indexed by batch position), on up to jobs
// threads; minutes holds the RecordMinutes of every log. Calls finished(log)
// on the thread that made a log's last verdict.
void MatchGroup(const std::vector<TLog*>& logs, const std::vector<std::vector<int32_t>>& minutes,
                const TBatchGroups& groups, const TBatchGroup& group, const TCrossCheckOptions& options,
                std::size_t jobs, std::vector<TLogCrossCheck>& results,
                const std::function<void(std::size_t)>& finished);

}  // namespace loggrevy
