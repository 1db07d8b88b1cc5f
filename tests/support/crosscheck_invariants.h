#pragma once

// Properties every cross-check must have, whatever the logs. Shared by the
// fuzz target of the judgement sequence and the tests on real evenings. Each
// function returns the violations found, one per line; empty when sound.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "crosscheck/crosscheck.h"
#include "crosscheck/keys.h"
#include "crosscheck/qso_time.h"
#include "support/invariants.h"

namespace loggrevy::invariants {

// The verdicts the other record of a pair may carry: a direct pair checks
// each side's exchange on its own; a busted call's partner, and the side of
// a time pair that is not at fault, may still have its own exchange wrong.
inline bool AllowedPair(TVerdict own, TVerdict other) {
  const auto direct = [](TVerdict v) {
    return v == TVerdict::Confirmed || v == TVerdict::BustedLocator || v == TVerdict::BustedSerial;
  };
  switch (own) {
    case TVerdict::Confirmed: return direct(other);
    case TVerdict::BustedLocator:
    case TVerdict::BustedSerial:
      return direct(other) || other == TVerdict::BustedCall || other == TVerdict::TimeMismatch;
    case TVerdict::ConfirmedPartnerBusted: return other == TVerdict::BustedCall;
    case TVerdict::ConfirmedPartnerTime: return other == TVerdict::TimeMismatch;
    case TVerdict::BustedCall:
      return other == TVerdict::ConfirmedPartnerBusted || other == TVerdict::BustedLocator ||
             other == TVerdict::BustedSerial;
    case TVerdict::TimeMismatch:
      return other == TVerdict::TimeMismatch || other == TVerdict::ConfirmedPartnerTime ||
             other == TVerdict::BustedLocator || other == TVerdict::BustedSerial;
    default: return false;
  }
}

inline bool JudgedAsDuplicate(const TNacChecker& checker) {
  return std::any_of(checker.Penalties().begin(), checker.Penalties().end(),
                     [](const TQsoPenalty& p) { return p.Penalty == kPenaltyDuplicate; });
}

// The cross-check of logs (the batch it was made of, unchanged since):
// roles and groups, every verdict against what its record holds, every pair
// pointing both ways with an allowed pair of verdicts, the counts, the clock
// and the figures after.
inline std::string CheckCrossCheck(const std::vector<TLog*>& logs, const TCrossCheck& check) {
  TReport r;
  r.Expect(check.LogCount() == logs.size(), "the cross-check has another number of logs than the batch");
  if (check.LogCount() != logs.size()) return r.Text();
  const auto tolerance = int64_t{check.Options().TimeToleranceMinutes};
  const TBatchGroups& groups = check.Groups();
  for (std::size_t g = 0; g < groups.Groups.size(); ++g) {
    for (const int32_t member : groups.Groups[g].Logs) {
      const bool inGroup = member >= 0 && static_cast<std::size_t>(member) < logs.size() &&
                           check.BatchLog(static_cast<std::size_t>(member)).Group == static_cast<int32_t>(g);
      r.Expect(inGroup, "a group lists a log that is not in it");
    }
  }

  for (std::size_t log = 0; log < logs.size(); ++log) {
    const TBatchLog& batch = check.BatchLog(log);
    const TLogCrossCheck& result = check.Log(log);
    const TReg1Test& edi = logs[log]->Edi();
    if (batch.Role == TBatchRole::Replaced) {
      const auto by = static_cast<std::size_t>(batch.ReplacedBy);
      const bool replacedWell = batch.ReplacedBy > static_cast<int32_t>(log) && by < logs.size() &&
                                check.BatchLog(by).Role == TBatchRole::Active &&
                                check.BatchLog(by).Group == batch.Group && check.BatchLog(by).Station == batch.Station;
      r.Expect(replacedWell, "a replaced log is not replaced by a later active log of its station and group");
    }
    if (batch.Role != TBatchRole::Active) {
      const bool nothing = result.Qsos.empty() && !result.After && !result.ClockOffsetMinutes &&
                           result.ClockPairs == 0 && result.PartnerRecords == 0 && result.PartnerLost.empty() &&
                           std::all_of(result.Counts.begin(), result.Counts.end(), [](int32_t c) { return c == 0; });
      r.Expect(nothing, "a log that is not active has verdicts, counts, a clock or figures after");
      continue;
    }
    r.Expect(batch.Group >= 0 && static_cast<std::size_t>(batch.Group) < groups.Groups.size(),
             "an active log is in no group");
    r.Expect(edi.Status < 3 && !batch.Station.empty(), "an unreadable log or one without a call is active");
    r.Expect(result.Qsos.size() == edi.QSOs.size(), "an active log has not one verdict per QSO record");
    if (result.Qsos.size() != edi.QSOs.size()) continue;

    std::array<int32_t, kVerdictCount> counts{};
    int32_t directOrTime = 0;
    int32_t possiblyClock = 0;
    for (std::size_t q = 0; q < result.Qsos.size(); ++q) {
      const TQsoVerdict& v = result.Qsos[q];
      const auto index = static_cast<std::size_t>(v.Verdict);
      r.Expect(index < kVerdictCount, "a verdict outside the table");
      if (index >= kVerdictCount) continue;
      ++counts[index];
      r.Expect(check.ProposedPenalty(log, q) == (ProposesInvalid(v.Verdict) ? kPenaltyInvalid : kPenaltyNone),
               "the proposed penalty does not follow the verdict");
      r.Expect(!check.Text(log, q).empty(), "a verdict has no text");

      const TQSORecord& record = edi.QSOs[q];
      const std::string partner = StationKey(record.Call.View());
      const bool known = QsoMinutes(record.Date.View(), record.Time.View()).has_value();
      if (!known || partner.empty()) {
        r.Expect(v.Verdict == TVerdict::Unverifiable, "a record without a time or a call is not unverifiable");
      } else if (partner == batch.Station) {
        r.Expect(v.Verdict == TVerdict::OwnCall, "a record of the log's own call is not own-call");
      } else {
        r.Expect(v.Verdict != TVerdict::Unverifiable && v.Verdict != TVerdict::OwnCall,
                 "a record with a time and another call is unverifiable or own-call");
      }

      if (!HasEvidence(v.Verdict)) {
        r.Expect(v.OtherLog == -1 && v.OtherQso == 0, "a verdict without evidence names another record");
        continue;
      }
      if (v.Verdict == TVerdict::Confirmed || v.Verdict == TVerdict::TimeMismatch ||
          v.Verdict == TVerdict::ConfirmedPartnerTime) {
        ++directOrTime;
      }
      if (v.Verdict != TVerdict::BustedCall && v.Verdict != TVerdict::ConfirmedPartnerBusted) ++possiblyClock;
      const auto other = static_cast<std::size_t>(v.OtherLog);
      const bool otherActive = v.OtherLog >= 0 && other < logs.size() && other != log &&
                               check.BatchLog(other).Role == TBatchRole::Active &&
                               check.BatchLog(other).Group == batch.Group;
      r.Expect(otherActive, "evidence names a log that is not another active log of the group");
      if (!otherActive) continue;
      const TLogCrossCheck& otherResult = check.Log(other);
      const bool otherExists = v.OtherQso >= 1 && static_cast<std::size_t>(v.OtherQso) <= otherResult.Qsos.size();
      r.Expect(otherExists, "evidence names a record that does not exist");
      if (!otherExists) continue;
      const TQsoVerdict& back = otherResult.Qsos[static_cast<std::size_t>(v.OtherQso - 1)];
      r.Expect(back.OtherLog == static_cast<int32_t>(log) && back.OtherQso == static_cast<int32_t>(q + 1),
               "the other record's evidence does not point back");
      r.Expect(back.DeltaMinutes == -v.DeltaMinutes, "the two records of a pair disagree on their time difference");
      r.Expect(AllowedPair(v.Verdict, back.Verdict), "a pair of verdicts that no pass gives");

      const TQSORecord& otherRecord = logs[other]->Edi().QSOs[static_cast<std::size_t>(v.OtherQso - 1)];
      const auto own = QsoMinutes(record.Date.View(), record.Time.View());
      const auto theirs = QsoMinutes(otherRecord.Date.View(), otherRecord.Time.View());
      r.Expect(own && theirs && *own - *theirs == v.DeltaMinutes, "the time difference is not that of the records");
      // A busted call's record names the station it should have logged; its
      // partner's record, and every other pair, logged each other's station.
      const std::string& otherStation = check.BatchLog(other).Station;
      const std::string otherPartner = StationKey(otherRecord.Call.View());
      r.Expect(otherStation != batch.Station, "a pair joins two logs of one station");
      if (v.Verdict == TVerdict::BustedCall) {
        const bool serialsAgree = record.SentNr > 0 && record.RcvdNr > 0 && otherRecord.SentNr == record.RcvdNr &&
                                  otherRecord.RcvdNr == record.SentNr;
        r.Expect(otherPartner == batch.Station && otherStation != partner &&
                     (Similar(partner, otherStation) || serialsAgree),
                 "a busted call's partner did not log this station, or its call is not one edit from the one "
                 "logged and the serial numbers do not agree");
      } else if (back.Verdict != TVerdict::BustedCall) {
        r.Expect(otherStation == partner && otherPartner == batch.Station,
                 "a pair joins records that did not log each other's station");
      }
      const int64_t gap = std::llabs(int64_t{v.DeltaMinutes});
      if (v.Verdict == TVerdict::ConfirmedPartnerTime) {
        r.Expect(back.Verdict == TVerdict::TimeMismatch,
                 "a confirmed-partner-time record whose partner does not keep the time error");
      }
      const bool timePair = v.Verdict == TVerdict::TimeMismatch || v.Verdict == TVerdict::ConfirmedPartnerTime ||
                            back.Verdict == TVerdict::TimeMismatch;
      if (timePair) {
        r.Expect(gap > tolerance, "a time mismatch within the tolerance");
      } else {
        r.Expect(gap <= tolerance, "a pair outside the tolerance that is not a time mismatch");
      }
    }
    int64_t counted = 0;
    for (std::size_t v = 0; v < kVerdictCount; ++v) {
      r.Expect(counts[v] == result.Counts[v], "a count differs from the verdicts of the records");
      counted += result.Counts[v];
    }
    r.Expect(counted == static_cast<int64_t>(edi.QSOs.size()), "the counts do not add up to the records");
    r.Expect(result.PartnerRecordsLost() <= result.PartnerRecords, "a log's partners lose more records than logged it");
    for (const TRecordRef& lost : result.PartnerLost) {
      const bool sound =
          lost.Log >= 0 && static_cast<std::size_t>(lost.Log) < logs.size() &&
          check.BatchLog(static_cast<std::size_t>(lost.Log)).Group == batch.Group &&
          check.BatchLog(static_cast<std::size_t>(lost.Log)).Station != batch.Station &&
          StationKey(logs[static_cast<std::size_t>(lost.Log)]
                         ->Edi()
                         .QSOs[static_cast<std::size_t>(lost.Position)]
                         .Call.View()) == batch.Station &&
          ProposesInvalid(
              check.Log(static_cast<std::size_t>(lost.Log)).Qsos[static_cast<std::size_t>(lost.Position)].Verdict);
      r.Expect(sound, "a record lost with a log is not another station's lost record of it");
    }
    r.Expect(result.ClockPairs >= directOrTime && result.ClockPairs <= possiblyClock,
             "the clock's pairs are not the log's direct and time pairs");
    r.Expect(result.ClockOffsetMinutes.has_value() == (result.ClockPairs >= 3),
             "a clock offset without three pairs, or none with them");

    r.Expect(result.After.has_value(), "an active log has no figures after");
    if (!result.After) continue;
    const TNacChecker& checker = logs[log]->Checker();
    if (!JudgedAsDuplicate(checker)) {
      r.Expect(result.After->Score <= checker.Score(), "the score after exceeds the checker's score");
      r.Expect(result.After->Squares <= checker.SquareCount(), "the squares after exceed the checker's squares");
    }
    r.Expect(result.After->Total == logs[log]->TotalWithOwnSum(result.After->Score, result.After->Squares),
             "the total after is not the own sum of the figures after");
  }
  return r.Text();
}

// Two cross-checks of the same logs give the same verdicts and evidence
// (the judgements play no part in the matching).
inline std::string CheckSameVerdicts(const TCrossCheck& a, const TCrossCheck& b) {
  TReport r;
  bool same = a.LogCount() == b.LogCount();
  for (std::size_t log = 0; same && log < a.LogCount(); ++log) {
    const TLogCrossCheck& x = a.Log(log);
    const TLogCrossCheck& y = b.Log(log);
    same = x.Counts == y.Counts && x.ClockOffsetMinutes == y.ClockOffsetMinutes && x.ClockPairs == y.ClockPairs &&
           x.PartnerRecords == y.PartnerRecords && x.PartnerRecordsLost() == y.PartnerRecordsLost() &&
           x.Qsos.size() == y.Qsos.size();
    for (std::size_t q = 0; same && q < x.Qsos.size(); ++q) {
      same = x.Qsos[q].Verdict == y.Qsos[q].Verdict && x.Qsos[q].OtherLog == y.Qsos[q].OtherLog &&
             x.Qsos[q].OtherQso == y.Qsos[q].OtherQso && x.Qsos[q].DeltaMinutes == y.Qsos[q].DeltaMinutes;
    }
  }
  r.Expect(same, "two cross-checks of the same logs differ in their verdicts");
  return r.Text();
}

// Apply on one log of check: every proposal stored where the judge had not
// judged, every earlier judgement kept, the log's figures those after, and a
// second Apply changes nothing.
inline std::string CheckApply(TCrossCheck& check, std::size_t log) {
  TReport r;
  TLog& entry = check.BatchEntry(log);
  const TNacChecker& checker = entry.Checker();
  std::vector<uint8_t> before;
  for (const TQsoPenalty& p : checker.Penalties()) before.push_back(p.Penalty);
  const std::optional<TFiguresAfter> after = check.Log(log).After;
  const bool active = check.BatchLog(log).Role == TBatchRole::Active;

  const int32_t stored = check.Apply(log);
  if (!active) {
    r.Expect(stored == 0, "Apply stored judgements on a log that is not active");
    return r.Text();
  }
  const std::vector<TQsoVerdict>& qsos = check.Log(log).Qsos;
  int32_t expected = 0;
  bool kept = checker.Penalties().size() == before.size();
  for (std::size_t q = 0; kept && q < before.size(); ++q) {
    const bool proposes = q < qsos.size() && ProposesInvalid(qsos[q].Verdict);
    const uint8_t now = checker.GetPenalty(static_cast<int64_t>(q));
    if (before[q] != kPenaltyNone) {
      kept = now == before[q];
    } else if (proposes) {
      kept = now == kPenaltyInvalid;
      ++expected;
    } else {
      kept = now == kPenaltyNone;
    }
  }
  r.Expect(kept, "Apply changed a judgement it should have kept, or missed a proposal");
  r.Expect(stored == expected, "Apply counted other judgements than it stored");
  if (after) {
    r.Expect(checker.Score() == after->Score && checker.SquareCount() == after->Squares,
             "after Apply the checker's figures are not the figures after");
    r.Expect(entry.GetTotalScore() == after->Total, "after Apply the accepted total is not the total after");
  }

  const int64_t score = checker.Score();
  const int32_t squares = checker.SquareCount();
  const int64_t total = entry.GetTotalScore();
  std::vector<uint8_t> once;
  for (const TQsoPenalty& p : checker.Penalties()) once.push_back(p.Penalty);
  r.Expect(check.Apply(log) == 0, "a second Apply stored more judgements");
  std::vector<uint8_t> twice;
  for (const TQsoPenalty& p : checker.Penalties()) twice.push_back(p.Penalty);
  r.Expect(
      twice == once && checker.Score() == score && checker.SquareCount() == squares && entry.GetTotalScore() == total,
      "a second Apply changed the log");
  return r.Text();
}

}  // namespace loggrevy::invariants
