#include "crosscheck/group_matcher.h"

namespace loggrevy::matching {

// The direct pass (within the tolerance) and the time pass (at any
// difference) both pair a record with the nearest open record of its
// partner's log that logged this log's station, the records taken in
// order. Such records share a bucket, and nothing outside it changes what
// is paired within it: each bucket is done on its own. A bucket in which
// a record finds no partner is marked as left over: only those still hold
// open records after the pass, as the passes after it only close records.
void TGroupMatcher::PassPartner(int64_t tolerance, TVerdict verdict, TBuckets buckets) {
  RunSlices(BucketCount(), Jobs_, [&](std::size_t first, std::size_t last) {
    for (auto bucket = static_cast<uint32_t>(first); bucket < last; ++bucket) {
      if (buckets == TBuckets::LeftOver && !LeftOver_[bucket]) continue;
      const uint32_t end = BucketBegins_[bucket + 1];
      for (uint32_t at = BucketBegins_[bucket]; at < end; ++at) {
        const TEntry& own = Entries_[at];
        if (!IsOpen(own)) continue;
        const uint32_t other = Nearest(bucket, own.Side() ^ 1u, own.Minutes, tolerance);
        if (other != kNoPlace) {
          Pair(own, Entries_[other], verdict, verdict);
        } else {
          LeftOver_[bucket] = 1;
        }
      }
    }
  });
}

}  // namespace loggrevy::matching
