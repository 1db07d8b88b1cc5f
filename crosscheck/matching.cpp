#include "crosscheck/group_matcher.h"

namespace loggrevy::matching {

void TGroupMatcher::Run(const std::function<void(std::size_t)>& finished) {
  PassPartner(Options_.TimeToleranceMinutes, TVerdict::Confirmed, TBuckets::All);
  PassBustedCall();
  PassBustedSerial();
  PassPartner(kAnyDifference, TVerdict::TimeMismatch, TBuckets::LeftOver);
  PassProbableBustedCall();
  Fits_.assign(Open_.size(), 0);
  InOrder_.assign(LogInfo_.size(), 0);
  TimePairs_.resize(LogInfo_.size());
  RunSlices(LogInfo_.size(), Jobs_, [&](std::size_t begin, std::size_t end) {
    for (std::size_t local = begin; local < end; ++local) Clock(local);
  });
  RunSlices(LogInfo_.size(), Jobs_, [&](std::size_t begin, std::size_t end) {
    for (std::size_t local = begin; local < end; ++local) Places(local);
  });
  RunSlices(LogInfo_.size(), Jobs_, [&](std::size_t begin, std::size_t end) {
    for (std::size_t local = begin; local < end; ++local) {
      FinishLog(local);
      finished(static_cast<std::size_t>(LogInfo_[local].Log));
    }
  });
  CountPartnerRecords();
}

// What is left of a log after the passes: a verdict for each record still
// open, the side not at fault of each time pair, and the exchange of every
// confirmed record checked against the other log.
void TGroupMatcher::FinishLog(std::size_t local) {
  const TLogInfo& own = LogInfo_[local];
  TLogCrossCheck& result = Results_[static_cast<std::size_t>(own.Log)];
  const std::vector<TQSORecord>& qsos = Logs_[static_cast<std::size_t>(own.Log)]->Edi().QSOs;
  for (std::size_t position = 0; position < result.Qsos.size(); ++position) {
    if (position + kRecordsAhead < qsos.size()) __builtin_prefetch(&qsos[position + kRecordsAhead]);
    TQsoVerdict& v = result.Qsos[position];
    const uint32_t record = own.First + static_cast<uint32_t>(position);
    if (Open_[record]) {
      v.Verdict = RestVerdict(Partner_[record], own.Station);
      continue;
    }
    if (v.Verdict == TVerdict::TimeMismatch && OtherAtFault(local, record, v)) {
      v.Verdict = TVerdict::ConfirmedPartnerTime;
    }
    if (v.Verdict != TVerdict::Confirmed && v.Verdict != TVerdict::ConfirmedPartnerBusted &&
        v.Verdict != TVerdict::ConfirmedPartnerTime) {
      continue;
    }
    const TQSORecord& q = qsos[position];
    const TLogInfo& other = LogInfo_[static_cast<std::size_t>(LocalOf_[static_cast<std::size_t>(v.OtherLog)])];
    if (other.LocatorValid && other.Locator != PackSix(q.RcvdWWL)) {
      v.Verdict = TVerdict::BustedLocator;
      continue;
    }
    const bool compare = Options_.CompareSerials || (own.Kvartalstest && other.Kvartalstest);
    if (compare &&
        q.RcvdNr !=
            Logs_[static_cast<std::size_t>(other.Log)]->Edi().QSOs[static_cast<std::size_t>(v.OtherQso - 1)].SentNr) {
      v.Verdict = TVerdict::BustedSerial;
    }
  }
}

// For each active station, the records of the other active logs that
// logged it and those of them whose verdict proposes invalid, once every
// verdict is made.
void TGroupMatcher::CountPartnerRecords() {
  std::array<uint8_t, kVerdictCount> invalid{};
  for (const TVerdict verdict : kAllVerdicts) invalid[static_cast<std::size_t>(verdict)] = ProposesInvalid(verdict);
  std::vector<int32_t> records(Ids_.Size(), 0);
  std::vector<std::vector<TRecordRef>> lost(Ids_.Size());
  for (std::size_t local = 0; local < LogInfo_.size(); ++local) {
    const TLogInfo& info = LogInfo_[local];
    const std::vector<TQsoVerdict>& verdicts = Results_[static_cast<std::size_t>(info.Log)].Qsos;
    const TId* partners = Partner_.data() + info.First;
    for (std::size_t position = 0; position < verdicts.size(); ++position) {
      const TId partner = partners[position];
      // Only the counts of active stations are read: no need to ask which the partner is.
      if (partner == kNoId || partner == info.Station) continue;
      ++records[static_cast<std::size_t>(partner)];
      if (invalid[static_cast<std::size_t>(verdicts[position].Verdict)]) {
        lost[static_cast<std::size_t>(partner)].push_back({info.Log, static_cast<int32_t>(position)});
      }
    }
  }
  for (const TLogInfo& info : LogInfo_) {
    TLogCrossCheck& result = Results_[static_cast<std::size_t>(info.Log)];
    result.PartnerRecords = records[static_cast<std::size_t>(info.Station)];
    result.PartnerLost = lost[static_cast<std::size_t>(info.Station)];
  }
}

}  // namespace loggrevy::matching

namespace loggrevy {

std::size_t GroupRecords(const std::vector<TLog*>& logs, const TBatchGroups& groups, const TBatchGroup& group) {
  std::size_t records = 0;
  for (const int32_t log : group.Logs) {
    if (groups.Logs[static_cast<std::size_t>(log)].Role == TBatchRole::Active) {
      records += logs[static_cast<std::size_t>(log)]->Edi().QSOs.size();
    }
  }
  return records;
}

void MatchGroup(const std::vector<TLog*>& logs, const std::vector<std::vector<int32_t>>& minutes,
                const TBatchGroups& groups, const TBatchGroup& group, const TCrossCheckOptions& options,
                std::size_t jobs, std::vector<TLogCrossCheck>& results,
                const std::function<void(std::size_t)>& finished) {
  matching::TGroupMatcher(logs, minutes, groups, group, options, jobs, results).Run(finished);
}

}  // namespace loggrevy
