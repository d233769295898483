#include "RecordLearning.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "DbfLayout.h"
#include "RecordWalk.h"
#include "SlidingWindow.h"

namespace drelin {

namespace {

// The learning walks cover this much of the data area, or this many
// records when that is more (up to a bound).
constexpr uint64_t kLearnBytes = uint64_t{1} << 20;
constexpr uint64_t kLearnRecords = 256;
constexpr uint64_t kMaxLearnBytes = uint64_t{16} << 20;
// Past the start, the guided walks also learn from kSpreadSpans stretches
// of this many bytes (or records, when that is more) spread up to the end.
constexpr uint64_t kSpreadSpans = 4;
constexpr uint64_t kSpreadBytes = uint64_t{256} << 10;
constexpr uint64_t kSpreadRecords = 64;
// Records read where the header says they are, for the format census.
constexpr uint64_t kCensusRecords = 4096;
// The run back from the end-of-file byte goes at most this far.
constexpr uint64_t kBackRunBytes = uint64_t{1} << 20;
// Until it has learnt this many records, a run checks every record against
// its nearby alignments.
constexpr uint64_t kYoungModel = 1024;
// Nearby alignments a record of a run is compared with, each way; while the
// model is young, this many.
constexpr uint64_t kNearby = 7;
constexpr uint64_t kWideReach = 64;
// Records in a row at the header's alignment that resume a run past damage.
constexpr uint64_t kResume = 8;
constexpr uint64_t kNoBreak = UINT64_MAX;
// Records after the first that decide where the run from the header
// starts, and the bound of that work in bytes read.
constexpr uint64_t kStartProbe = 256;
constexpr uint64_t kStartWork = uint64_t{16} << 20;

}  // namespace

void TakeFormatCensus(const ByteSource& source, uint64_t begin, RecordModel& model) {
  const uint64_t length = model.recordLength();
  auto count = [&](uint64_t from, uint64_t records, RecordModel& into) {
    SlidingWindow window(source, from, from + records * length, WindowBytesFor(length));
    for (uint64_t k = 0, at = from; k < records; ++k, at += length) {
      const uint8_t* record = window.Get(at, length);
      if (!record) break;
      window.Release(at);
      into.CountFormats(record);
    }
    into.SettleFormats();
  };
  const uint64_t available = (source.length() - std::min(source.length(), begin)) / length;
  count(begin, std::min(kCensusRecords, available), model);
  // Damage near the start shifts the records read from the header's
  // alignment; the records that end at the end of the data have their own.
  if (available < 2 * kCensusRecords) return;
  const uint64_t end = source.length() - (source.At(source.length() - 1) == kEndOfFile ? 1 : 0);
  RecordModel tail(model.layout());
  count(end - kCensusRecords * length, kCensusRecords, tail);
  model.EnforceAlso(tail);
}

namespace {

// A record that keeps its flag, the padding of its fields and every fixed
// format: shifted reads hardly ever do so several times in a row.
bool Sound(const RecordLayout& layout, const uint8_t* record) {
  if (!IsRecordFlag(record[0]) || PaddingBreaks(layout, record) != 0) return false;
  return std::all_of(layout.fields.begin(), layout.fields.end(), [&](const LayoutField& field) {
    return FitsFormat(field.format, record + field.offset, field.length);
  });
}

// Whether one record of a run fits what the run has taught so far. `before`
// and `after` bytes around it are readable.
bool FitsRun(const RecordModel& model, const uint8_t* record, uint64_t before, uint64_t after) {
  if (!IsRecordFlag(record[0]) || !model.FieldsFit(record)) return false;
  if (model.young()) {
    // The first few records may hold a block copied from elsewhere in the
    // table, which keeps the padding and the formats at another alignment:
    // even the first record learnt tells that alignment from this one.
    return model.PaddingFits(record) && (!model.fitted() || model.ReadsBestHere(record, before, after));
  }
  // A young model cannot tell a shifted record by its score alone; a shift
  // reads better at the alignment it came from.
  const int32_t score = model.Score(record);
  if (score < model.floor()) return false;
  const bool young = model.learnt() < kYoungModel;
  return (!young && score >= model.low()) || model.ReadsBestHere(record, before, after);
}

// How far each way a record of a run is compared with other alignments:
// nearby ones, and while the model is young every one within reach.
uint64_t Reach(const RecordModel& model) {
  return model.young() ? std::min<uint64_t>(model.recordLength() - 1, kWideReach) : kNearby;
}

// Refits come as the learnt records double, then as they quadruple.
bool RefitDue(uint64_t learnt) {
  if ((learnt & (learnt - 1)) != 0) return false;
  return learnt <= 1024 || (learnt & 0x5555555555555555ull) != 0;
}

// Learns a record of a run, refitting as the run grows.
void LearnFromRun(RecordModel& model, const uint8_t* record, const uint8_t* pair) {
  model.Learn(record);
  if (pair) model.LearnPair(pair);
  const uint64_t learnt = model.learnt();
  if (RefitDue(learnt)) model.Fit();
}

// The records from `begin` on at the header's alignment, up to `end`. A
// record is learnt when the records on both sides of it fit too: the
// records next to damage may hold some of it. Past damage the run goes on
// where `kResume` records in a row fit again at the same alignment, as they
// do after a damaged block.
struct RunEnds {
  uint64_t firstBreak = kNoBreak;  // where the first record did not fit
  uint64_t learntTo = 0;           // the end of the last record learnt
};

// The first offset within two records after `at`, at another alignment,
// from which kResume records in a row are sound, where the records at the
// old alignment over the same stretch mostly are not (then the damage kept
// the alignment); kNoBreak when there is none. `work` bounds the bytes
// looked at over a whole run.
uint64_t SoundShiftAfter(SlidingWindow& window, uint64_t at, const RecordLayout& layout, uint64_t& work) {
  const uint64_t length = layout.recordLength;
  auto soundRun = [&](uint64_t from) {
    uint64_t j = 0;
    for (const uint8_t* record; j < kResume && (record = window.Get(from + j * length, length)); ++j) {
      work += length;
      if (!Sound(layout, record)) break;
    }
    return j;
  };
  auto soundCount = [&](uint64_t from) {
    uint64_t count = 0;
    for (uint64_t j = 0; j < kResume; ++j) {
      const uint8_t* record = window.Get(from + j * length, length);
      count += record && Sound(layout, record) ? 1 : 0;
    }
    work += kResume * length;
    return count;
  };
  for (uint64_t q = at + 1; q <= at + 2 * length && work < kStartWork; ++q, ++work) {
    if (q % length == at % length || soundRun(q) < kResume) continue;
    const uint64_t old = at + (q - at + length - 1) / length * length;
    return 2 * soundCount(old) >= kResume ? kNoBreak : q;
  }
  return kNoBreak;
}

RunEnds LearnRunForward(const ByteSource& source, uint64_t begin, uint64_t end, RecordModel& model) {
  const uint64_t length = model.recordLength();
  SlidingWindow window(source, begin, end, WindowBytesFor(length));
  auto fits = [&](uint64_t at) {
    if (!window.Get(at, length)) return false;
    const uint64_t reach = Reach(model);
    const uint64_t before = std::min<uint64_t>(reach, at - std::max(begin, window.released()));
    const uint64_t after = std::min<uint64_t>(reach, end - (at + length));
    const uint8_t* bytes = window.Get(at - before, static_cast<size_t>(before + length + after));
    return FitsRun(model, bytes + before, before, after);
  };
  RunEnds ends;
  ends.learntTo = begin;
  uint64_t run = 0;  // records in a row that fit, ending at `at`
  uint64_t work = 0;
  for (uint64_t at = begin; window.Get(at, length); at += length) {
    window.Release(at >= begin + 2 * length ? at - 2 * length : begin);
    if (!fits(at)) {
      if (ends.firstBreak == kNoBreak) ends.firstBreak = at;
      // Without scores or the padding, nothing tells the same alignment
      // coming back from a shifted one that happens to pass.
      if (model.young() && !model.paddingKept()) break;
      // Bytes inserted or lost: the run goes on where the records read
      // soundly again a few bytes off.
      const uint64_t shifted = run > 0 && model.paddingKept() ? SoundShiftAfter(window, at, model.layout(), work) : kNoBreak;
      run = 0;
      if (shifted != kNoBreak) at = shifted - length;
      continue;
    }
    if (run == 0 && at > begin) {
      // Past damage: only a run of records that fit resumes learning.
      uint64_t ahead = 1;
      while (ahead < kResume && fits(at + ahead * length)) ++ahead;
      if (ahead < kResume) continue;
    }
    ++run;
    if (run >= 3) {
      const uint8_t* pair = window.Get(at - 2 * length, static_cast<size_t>(2 * length));
      LearnFromRun(model, pair + length, run >= 4 ? pair : nullptr);
      ends.learntTo = at;
    }
  }
  return ends;
}

// The records that end at the end-of-file byte before `end`, backwards,
// down to `stop`.
void LearnRunBackward(const ByteSource& source, uint64_t stop, uint64_t end, RecordModel& model) {
  const uint64_t length = model.recordLength();
  const uint64_t count = std::min(kBackRunBytes, end - stop) / length;
  if (count == 0) return;
  std::vector<uint8_t> bytes(static_cast<size_t>(count * length));
  if (source.Read(end - count * length, bytes.data(), bytes.size()) != bytes.size()) return;
  for (uint64_t k = count; k-- > 0;) {
    const uint8_t* record = bytes.data() + k * length;
    const uint64_t before = std::min<uint64_t>(Reach(model), k * length);
    const uint64_t after = std::min<uint64_t>(Reach(model), (count - 1 - k) * length);
    if (!FitsRun(model, record, before, after)) break;
    if (k + 1 < count) LearnFromRun(model, record + length, k + 2 < count ? record + length : nullptr);
  }
}

// Where the run from the header starts. When the first record holds bytes
// inserted or lost, every record after it reads shifted at the header's
// alignment, and consistently so, up to the next damage; the padding of the
// fields tells. So when the records right after the first do not read soundly
// at the header's alignment but do at a nearby one, and go on doing so past
// where the header's alignment would have come back after a damaged block,
// the run starts at that alignment.
//
// The same look tells whether the writer kept the padding convention: some
// nearby alignment reads `kResume` records in a row that keep it.
struct StartLook {
  uint64_t start = 0;
  bool paddingKept = false;
};

StartLook LookAtStart(const ByteSource& source, const RecordLayout& layout, uint64_t begin) {
  StartLook look;
  look.start = begin;
  const uint64_t length = layout.recordLength;
  const uint64_t available = (source.length() - std::min(source.length(), begin)) / length;
  const uint64_t probes = std::min({kStartProbe, kStartWork / length, available}) - std::min<uint64_t>(available, 2);
  if (probes < kResume) return look;
  // Record j after the first, read `shift` bytes after the header's alignment
  // less kNearby.
  const uint64_t from = begin + length - kNearby;
  std::vector<uint8_t> bytes(static_cast<size_t>(probes * length + 2 * kNearby));
  if (source.Read(from, bytes.data(), bytes.size()) != bytes.size()) return look;
  auto padded = [&](uint64_t shift, uint64_t j) {
    const uint8_t* record = bytes.data() + shift + j * length;
    return IsRecordFlag(record[0]) && PaddingBreaks(layout, record) == 0;
  };
  for (uint64_t shift = 0; shift <= 2 * kNearby && !look.paddingKept; ++shift) {
    for (uint64_t j = 0, run = 0; j < probes && !look.paddingKept; ++j) {
      run = padded(shift, j) ? run + 1 : 0;
      look.paddingKept = run >= kResume;
    }
  }
  auto sound = [&](uint64_t shift, uint64_t j) { return Sound(layout, bytes.data() + shift + j * length); };
  auto run = [&](uint64_t shift) {
    uint64_t j = 0;
    while (j < probes && sound(shift, j)) ++j;
    return j;
  };
  if (run(kNearby) >= kResume / 2) return look;
  uint64_t best = kNearby;
  uint64_t bestRun = 0;
  for (uint64_t shift = 0; shift <= 2 * kNearby && shift < length + kNearby; ++shift) {
    const uint64_t records = shift == kNearby ? 0 : run(shift);
    if (records > bestRun) {
      best = shift;
      bestRun = records;
    }
  }
  if (bestRun < kResume) return look;
  uint64_t comesBack = 0;
  for (uint64_t j = bestRun; j < std::min(probes, bestRun + 4); ++j) comesBack += sound(kNearby, j) ? 1 : 0;
  if (comesBack < 2) look.start = from + best;
  return look;
}

// Feeds a model from a walk judged by another.
class Learner : public WalkSink {
 public:
  explicit Learner(RecordModel& model, bool refit) : model_(model), refit_(refit) {}
  void Keep(uint64_t, const uint8_t* record, const uint8_t* previous) override {
    model_.Learn(record);
    if (previous) model_.LearnPair(previous);
    const uint64_t learnt = model_.learnt();
    if (refit_ && RefitDue(learnt)) model_.Fit();
  }
  void Skip(uint64_t, uint64_t, SkipReason) override {}
  void Resync(uint64_t) override {}

 private:
  RecordModel& model_;
  bool refit_;
};

// A stretch of the data area a guided walk learns from.
struct Span {
  uint64_t begin;
  uint64_t end;
};

// Where the table goes on past the start the learning covers, a few
// stretches spread over the rest, the last one at the end: what changes
// along a table (a counter that gains a digit, later dates) is learnt too.
// The last stretch is aligned on the end-of-file byte when there is one,
// the others on the header; a walk finds its own alignment where that is
// wrong.
std::vector<Span> SpreadSpans(const ByteSource& source, uint64_t begin, uint64_t learnEnd, uint64_t length) {
  const uint64_t end = source.length();
  const uint64_t spread = std::max(kSpreadBytes, kSpreadRecords * length);
  auto headerAligned = [&](uint64_t at) { return begin + (at - begin + length - 1) / length * length; };
  if (end <= learnEnd) return {};
  if (end - learnEnd <= kSpreadSpans * spread) return {{headerAligned(learnEnd), end}};
  std::vector<Span> spans;
  const bool endByte = source.At(end - 1) == kEndOfFile;
  for (uint64_t k = 1; k <= kSpreadSpans; ++k) {
    const uint64_t spanEnd = learnEnd + (end - learnEnd) * k / kSpreadSpans;
    const uint64_t from = spanEnd - spread;
    spans.push_back({k == kSpreadSpans && endByte ? spanEnd - 1 - (spanEnd - 1 - from) / length * length
                                                  : headerAligned(from),
                     spanEnd});
  }
  return spans;
}

// Feeds `learner` from walks over `spans` that `guide` judges.
void WalkSpans(const ByteSource& source, const RecordModel& guide, const std::vector<Span>& spans, Learner& learner) {
  for (const Span& span : spans) {
    SlidingWindow window(source, span.begin, span.end, WindowBytesFor(guide.recordLength()));
    WalkRecords(window, span.begin, guide, learner);
  }
}

// A fresh model learnt from walks over `spans` that `guide` judges.
RecordModel LearnGuided(const ByteSource& source, const RecordModel& guide, const std::vector<Span>& spans) {
  RecordModel fresh(guide.layout());
  fresh.TakeFormatsFrom(guide);
  Learner learner(fresh, false);
  WalkSpans(source, guide, spans, learner);
  fresh.Fit();
  return fresh;
}

}  // namespace

RecordModel LearnRecords(const ByteSource& source, const RecordLayout& layout, uint64_t begin) {
  const uint64_t end = source.length();
  const uint64_t learnBytes = std::max(kLearnBytes, std::min(kMaxLearnBytes, kLearnRecords * layout.recordLength));
  const uint64_t learnEnd = std::min(end, begin + learnBytes);
  RecordModel seed(layout);
  const StartLook look = LookAtStart(source, layout, begin);
  const uint64_t start = look.start;
  TakeFormatCensus(source, start, seed);
  if (look.paddingKept) seed.KeepPadding();
  const RunEnds run = LearnRunForward(source, start, learnEnd, seed);
  const std::vector<Span> spread = SpreadSpans(source, begin, learnEnd, layout.recordLength);
  if (run.firstBreak == kNoBreak) {
    // Nothing broke the run: a walk over the start would learn the same.
    // The rest is learnt from walks the model itself judges (it scores only
    // by what it had learnt when last fitted).
    seed.Fit();
    if (seed.fitted() && !spread.empty()) {
      Learner learner(seed, false);
      WalkSpans(source, seed, spread, learner);
      seed.Fit();
    }
    return seed;
  }
  if (end > begin && source.At(end - 1) == kEndOfFile) {
    LearnRunBackward(source, run.learntTo, end - 1, seed);
  }
  seed.Fit();
  if (!seed.fitted()) {
    // Too little to score anything: learn as the walk goes, taking a new
    // alignment only once the model can tell.
    SlidingWindow window(source, begin, learnEnd, WindowBytesFor(seed.recordLength()));
    Learner learner(seed, true);
    WalkOptions options;
    options.newAlignmentBeforeFit = false;
    WalkRecords(window, begin, seed, learner, options);
    seed.Fit();
    if (!seed.fitted()) return seed;
  }
  // Twice; at most two models are held at a time.
  std::vector<Span> spans{{begin, learnEnd}};
  spans.insert(spans.end(), spread.begin(), spread.end());
  for (int round = 0; round < 2; ++round) {
    RecordModel next = LearnGuided(source, seed, spans);
    if (!next.fitted()) break;
    seed = std::move(next);
  }
  return seed;
}

}  // namespace drelin
