#include "RecordModel.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "DbfLayout.h"

namespace drelin {

namespace {

// Learnt records below this leave the scores at zero (formats and flags
// alone decide), and the table uncertain.
constexpr uint64_t kMinLearnt = 1;
// Memory for the sample of consecutive record pairs, and its size bounds.
constexpr uint64_t kPairBytes = uint64_t{4} << 20;
constexpr size_t kMinPairs = 8;
constexpr size_t kMaxPairs = 512;
constexpr uint64_t kMaxHashed = 65536;
constexpr uint64_t kPaddedRun = 8;
// Records up to this long get a score table per byte value (256 bytes per
// position) besides the one per class.
constexpr uint64_t kByteTableLength = 4096;
// Positions of the quick look at a record: one per 16 bytes, but at least
// and at most these many.
constexpr uint64_t kProbePositions = 16;
constexpr uint64_t kMostProbePositions = 1024;
// Damage that reaches only the last (or first) bytes of a record is judged
// on runs of up to this many bytes too.
constexpr uint64_t kShortRun = 8;
// Per-byte score bounds, in nats: one odd byte cannot sink a record alone.
constexpr double kMaxByteScore = 8.0;
// Classes a position holds in at most this share of the records count as
// never seen there.
constexpr double kNoiseShare = 0.002;
// Weight of a field's class mix as the prior of each of its positions.
constexpr double kPriorWeight = 2.0;

constexpr int kBlankClass = 1;
constexpr int kDigitClass = 2;

constexpr std::array<uint8_t, 256> MakeClasses() {
  std::array<uint8_t, 256> classes{};
  for (int b = 0; b < 256; ++b) {
    uint8_t c = 10;  // other ASCII punctuation
    if (b == 0) c = 0;
    else if (b == ' ') c = kBlankClass;
    else if (b >= '0' && b <= '9') c = kDigitClass;
    else if (b >= 'A' && b <= 'Z') c = 3;
    else if (b >= 'a' && b <= 'z') c = 4;
    else if (b == '.') c = 5;
    else if (b == '-') c = 6;
    else if (b == ',') c = 7;
    else if (b == '*') c = 8;
    else if (b == '+') c = 9;
    else if (b < 0x20 || b == 0x7F) c = 11;
    else if (b >= 0x80) c = static_cast<uint8_t>(12 + (b - 0x80) / 0x20);
    classes[static_cast<size_t>(b)] = c;
  }
  return classes;
}

uint64_t Hash(const uint8_t* bytes, uint64_t length) {
  // Eight bytes at a time: equal records must meet, and a rare collision only
  // counts two records as one.
  uint64_t hash = 0x9E3779B97F4A7C15ull ^ length;
  uint64_t i = 0;
  for (; i + 8 <= length; i += 8) {
    uint64_t word;
    std::memcpy(&word, bytes + i, 8);
    hash = (hash ^ word) * 0xFF51AFD7ED558CCDull;
    hash ^= hash >> 29;
  }
  uint64_t tail = 0;
  std::memcpy(&tail, bytes + i, static_cast<size_t>(length - i));
  hash = (hash ^ tail) * 0xC4CEB9FE1A85EC53ull;
  return hash ^ (hash >> 32);
}

}  // namespace

const std::array<uint8_t, 256> RecordModel::kClassOf = MakeClasses();

RecordModel::RecordModel(const RecordLayout& layout)
    : layout_(layout),
      length_(layout.recordLength),
      enforced_(layout.fields.size(), true),
      formatFails_(layout.fields.size(), 0),
      counts_(length_ * kClasses, 0),
      scores_(length_ * kClasses, 0),
      prior_(length_ * kClasses, 0),
      leftOut_(length_ * kClasses, 0),
      low_(INT32_MIN / 2),
      high_(INT32_MIN / 2),
      floor_(INT32_MIN / 2),
      tailEdge_{INT32_MIN / 2, INT32_MIN / 2},
      headEdge_{INT32_MIN / 2, INT32_MIN / 2},
      sure_(INT32_MIN / 2),
      chainLength_(kUnfittedChain) {
  ListChecked();
}

void RecordModel::CountFormats(const uint8_t* record) {
  if (!IsRecordFlag(record[0])) {
    paddedRun_ = 0;
    return;
  }
  ++censusReads_;
  const bool padded = PaddingBreaks(layout_, record) == 0;
  paddedRun_ = padded ? paddedRun_ + 1 : 0;
  longestPaddedRun_ = std::max(longestPaddedRun_, paddedRun_);
  // Records read shifted break the padding of their fields; only records
  // that keep it tell what the writer did with its fixed formats.
  if (!padded) return;
  ++censusRecords_;
  for (size_t f = 0; f < layout_.fields.size(); ++f) {
    const LayoutField& field = layout_.fields[f];
    if (!FitsFormat(field.format, record + field.offset, field.length)) ++formatFails_[f];
  }
}

void RecordModel::SettleFormats() {
  // Shifted reads hardly ever keep the padding for a run of records; a
  // table too short for such a run keeps it when at least half its records do.
  paddingKept_ = longestPaddedRun_ >= kPaddedRun ||
                 (censusReads_ < 2 * kPaddedRun && censusRecords_ > 0 && 2 * censusRecords_ >= censusReads_);
  if (censusRecords_ >= kYoung) {
    for (size_t f = 0; f < layout_.fields.size(); ++f) enforced_[f] = 4 * formatFails_[f] < censusRecords_;
  }
  ListChecked();
}

void RecordModel::EnforceAlso(const RecordModel& other) {
  if (other.censusRecords_ < kYoung) return;
  for (size_t f = 0; f < layout_.fields.size(); ++f) enforced_[f] = enforced_[f] || other.enforced_[f];
  paddingKept_ = paddingKept_ || other.paddingKept_;
  ListChecked();
}

void RecordModel::ListChecked() {
  checked_.clear();
  for (size_t f = 0; f < layout_.fields.size(); ++f) {
    if (layout_.fields[f].format != FieldFormat::kText && enforced_[f]) checked_.push_back(f);
  }
}

void RecordModel::Learn(const uint8_t* record) {
  uint32_t* row = counts_.data();
  for (uint64_t i = 0; i < length_; ++i, row += kClasses) ++row[kClassOf[record[i]]];
  ++learnt_;
  if (hashed_ < kMaxHashed) {
    hashes_.insert(Hash(record, length_));
    ++hashed_;
  }
}

void RecordModel::LearnPair(const uint8_t* records) {
  const size_t capacity =
      std::clamp<size_t>(static_cast<size_t>(kPairBytes / (2 * length_)), kMinPairs, kMaxPairs);
  ++pairsSeen_;
  size_t slot = pairs_.size();
  if (slot >= capacity) {
    // Reservoir sampling keeps an even sample of the whole learning walk.
    randomState_ = randomState_ * 6364136223846793005ull + 1442695040888963407ull;
    slot = static_cast<size_t>((randomState_ >> 33) % pairsSeen_);
    if (slot >= capacity) return;
  } else {
    pairs_.emplace_back();
  }
  pairs_[slot].assign(records, records + 2 * length_);
}

void RecordModel::Fit() {
  if (learnt_ < kMinLearnt) return;
  FitScores();
  FitThresholds();
  fitted_ = true;
}

void RecordModel::FitScores() {
  double all = 0;
  background_.fill(0);
  for (uint64_t i = 0; i < length_; ++i) {
    for (int c = 0; c < kClasses; ++c) background_[c] += counts_[i * kClasses + c];
  }
  for (int c = 0; c < kClasses; ++c) all += background_[c];
  for (int c = 0; c < kClasses; ++c) background_[c] = (background_[c] + 1) / (all + kClasses);

  const double n = static_cast<double>(learnt_);
  auto fitRange = [&](uint64_t from, uint64_t to, bool number) {
    // The field's own class mix is the prior of each of its positions.
    std::array<double, kClasses> field{};
    for (uint64_t i = from; i < to; ++i) {
      for (int c = 0; c < kClasses; ++c) field[c] += counts_[i * kClasses + c];
    }
    const double fieldTotal = n * static_cast<double>(to - from);
    for (int c = 0; c < kClasses; ++c) field[c] = (field[c] + 4 * background_[c]) / (fieldTotal + 4);
    for (uint64_t i = from; i < to; ++i) {
      for (int c = 0; c < kClasses; ++c) {
        const uint64_t cell = i * kClasses + c;
        prior_[cell] = static_cast<float>(kPriorWeight * field[c]);
        scores_[cell] = ByteScore(counts_[cell], cell, n);
        // As if one record holding this class had not been learnt: what a
        // record outside the sample would score.
        leftOut_[cell] = counts_[cell] > 0 ? ByteScore(counts_[cell] - 1.0, cell, n - 1) : scores_[cell];
      }
      if (number) {
        // Numbers gain and lose digits along a table (a counter, a memo
        // block): a digit or blank never seen at a position of a checked
        // number is not odd there: it scores no lower than two nats below
        // what the field's own mix gives it, or below zero if that is less.
        for (int c : {kBlankClass, kDigitClass}) {
          const uint64_t cell = i * kClasses + static_cast<uint64_t>(c);
          const double ratio = std::clamp(std::log(field[c] / background_[c]), -kMaxByteScore, kMaxByteScore);
          const auto floor = static_cast<int16_t>(std::lround((std::min(ratio, 0.0) - 2) * kScale));
          scores_[cell] = std::max(scores_[cell], floor);
          leftOut_[cell] = std::max(leftOut_[cell], floor);
        }
      }
    }
  };
  fitRange(0, 1, false);
  for (size_t f = 0; f < layout_.fields.size(); ++f) {
    const LayoutField& field = layout_.fields[f];
    const bool number = enforced_[f] && (field.format == FieldFormat::kNumber || field.format == FieldFormat::kMemo);
    fitRange(field.offset, field.offset + field.length, number);
  }
  if (length_ <= kByteTableLength) {
    byteScores_.resize(length_ * 256);
    for (uint64_t i = 0; i < length_; ++i) {
      for (int b = 0; b < 256; ++b) byteScores_[i * 256 + b] = static_cast<int8_t>(scores_[i * kClasses + kClassOf[b]]);
    }
  } else {
    bestAfter_.assign((length_ + kScoreStretch - 1) / kScoreStretch + 1, 0);
    int32_t best = 0;
    for (uint64_t i = length_; i-- > 0;) {
      best += *std::max_element(scores_.begin() + static_cast<std::ptrdiff_t>(i * kClasses),
                                scores_.begin() + static_cast<std::ptrdiff_t>((i + 1) * kClasses));
      if (i % kScoreStretch == 0) bestAfter_[i / kScoreStretch] = best;
    }
  }
  ChooseProbe();
}

void RecordModel::ChooseProbe() {
  probe_.clear();
  probeScores_.clear();
  auto add = [&](uint64_t position) {
    probe_.push_back(static_cast<uint32_t>(position));
    for (int b = 0; b < 256; ++b) probeScores_.push_back(static_cast<int8_t>(scores_[position * kClasses + kClassOf[b]]));
  };
  // The most telling position of each of a few equal stretches of the
  // record: what a real record is expected to score there.
  std::vector<bool> taken(length_, false);
  const uint64_t stretches =
      std::min({length_, std::max<uint64_t>(kProbePositions, length_ / 16), kMostProbePositions});
  for (uint64_t k = 0; k < stretches; ++k) {
    const uint64_t from = k * length_ / stretches;
    const uint64_t to = (k + 1) * length_ / stretches;
    uint64_t best = from;
    double bestExpected = -1e300;
    for (uint64_t i = from; i < to; ++i) {
      double expected = 0;
      for (int c = 0; c < kClasses; ++c) {
        expected += static_cast<double>(counts_[i * kClasses + c]) * scores_[i * kClasses + c];
      }
      if (expected > bestExpected) {
        bestExpected = expected;
        best = i;
      }
    }
    taken[best] = true;
  }
  for (uint64_t i = 0; i < length_; ++i) {
    if (taken[i]) add(i);
  }
}

int16_t RecordModel::ByteScore(double count, uint64_t cell, double records) const {
  // A class a position holds in a tiny share of the records is more likely
  // damage the learning let through than data.
  if (count <= records * kNoiseShare) count = 0;
  const double p = (count + prior_[cell]) / (records + kPriorWeight);
  const double ratio = std::clamp(std::log(p / background_[cell % kClasses]), -kMaxByteScore, kMaxByteScore);
  return static_cast<int16_t>(std::clamp<long>(std::lround(ratio * kScale), -128, 127));
}

int32_t RecordModel::ScoreLeftOut(const uint8_t* record) const {
  int32_t total = 0;
  for (uint64_t i = 0; i < length_; ++i) total += leftOut_[i * kClasses + kClassOf[record[i]]];
  return total;
}

bool RecordModel::ReadsBestHere(const uint8_t* record, uint64_t before, uint64_t after, int32_t margin) const {
  const int32_t here = Score(record) + margin;
  for (uint64_t d = 1; d <= before; ++d) {
    if (Score(record - d) > here) return false;
  }
  for (uint64_t d = 1; d <= after; ++d) {
    if (Score(record + d) > here) return false;
  }
  return true;
}

RecordModel::Edge RecordModel::WorstRuns(const uint8_t* record, bool atEnd) const {
  int32_t run = 0;
  Edge worst{0, 0};
  for (uint64_t k = 0; k < length_; ++k) {
    const uint64_t i = atEnd ? length_ - 1 - k : k;
    run += scores_[i * kClasses + kClassOf[record[i]]];
    worst.any = std::min(worst.any, run);
    if (k < kShortRun) worst.near = worst.any;
  }
  return worst;
}

}  // namespace drelin
