#include "RecordWalk.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <utility>
#include <vector>

#include "DbfLayout.h"

namespace drelin {

const char* SkipReasonText(SkipReason reason) {
  switch (reason) {
    case SkipReason::kBadFlag:
      return "deletion flag is neither 0x20 nor 0x2A";
    case SkipReason::kZeros:
      return "zero bytes";
    case SkipReason::kMisaligned:
      return "bytes inserted or lost: the records after it are shifted";
    case SkipReason::kDamaged:
      return "records that do not fit their fields";
    case SkipReason::kBeforeFirst:
      return "not records: between the header and the first record found";
    case SkipReason::kUnreadable:
      return "nothing from here to the end reads as records";
    case SkipReason::kAfterEnd:
      return "bytes after the end-of-file byte";
    case SkipReason::kCutShort:
      return "a last record cut short by the end of the file";
  }
  return "damaged";
}

namespace {

constexpr uint64_t kProgressStep = uint64_t{4} << 20;
constexpr uint64_t kNone = UINT64_MAX;
constexpr int32_t kNoChain = INT32_MIN;
// Other alignments a doubtful record is compared with, each way: nearby
// ones, where bytes inserted or lost put it; all within reach, where a block
// copied from elsewhere in the table may put it.
constexpr uint64_t kNearby = 7;
constexpr uint64_t kReach = 255;
constexpr uint64_t kFarWork = uint64_t{1} << 20;
// Bytes of scoring spent on the alignments of a search window, at most (but
// for kFewestCandidates of them).
constexpr uint64_t kWindowWork = uint64_t{1} << 24;
constexpr uint64_t kFewestCandidates = 64;

class Walker {
 public:
  Walker(SlidingWindow& window, uint64_t begin, const RecordModel& model, WalkSink& sink,
         const WalkOptions& options)
      : window_(window), begin_(begin), end_(window.end()), length_(model.recordLength()),
        model_(model), sink_(sink), options_(options), skipFrom_(begin) {}

  void Run() {
    uint64_t pos = begin_;
    while (window_.Get(pos, length_)) {
      Report(pos);
      if (InRun(pos)) {
        Accept(pos);
        pos += length_;
      } else if (OnlyTheFlagIsBad(pos)) {
        if (pending_ != kNone) Commit(pending_);
        pending_ = kNone;
        sink_.Skip(pos, length_, SkipReason::kBadFlag);
        pos += length_;
        skipFrom_ = pos;
      } else {
        pos = Search(pos);
        if (pos == kNone) return;
      }
    }
    Finish();
  }

 private:
  const uint8_t* At(uint64_t offset) { return window_.Get(offset, length_); }
  bool Fits(const uint8_t* record) const { return IsRecordFlag(record[0]) && model_.FieldsFit(record); }

  // A record inside a run: its flag fits and so does a quick look; or its
  // formats fit and it scores where no misread does. A doubtful one (above
  // the floor, below that) is kept between sound records when it reaches the
  // low mark or no nearby alignment reads better. Elsewhere no alignment
  // within reach may read clearly better (a block copied from another part
  // of the table reads doubtful throughout, at one alignment), no nearby one
  // better at all, and short of the low mark the next record must reach it.
  bool InRun(uint64_t pos) {
    const uint8_t* record = At(pos);
    if (!IsRecordFlag(record[0])) return false;
    if (model_.SurelyRecord(record)) return true;
    if (!model_.FieldsFit(record)) return false;
    if (model_.young()) return ReadsBestHere(pos, kNearby);
    const int32_t score = model_.Score(record);
    if (score >= model_.sure()) return true;
    if (score < model_.floor()) return false;
    if (SoundNext(pos)) return score >= model_.low() || ReadsBestHere(pos, kNearby);
    if (!ReadsBestHere(pos, FarReach(), model_.farMargin())) return false;
    if (score < model_.low()) {
      const uint8_t* next = At(pos + length_);
      if (next ? !Fits(next) || model_.Score(next) < model_.low() : !CleanEnd(pos + length_)) return false;
    }
    return ReadsBestHere(pos, kNearby);
  }
  // Far alignments compared with a doubtful record: all within kReach, as
  // far as a bounded amount of scoring goes.
  uint64_t FarReach() const { return std::clamp<uint64_t>(kFarWork / length_, kNearby, kReach); }
  // The record after `pos` passes without doubt, or the file ends there.
  bool SoundNext(uint64_t pos) {
    const uint8_t* next = At(pos + length_);
    if (!next) return CleanEnd(pos + length_);
    if (!IsRecordFlag(next[0])) return false;
    return model_.SurelyRecord(next) || (model_.FieldsFit(next) && model_.Score(next) >= model_.sure());
  }
  bool ReadsBestHere(uint64_t pos, uint64_t reach, int32_t margin = 0) {
    reach = std::min<uint64_t>(length_ - 1, reach);
    const uint64_t lowest = std::max(window_.released(), begin_);
    const uint64_t before = std::min<uint64_t>(reach, pos - lowest);
    const uint64_t after = std::min<uint64_t>(reach, end_ - (pos + length_));
    const uint8_t* bytes = window_.Get(pos - before, static_cast<size_t>(before + length_ + after));
    if (model_.young()) {
      return model_.paddingKept() ? model_.PaddingFits(bytes + before) : KeepsPaddingBest(bytes, before, after);
    }
    return model_.ReadsBestHere(bytes + before, before, after, margin);
  }
  // Of a young model whose table shows no padding convention yet: a record
  // that breaks the padding where a nearby alignment keeps it is most likely
  // shifted by bytes inserted or lost.
  bool KeepsPaddingBest(const uint8_t* bytes, uint64_t before, uint64_t after) const {
    if (PaddingBreaks(model_.layout(), bytes + before) == 0) return true;
    const uint64_t reach = std::min<uint64_t>(kNearby, length_ - 1);
    for (uint64_t d = 1; d <= reach; ++d) {
      if (d <= before && KeepsPadding(bytes + before - d)) return false;
      if (d <= after && KeepsPadding(bytes + before + d)) return false;
    }
    return true;
  }
  bool KeepsPadding(const uint8_t* record) const {
    return IsRecordFlag(record[0]) && model_.FieldsFit(record) && PaddingBreaks(model_.layout(), record) == 0;
  }
  // The last record before damage, and the first after it. A young model
  // cannot score them: they must keep the padding of their fields.
  bool FitsBeforeDamage(uint64_t pos) {
    const uint8_t* record = At(pos);
    if (model_.young()) return Fits(record) && PaddingBreaks(model_.layout(), record) == 0;
    return Fits(record) && model_.ScoresAtLeast(record, model_.high()) && model_.EndFits(record);
  }
  bool FitsAfterDamage(uint64_t pos) {
    const uint8_t* record = At(pos);
    if (model_.young()) return Fits(record) && PaddingBreaks(model_.layout(), record) == 0;
    return Fits(record) && model_.ScoresAtLeast(record, model_.high()) && model_.StartFits(record);
  }
  bool SameAlignment(uint64_t a, uint64_t b) const { return a % length_ == b % length_; }
  // Nothing but an optional end-of-file byte from `offset` to the end.
  bool CleanEnd(uint64_t offset) {
    if (offset == end_) return true;
    const uint8_t* last = offset + 1 == end_ ? window_.Get(offset, 1) : nullptr;
    return last && *last == kEndOfFile;
  }

  bool OnlyTheFlagIsBad(uint64_t pos) {
    const uint8_t* record = At(pos);
    if (IsRecordFlag(record[0]) || !model_.FieldsFit(record)) return false;
    if (!model_.young() && model_.ScoreAsActive(record) < model_.high()) return false;
    // A young model cannot score it: it must keep the padding, and zeros
    // throughout are a zeroed stretch, not a record.
    if (model_.young() && (!model_.PaddingFits(record) ||
                           std::all_of(record, record + length_, [](uint8_t b) { return b == 0; }))) {
      return false;
    }
    return At(pos + length_) ? InRun(pos + length_) : CleanEnd(pos + length_);
  }

  void Accept(uint64_t pos) {
    if (pending_ != kNone) Commit(pending_);
    pending_ = pos;
    window_.Release(std::min(lastKept_, pos));
  }

  void Commit(uint64_t offset) {
    const bool follows = lastKept_ != kNone && lastKept_ + length_ == offset;
    const uint8_t* bytes = window_.Get(follows ? lastKept_ : offset, static_cast<size_t>(follows ? 2 * length_ : length_));
    const uint8_t* record = follows ? bytes + length_ : bytes;
    sink_.Keep(offset, record, follows ? bytes : nullptr);
    lastKept_ = offset;
    keptAny_ = true;
    skipFrom_ = offset + length_;
  }

  // Searches for the next alignment from just after the pending record (or
  // after `pos`, the record that failed). The first offset where a chain
  // fits opens a window of one record length, which holds every alignment
  // once; the best chain in it wins, the old alignment first among equals.
  // Returns where records resume, or kNone.
  uint64_t Search(uint64_t pos) {
    const uint64_t pending = pending_;
    pending_ = kNone;
    bool pendingOpen = pending != kNone;
    bool pendingDropped = false;
    // Zero bytes seen inside the pending record and after it, to tell a
    // stretch of zeros from other damage.
    uint64_t zerosInside = 0;
    uint64_t zerosAfter = 0;
    uint64_t q = pendingOpen ? pending + 1 : pos;
    for (;; ++q) {
      if (pendingOpen && q >= pending + length_ + length_ / 2) {
        // Far enough that a new alignment can no longer tell against it.
        pendingDropped = !Settle(pending, kNone, pos);
        pendingOpen = false;
      }
      // The pending record, and the one kept before it, may still be passed on.
      window_.Release(pendingOpen ? std::min(pending, lastKept_) : q);
      Report(q);
      const uint8_t* first = window_.Get(q, length_);
      if (!first) break;
      if (first[0] == 0) ++(pendingOpen && q < pending + length_ ? zerosInside : zerosAfter);
      if (q == pos && !pendingOpen) continue;  // the record that just failed
      if (!IsRecordFlag(first[0])) continue;
      int32_t best = ChainAt(q, pos);
      if (best == kNoChain) continue;
      uint64_t start = q;
      for (uint64_t other : Candidates(q, pos)) {
        const int32_t score = ChainAt(other, pos);
        if (score != kNoChain && score > best) {
          best = score;
          start = other;
        }
      }
      for (uint64_t at = q + 1; at < start; ++at) zerosAfter += *window_.Get(at, 1) == 0;
      if (pendingOpen) pendingDropped = !Settle(pending, start, pos);
      if (start > skipFrom_) {
        const uint64_t zeros = zerosAfter + (pendingDropped ? zerosInside : 0);
        sink_.Skip(skipFrom_, start - skipFrom_, Classify(skipFrom_, start, zeros, false));
      }
      sink_.Resync(start);
      skipFrom_ = start;
      return start;
    }
    // Nothing reads as records any more: the rest is skipped up to the end.
    if (pendingOpen) pendingDropped = !Settle(pending, kNone, pos);
    for (; q < end_; ++q) {
      zerosAfter += *window_.Get(q, 1) == 0;
      window_.Release(q);
    }
    SkipToEnd(zerosAfter + (pendingDropped ? zerosInside : 0));
    return kNone;
  }

  // The other offsets of the window opened at `q`, in order. Of long
  // records only those the quick look rates best are scored in full, and
  // the old alignment, so that a search costs a bounded amount of scoring.
  std::vector<uint64_t> Candidates(uint64_t q, uint64_t failed) {
    std::vector<uint64_t> all;
    const uint64_t most = std::max<uint64_t>(kWindowWork / length_, kFewestCandidates);
    if (length_ - 1 <= most) {
      for (uint64_t other = q + 1; other < q + length_; ++other) all.push_back(other);
      return all;
    }
    std::vector<std::pair<int32_t, uint64_t>> ranked;
    for (uint64_t other = q + 1; other < q + length_; ++other) {
      const uint8_t* record = At(other);
      if (!record) break;
      if (SameAlignment(other, failed)) {
        all.push_back(other);
      } else if (IsRecordFlag(record[0]) && model_.MayBeRecord(record)) {
        ranked.emplace_back(-model_.ProbeScore(record), other);
      }
    }
    const size_t kept = std::min<size_t>(ranked.size(), most);
    std::partial_sort(ranked.begin(), ranked.begin() + static_cast<std::ptrdiff_t>(kept), ranked.end());
    for (size_t i = 0; i < kept; ++i) all.push_back(ranked[i].second);
    std::sort(all.begin(), all.end());
    return all;
  }

  // Decides the last record before a damaged stretch once the new alignment
  // (kNone: none) is known; true when it is kept.
  bool Settle(uint64_t pending, uint64_t next, uint64_t failed) {
    bool keep = true;
    if (next != kNone && next < pending + length_) {
      keep = false;  // the new alignment overlaps it
    } else if (next != kNone && !SameAlignment(next, failed) && next < pending + length_ + length_ / 2) {
      // The records after it come a few bytes late: bytes were inserted, most
      // likely inside it. (A few bytes lost in the record after it would
      // bring them a few bytes short of two records on.)
      keep = false;
    } else {
      keep = FitsBeforeDamage(pending);
    }
    if (keep) {
      Commit(pending);
    } else {
      skipFrom_ = pending;
    }
    return keep;
  }

  void SkipToEnd(uint64_t zeros) {
    if (skipFrom_ < end_ && !CleanEnd(skipFrom_)) {
      sink_.Skip(skipFrom_, end_ - skipFrom_, Classify(skipFrom_, end_, zeros, true));
    }
    skipFrom_ = end_;
  }

  // The records ran out with fewer than a record's bytes left.
  void Finish() {
    if (pending_ != kNone) {
      const uint64_t pending = pending_;
      pending_ = kNone;
      if (CleanEnd(pending + length_) || FitsBeforeDamage(pending)) Commit(pending);
    }
    uint64_t zeros = 0;
    for (uint64_t q = skipFrom_; q < end_; ++q) zeros += *window_.Get(q, 1) == 0;
    SkipToEnd(zeros);
  }

  SkipReason Classify(uint64_t from, uint64_t to, uint64_t zeros, bool atEnd) {
    const uint64_t length = to - from;
    if (4 * zeros >= 3 * length && length > 1) return SkipReason::kZeros;
    if (atEnd) {
      if (window_.ByteAt(from) == kEndOfFile) return SkipReason::kAfterEnd;
      return length < length_ ? SkipReason::kCutShort : SkipReason::kUnreadable;
    }
    if (!keptAny_ && from == begin_) return SkipReason::kBeforeFirst;
    return length % length_ == 0 ? SkipReason::kDamaged : SkipReason::kMisaligned;
  }

  // The score of the chain of records from `q`, per record, or kNoChain. The
  // first must fit after damage, the rest inside a run. The old alignment
  // (that of `failed`) needs a shorter chain than a new one; a chain cut off
  // by the end counts when it ends exactly there.
  int32_t ChainAt(uint64_t q, uint64_t failed) {
    const bool same = SameAlignment(q, failed);
    if (!same && !model_.fitted() && !options_.newAlignmentBeforeFit) return kNoChain;
    // A model that has learnt too little to score, of a table that shows no
    // padding convention, takes a new alignment only where every record of
    // the chain keeps the padding.
    const bool paddedChain = !same && model_.young() && !model_.paddingKept();
    // Before the model can score, flags and formats alone must carry a full chain.
    const unsigned needed = same && model_.fitted() ? std::max(2u, model_.chainLength() / 2) : model_.chainLength();
    int64_t total = 0;
    unsigned j = 0;
    for (; j < needed; ++j) {
      const uint64_t offset = q + j * length_;
      const uint8_t* record = At(offset);
      if (!record) {
        if (j == 0 || !(same || CleanEnd(offset))) return kNoChain;
        break;
      }
      if (!IsRecordFlag(record[0]) || !model_.MayBeRecord(record)) return kNoChain;
      if (j == 0 ? !FitsAfterDamage(offset) : !InRun(offset)) return kNoChain;
      if (paddedChain && PaddingBreaks(model_.layout(), record) != 0) return kNoChain;
      total += model_.Score(At(offset));
    }
    return static_cast<int32_t>(total / j) + (same ? model_.sameAlignmentBonus() : 0);
  }

  void Report(uint64_t pos) {
    if (!options_.progress || pos < nextReport_) return;
    nextReport_ = pos + kProgressStep;
    options_.progress(pos - begin_, end_ - begin_);
  }

  SlidingWindow& window_;
  const uint64_t begin_;
  const uint64_t end_;
  const uint64_t length_;
  const RecordModel& model_;
  WalkSink& sink_;
  const WalkOptions& options_;

  uint64_t pending_ = kNone;   // the last record accepted, not yet passed on
  uint64_t lastKept_ = kNone;
  uint64_t skipFrom_;          // first byte not yet kept or skipped
  bool keptAny_ = false;
  uint64_t nextReport_ = 0;
};

}  // namespace

void WalkRecords(SlidingWindow& window, uint64_t begin, const RecordModel& model, WalkSink& sink,
                 const WalkOptions& options) {
  Walker(window, begin, model, sink, options).Run();
}

}  // namespace drelin
