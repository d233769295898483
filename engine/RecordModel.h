// RecordModel: how much a run of bytes looks like a record of one table,
// learnt from that table's own well-aligned records.
//
// Each byte falls into one of a few classes (blank, NUL, digit, capital,
// small letter, point, ...). For every position of the record the model
// counts the classes the learnt records hold there; a candidate's score is
// the sum over its positions of log(P(class at this position) / P(class
// anywhere in the table)), a log-likelihood ratio in 1/16 nats, each byte's
// share bounded. Bytes read at the wrong alignment, zeros and noise score
// far below real records. Fields with a fixed format (numbers, dates,
// logicals, memo blocks) are also checked outright, unless the table's own
// records break the format.
//
// Thresholds come from a sample of consecutive learnt records: the scores
// the records themselves reach (each as if it had not been learnt), and the
// scores of the same bytes read at other alignments. They also tell how many
// consecutive records a new alignment needs before it is believed, and
// whether the table gives too little to judge alignment at all.
#pragma once

#include <array>
#include <cstdint>
#include <unordered_set>
#include <vector>

#include "RecordLayout.h"

namespace drelin {

class RecordModel {
 public:
  static constexpr int kClasses = 16;
  static constexpr int kScale = 16;  // score units per nat
  static constexpr uint64_t kYoung = 16;
  // Consecutive records a new alignment needs before any model can score.
  static constexpr unsigned kUnfittedChain = 8;
  // A byte scoring below this (in 1/16 nats) at its position is odd there.
  static constexpr int8_t kOddByte = -3 * kScale;

  explicit RecordModel(const RecordLayout& layout);

  const RecordLayout& layout() const { return layout_; }
  uint64_t recordLength() const { return length_; }

  // Format census: records read where the header says they are, before any
  // learning. A fixed format that a quarter of the records keeping the
  // padding convention (PaddingBreaks) break is not enforced: the writer did
  // not follow it. The padding convention itself is relied on when some run
  // of the records keeps it throughout.
  void CountFormats(const uint8_t* record);
  void SettleFormats();
  // Takes on the formats another census, of records read elsewhere in the
  // table, found the writer keeping: records read shifted by damage break
  // every format, so the census that found a format kept is the one to trust.
  void EnforceAlso(const RecordModel& other);
  // For a young model: whether the record keeps the padding convention, when
  // the table does (always true when it does not: then only the flag and the
  // formats judge).
  bool PaddingFits(const uint8_t* record) const {
    return !paddingKept_ || PaddingBreaks(layout_, record) == 0;
  }
  bool paddingKept() const { return paddingKept_; }
  // Some other look found the writer keeping the padding convention.
  void KeepPadding() { paddingKept_ = true; }

  // Takes over another model's format census (not what it learnt).
  void TakeFormatsFrom(const RecordModel& other) {
    enforced_ = other.enforced_;
    checked_ = other.checked_;
    paddingKept_ = other.paddingKept_;
  }

  // Learning: one well-aligned record; two consecutive ones (2 record
  // lengths of bytes) for the sample the thresholds come from.
  void Learn(const uint8_t* record);
  void LearnPair(const uint8_t* records);
  // Recomputes the scores and thresholds from everything learnt so far.
  void Fit();
  uint64_t learnt() const { return learnt_; }
  bool fitted() const { return fitted_; }
  // Too few records learnt for scores to mean much: only flags, formats and
  // the padding of the fields judge.
  bool young() const { return learnt_ < kYoung; }

  bool FieldsFit(const uint8_t* record) const {
    for (size_t f : checked_) {
      const LayoutField& field = layout_.fields[f];
      if (!FitsFormat(field.format, record + field.offset, field.length)) return false;
    }
    return true;
  }
  int32_t Score(const uint8_t* record) const {
    int32_t total = 0;
    if (!byteScores_.empty()) {
      const int8_t* row = byteScores_.data();
      for (uint64_t i = 0; i < length_; ++i, row += 256) total += row[record[i]];
    } else {
      const int16_t* row = scores_.data();
      for (uint64_t i = 0; i < length_; ++i, row += kClasses) total += row[kClassOf[record[i]]];
    }
    return total;
  }
  // Score(record) >= mark, giving up as soon as the rest of the record can
  // no longer make up the shortfall.
  bool ScoresAtLeast(const uint8_t* record, int32_t mark) const {
    if (bestAfter_.empty()) return Score(record) >= mark;
    int32_t total = 0;
    const int16_t* row = scores_.data();
    for (uint64_t i = 0; i < length_; ++i, row += kClasses) {
      if (i % kScoreStretch == 0 && total + bestAfter_[i / kScoreStretch] < mark) return false;
      total += row[kClassOf[record[i]]];
    }
    return total >= mark;
  }
  // A quick look at a few positions spread over the record: true when they
  // score where no sampled misread does and nearly every real record does,
  // and none of them holds a byte rarely or never seen there. A record
  // inside a run that passes is taken without a full score and without its
  // formats checked: misreads and damage fail the look, and a record next
  // to damage is judged in full before it is kept.
  bool SurelyRecord(const uint8_t* record) const {
    if (probe_.empty()) return false;
    int32_t total = 0;
    bool odd = false;
    const int8_t* row = probeScores_.data();
    for (uint32_t position : probe_) {
      const int8_t score = row[record[position]];
      total += score;
      odd |= score < kOddByte;
      row += 256;
    }
    return total >= probeSure_ && !odd;
  }
  // False when the quick look alone scores below every sampled real record,
  // with room to spare: not a record, whatever the rest holds. Cheap, so
  // the search for a new alignment tries it first.
  bool MayBeRecord(const uint8_t* record) const { return probe_.empty() || ProbeScore(record) >= probeFloor_; }
  int32_t ProbeScore(const uint8_t* record) const {
    int32_t total = 0;
    const int8_t* row = probeScores_.data();
    for (uint32_t position : probe_) {
      total += row[record[position]];
      row += 256;
    }
    return total;
  }
  // The score the record would have with an active flag in place of its own.
  int32_t ScoreAsActive(const uint8_t* record) const {
    return Score(record) - scores_[kClassOf[record[0]]] + scores_[kClassOf[kActiveFlagByte]];
  }
  // A record inside a run of records must reach `low`; one next to damage,
  // or the first of a new alignment, must reach `high`.
  int32_t low() const { return low_; }
  int32_t high() const { return high_; }
  // Below `floor` a record reads like a typical misread; between it and
  // `low`, a record is kept only when no nearby alignment reads better.
  int32_t floor() const { return floor_; }
  // Above `sure` no sampled misread scored: a record there is taken without
  // comparing it with nearby alignments.
  int32_t sure() const { return sure_; }
  // Whether no other alignment within the `before` and `after` bytes around
  // `record` reads better than it by more than `margin`.
  bool ReadsBestHere(const uint8_t* record, uint64_t before, uint64_t after, int32_t margin = 0) const;
  // By how much some far alignment may read better than a doubtful real
  // record does: hardly any doubtful sample record is beaten by more.
  int32_t farMargin() const { return farMargin_; }
  // A record next to damage must also hold no run of bytes at its end
  // (damage after it) or at its start (damage before it) that scores below
  // what real records hold there: the part the damage may have reached.
  // Short runs are judged on their own: a record whose last byte alone was
  // zeroed still shows.
  bool EndFits(const uint8_t* record) const { return WorstRuns(record, true).Above(tailEdge_); }
  bool StartFits(const uint8_t* record) const { return WorstRuns(record, false).Above(headEdge_); }

  // The lowest score of a run of bytes that ends the record (or starts it),
  // of any length and of at most a few bytes.
  struct Edge {
    int32_t any;
    int32_t near;
    bool Above(const Edge& edge) const { return any >= edge.any && near >= edge.near; }
  };
  // Consecutive records a new alignment needs before it is believed.
  unsigned chainLength() const { return chainLength_; }
  // What the old alignment's chain gains over a new one's when the two
  // compete: damage that keeps the alignment is as common as damage that
  // shifts it, and a shift must earn its place.
  int32_t sameAlignmentBonus() const { return sameBonus_; }
  // The table gives too little to judge alignment: records under 8 bytes,
  // records at least half identical, too few records, or other alignments
  // that read as well as the true one.
  bool uncertain() const { return uncertain_; }

 private:
  static const std::array<uint8_t, 256> kClassOf;
  static constexpr uint8_t kActiveFlagByte = 0x20;

  void ListChecked();
  void FitScores();
  // RecordThresholds.cpp: the marks, from the sample of record pairs.
  struct Sample;
  void FitThresholds();
  void FitMarks(const Sample& sample);
  void FitQuickLook(const Sample& sample);
  void FitFarMargin(const Sample& sample);
  void FitEdges(const Sample& sample);
  void FitChain(const Sample& sample);
  int16_t ByteScore(double count, uint64_t cell, double records) const;
  int32_t ScoreLeftOut(const uint8_t* record) const;
  void ChooseProbe();
  Edge WorstRuns(const uint8_t* record, bool atEnd) const;

  RecordLayout layout_;
  uint64_t length_;
  std::vector<bool> enforced_;         // per field: its fixed format is checked
  std::vector<size_t> checked_;        // the fields whose format is checked
  std::vector<uint64_t> formatFails_;  // census, per field
  uint64_t censusRecords_ = 0;         // census records that keep the padding
  uint64_t censusReads_ = 0;  // census records with a sound flag
  uint64_t paddedRun_ = 0;  // census records in a row that keep the padding convention
  uint64_t longestPaddedRun_ = 0;
  bool paddingKept_ = false;

  std::vector<uint32_t> counts_;  // [position][class]
  uint64_t learnt_ = 0;
  std::vector<int16_t> scores_;   // [position][class], 1/16 nats
  std::vector<int8_t> byteScores_;  // [position][byte], the same spread out, for records that fit in it
  // Of records too long for that: per stretch of kScoreStretch positions,
  // the most the positions from there to the end can score.
  static constexpr uint64_t kScoreStretch = 1024;
  std::vector<int32_t> bestAfter_;
  std::vector<uint32_t> probe_;      // positions of the quick look
  std::vector<int8_t> probeScores_;  // [probe][byte]
  int32_t probeSure_ = INT32_MAX;
  int32_t probeFloor_ = INT32_MIN / 2;
  std::vector<float> prior_;      // [position][class]: pseudo-counts from the field's class mix
  std::vector<int16_t> leftOut_;  // [position][class]: the score with one such record unlearnt
  std::array<double, kClasses> background_{};
  bool fitted_ = false;

  // Consecutive record pairs kept for the thresholds, and record hashes for
  // the share of identical records.
  std::vector<std::vector<uint8_t>> pairs_;
  uint64_t pairsSeen_ = 0;
  uint64_t randomState_ = 0x9E3779B97F4A7C15ull;
  std::unordered_set<uint64_t> hashes_;
  uint64_t hashed_ = 0;

  int32_t low_;
  int32_t high_;
  int32_t floor_;
  Edge tailEdge_;
  Edge headEdge_;
  int32_t sameBonus_ = 0;
  int32_t farMargin_ = INT32_MAX / 2;
  int32_t sure_;
  unsigned chainLength_;
  bool uncertain_ = true;
};

}  // namespace drelin
