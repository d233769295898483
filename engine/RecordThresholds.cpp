// The marks of RecordModel, fit from its sample of consecutive learnt record
// pairs: how real records score (each as if it had not been learnt) and how
// the same bytes read at other alignments (misreads) score.
#include <algorithm>
#include <climits>
#include <cmath>

#include "DbfLayout.h"
#include "RecordModel.h"

namespace drelin {

namespace {

// Work bound of the estimate, in bytes scored.
constexpr uint64_t kThresholdWork = uint64_t{2} << 20;
// How far a doubtful record is compared with other alignments, each way,
// and how many doubtful records the margin for that is taken from.
constexpr uint64_t kFarReach = 255;
constexpr size_t kFarSample = 256;
// Pairs the quick look's misreads are taken from.
constexpr size_t kLookPairs = 64;
// Real records' looks the quick look's floor needs.
constexpr size_t kFloorLooks = 256;
// Shifts either way the quick look's misreads are all taken at.
constexpr uint64_t kEveryShift = 64;
// A wrong alignment may pass a whole chain at most this often.
constexpr double kChainFalsePass = 1e-6;
constexpr unsigned kMinChain = 3;
constexpr unsigned kMaxChain = 16;

// The edge below which one in a hundred real records falls, each way.
RecordModel::Edge Percentile(const std::vector<RecordModel::Edge>& edges) {
  std::vector<int32_t> any;
  std::vector<int32_t> near;
  for (const auto& edge : edges) {
    any.push_back(edge.any);
    near.push_back(edge.near);
  }
  std::sort(any.begin(), any.end());
  std::sort(near.begin(), near.end());
  return {any[any.size() / 100], near[near.size() / 100]};
}

}  // namespace

struct RecordModel::Sample {
  size_t pairs = 0;               // pairs used, within the work bound
  std::vector<uint64_t> shifts;   // misread alignments: nearby, and spread over the record
  std::vector<int32_t> truth;     // real records' scores, sorted
  std::vector<std::vector<int32_t>> misread;  // per shift: misreads that pass flag and formats
  int32_t ceiling = INT32_MIN;    // the best of those
  int32_t Quantile(double q) const {
    return truth[static_cast<size_t>(q * static_cast<double>(truth.size() - 1))];
  }
};

void RecordModel::FitThresholds() {
  const double identical =
      hashed_ ? static_cast<double>(hashed_ - hashes_.size()) / static_cast<double>(hashed_) : 0;
  uncertain_ = length_ < 8 || learnt_ < kYoung || pairs_.empty() || identical >= 0.5;
  if (pairs_.empty()) return;

  Sample sample;
  const uint64_t near = std::min<uint64_t>(8, length_ - 1);
  for (uint64_t s = 1; s <= near; ++s) sample.shifts.push_back(s);
  for (uint64_t s = length_ - near; s < length_; ++s) sample.shifts.push_back(s);
  const uint64_t spread = std::min<uint64_t>(32, length_ - 1);
  for (uint64_t k = 1; k <= spread; ++k) sample.shifts.push_back(k * (length_ - 1) / (spread + 1) + 1);
  std::sort(sample.shifts.begin(), sample.shifts.end());
  sample.shifts.erase(std::unique(sample.shifts.begin(), sample.shifts.end()), sample.shifts.end());
  const uint64_t budget = std::max<uint64_t>(1, kThresholdWork / (length_ * (sample.shifts.size() + 2)));
  sample.pairs = static_cast<size_t>(std::min<uint64_t>(pairs_.size(), budget));

  for (size_t p = 0; p < sample.pairs; ++p) {
    sample.truth.push_back(ScoreLeftOut(pairs_[p].data()));
    sample.truth.push_back(ScoreLeftOut(pairs_[p].data() + length_));
  }
  std::sort(sample.truth.begin(), sample.truth.end());
  sample.misread.resize(sample.shifts.size());
  for (size_t k = 0; k < sample.shifts.size(); ++k) {
    for (size_t p = 0; p < sample.pairs; ++p) {
      const uint8_t* read = pairs_[p].data() + sample.shifts[k];
      if (!IsRecordFlag(read[0]) || !FieldsFit(read)) continue;
      sample.misread[k].push_back(Score(read));
      sample.ceiling = std::max(sample.ceiling, sample.misread[k].back());
    }
  }
  FitMarks(sample);
  FitQuickLook(sample);
  FitFarMargin(sample);
  FitEdges(sample);
  FitChain(sample);
}

void RecordModel::FitMarks(const Sample& sample) {
  const int32_t median = sample.Quantile(0.5);
  const int32_t rare = sample.Quantile(0.001);
  std::vector<int32_t> misreads;
  for (const auto& scores : sample.misread) misreads.insert(misreads.end(), scores.begin(), scores.end());
  floor_ = INT32_MIN / 2;
  if (!misreads.empty()) {
    const auto middle = misreads.begin() + static_cast<std::ptrdiff_t>(misreads.size() / 2);
    std::nth_element(misreads.begin(), middle, misreads.end());
    floor_ = std::min(*middle, rare);
  }
  if (sample.ceiling == INT32_MIN) {
    low_ = rare - std::max<int32_t>(median - rare, 8 * kScale);  // formats alone tell
  } else if (sample.ceiling < rare) {
    low_ = sample.ceiling + (rare - sample.ceiling) / 4;  // clear of every misread, with room above
  } else {
    low_ = rare;  // misreads reach real records: keep the records, let chains decide
  }
  high_ = std::max(low_, sample.Quantile(0.02));
  sure_ = std::max(low_, sample.ceiling == INT32_MIN ? INT32_MIN / 2 : sample.ceiling + 1);
  sameBonus_ = std::max({0, (median - rare) / 4, median / 8});
}

void RecordModel::FitQuickLook(const Sample& sample) {
  if (probe_.empty()) return;
  // The quick look may pass records where no misread got and nearly every
  // real record gets.
  std::vector<int32_t> looks;
  for (size_t p = 0; p < sample.pairs; ++p) {
    looks.push_back(ProbeScore(pairs_[p].data()));
    looks.push_back(ProbeScore(pairs_[p].data() + length_));
  }
  std::sort(looks.begin(), looks.end());
  // It stands in for the formats too: every misread with a flag counts, at
  // every alignment (a block copied from elsewhere in the table reads at one
  // alignment throughout): every shift of a few bytes either way, where
  // bytes inserted or lost put a misread, the others as far as the work
  // bound reaches.
  int32_t misreadLook = INT32_MIN / 2;
  const uint64_t perShift = probe_.size() * std::min<uint64_t>(pairs_.size(), kLookPairs);
  const uint64_t step = std::max<uint64_t>(1, (length_ - 1) * perShift / kThresholdWork);
  const uint64_t tail = length_ > kEveryShift ? length_ - kEveryShift : 1;
  auto next = [&](uint64_t shift) {
    return shift < kEveryShift || shift >= tail ? shift + 1 : std::max(shift + 1, std::min(shift + step, tail));
  };
  for (uint64_t shift = 1; shift < length_; shift = next(shift)) {
    for (size_t p = 0; p < pairs_.size() && p < kLookPairs; ++p) {
      const uint8_t* read = pairs_[p].data() + shift;
      if (IsRecordFlag(read[0])) misreadLook = std::max(misreadLook, ProbeScore(read));
    }
  }
  probeSure_ = learnt_ < kYoung ? INT32_MAX : std::max(misreadLook + 1, looks[looks.size() / 100]);
  // Below every real record's look, by half their spread again; of a small
  // sample the lowest look says too little.
  probeFloor_ = looks.size() < kFloorLooks
                    ? INT32_MIN / 2
                    : looks.front() - std::max<int32_t>(8 * kScale, (looks[looks.size() / 2] - looks.front()) / 2);
}

void RecordModel::FitFarMargin(const Sample& sample) {
  // How much better than doubtful sample records far alignments read.
  std::vector<int32_t> beats;
  const uint64_t far = std::min<uint64_t>(length_ - 1, kFarReach);
  auto bestFar = [&](const uint8_t* record, bool ahead) {
    int32_t best = INT32_MIN / 2;
    for (uint64_t d = 1; d <= far; ++d) best = std::max(best, Score(ahead ? record + d : record - d));
    return best;
  };
  const size_t samples = static_cast<size_t>(
      std::clamp<uint64_t>(kThresholdWork / std::max<uint64_t>(1, far * length_), 2, kFarSample));
  for (size_t p = 0; p < sample.pairs && beats.size() < samples; ++p) {
    const uint8_t* first = pairs_[p].data();
    const uint8_t* second = first + length_;
    if (Score(first) < sure_) beats.push_back(bestFar(first, true) - Score(first));
    if (Score(second) < sure_) beats.push_back(bestFar(second, false) - Score(second));
  }
  if (!beats.empty()) {
    std::sort(beats.begin(), beats.end());
    farMargin_ = std::max(0, beats[beats.size() * 98 / 100]);
  }
}

void RecordModel::FitEdges(const Sample& sample) {
  std::vector<Edge> tails;
  std::vector<Edge> heads;
  for (size_t p = 0; p < sample.pairs; ++p) {
    for (const uint8_t* record : {pairs_[p].data(), pairs_[p].data() + length_}) {
      tails.push_back(WorstRuns(record, true));
      heads.push_back(WorstRuns(record, false));
    }
  }
  tailEdge_ = Percentile(tails);
  headEdge_ = Percentile(heads);
}

void RecordModel::FitChain(const Sample& sample) {
  // The worst share of misreads at one alignment that pass the low mark:
  // a chain at that alignment passes as often as that share to the power
  // of its length.
  double worstLeak = 0;
  for (const auto& scores : sample.misread) {
    const auto passes = std::count_if(scores.begin(), scores.end(), [&](int32_t s) { return s >= low_; });
    worstLeak = std::max(worstLeak, static_cast<double>(passes) / static_cast<double>(sample.pairs));
  }
  if (learnt_ < kYoung) {
    chainLength_ = kUnfittedChain;
  } else if (worstLeak <= 0) {
    chainLength_ = kMinChain;
  } else if (worstLeak >= 0.5) {
    chainLength_ = kMaxChain;
  } else {
    const double needed = std::log(kChainFalsePass) / std::log(worstLeak);
    chainLength_ = std::clamp(static_cast<unsigned>(std::ceil(needed)), kMinChain, kMaxChain);
  }
  if (worstLeak > 0.25) uncertain_ = true;
}

}  // namespace drelin
