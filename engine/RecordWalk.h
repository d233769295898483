// RecordWalk: one pass over a data area that tells which byte runs are
// records and which are damage, in source order.
//
// The walk follows the current alignment one record length at a time while
// each record fits (RecordModel: its flag, a quick look or its formats and
// full score, or, for a doubtful one, reading better here than at nearby
// alignments). When one does not, a record whose flag alone is bad is
// skipped by itself; otherwise the walk searches forward, byte by byte from
// just after the last record it kept, for the first offset where a chain of
// consecutive records fits, the first of them judged as strictly as a record
// next to damage is (a chain may also end exactly at the end of the file).
// Every alignment within one record length of that offset is tried too and
// the best chain wins, the old alignment first among near equals. The
// stretch before it is skipped whole. The last record before a stretch is
// kept only when it passes the same strict judgement and the new alignment
// neither overlaps it nor follows it so closely that the shift must lie
// inside it.
//
// Each offset is tried as a record start a bounded number of times, and
// most tries end at the first byte, so the walk is linear in the size; it
// holds only a sliding window of the source.
#pragma once

#include <cstdint>
#include <functional>

#include "RecordModel.h"
#include "SlidingWindow.h"

namespace drelin {

enum class SkipReason {
  kBadFlag,      // one record whose deletion flag is neither 0x20 nor 0x2A
  kZeros,        // a stretch of zero bytes
  kMisaligned,   // bytes inserted or lost: the records after it are shifted
  kDamaged,      // records that do not fit their fields, alignment unchanged
  kBeforeFirst,  // between the header and the first record found
  kUnreadable,   // nothing from here to the end reads as records
  kAfterEnd,     // bytes after the end-of-file byte
  kCutShort,     // a last record cut short by the end of the file
};

const char* SkipReasonText(SkipReason reason);

// Receives the walk's decisions in source order.
class WalkSink {
 public:
  virtual ~WalkSink() = default;
  // A record kept; `previous` is the record kept just before it when the two
  // are consecutive in the source, else null. Both point into the window.
  virtual void Keep(uint64_t offset, const uint8_t* record, const uint8_t* previous) = 0;
  virtual void Skip(uint64_t offset, uint64_t length, SkipReason reason) = 0;
  // Alignment was found again at `offset` after a skipped stretch.
  virtual void Resync(uint64_t offset) = 0;
};

struct WalkOptions {
  // Whether a new alignment may be taken before the model has learnt enough
  // to score records; until then only flags and formats tell, and they
  // rarely tell alignments apart.
  bool newAlignmentBeforeFit = true;
  // Told how many bytes of the data area the walk has passed.
  std::function<void(uint64_t done, uint64_t total)> progress;
};

// Walks [begin, window.end()). The model may change between records (the
// learning walk refits it as it goes).
void WalkRecords(SlidingWindow& window, uint64_t begin, const RecordModel& model, WalkSink& sink,
                 const WalkOptions& options = {});

}  // namespace drelin
