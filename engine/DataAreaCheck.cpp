#include "DataAreaCheck.h"

#include <algorithm>
#include <vector>

#include "DbfLayout.h"
#include "RecordLayout.h"
#include "RecordLearning.h"
#include "RecordModel.h"
#include "SlidingWindow.h"

namespace drelin {

namespace {

// Tables of up to this many records are checked whole; larger ones on the
// records at the start and at the end, and runs of them between.
constexpr uint64_t kWholeTable = 4096;
constexpr uint64_t kEdgeRecords = 64;
constexpr uint64_t kProbes = 64;
constexpr uint64_t kProbeRecords = 8;

bool Fits(const RecordModel& model, const uint8_t* record) {
  return IsRecordFlag(record[0]) && model.FieldsFit(record);
}

// The records checked: every one, or the edges and evenly spaced runs.
std::vector<std::pair<uint64_t, uint64_t>> Sample(uint64_t records, bool every) {
  if (every || records <= kWholeTable) return {{0, records}};
  std::vector<std::pair<uint64_t, uint64_t>> runs{{0, kEdgeRecords}};
  const uint64_t middle = records - 2 * kEdgeRecords;
  for (uint64_t k = 0; k < kProbes; ++k) {
    runs.push_back({kEdgeRecords + k * (middle - kProbeRecords) / (kProbes - 1), kProbeRecords});
  }
  runs.push_back({records - kEdgeRecords, kEdgeRecords});
  return runs;
}

}  // namespace

std::optional<DataAreaCheck> CheckDataArea(const ByteSource& view, const TableScan& scan, bool deep) {
  if (scan.lengthSum == 0 || !scan.firstRecordFound()) return std::nullopt;
  const RecordLayout layout = ReadRecordLayout(view, scan);
  const uint64_t length = layout.recordLength;
  const uint64_t begin = scan.firstRecordOffset;
  const uint64_t end = view.length() - (view.At(view.length() - 1) == kEndOfFile ? 1 : 0);
  if (end < begin + length) return std::nullopt;

  DataAreaCheck check;
  check.records = (end - begin) / length;
  RecordModel model(layout);
  TakeFormatCensus(view, begin, model);

  SlidingWindow window(view, begin, end, WindowBytesFor(length));
  for (const auto& [first, count] : Sample(check.records, deep)) {
    for (uint64_t i = first; i < first + count; ++i) {
      const uint64_t at = begin + i * length;
      const uint8_t* record = window.Get(at, length);
      window.Release(at);
      ++check.checked;
      if (!Fits(model, record)) {
        ++check.misfits;
        if (!check.firstMisfit) check.firstMisfit = at;
      }
    }
  }
  check.everyRecord = check.checked == check.records;

  // The last records at the header's alignment do not fit, those that end
  // where the data area ends do: the alignment moved on the way.
  const uint64_t shift = (end - begin) % length;
  const uint64_t tail = std::min<uint64_t>(kProbeRecords, check.records);
  auto fitting = [&](uint64_t from) {
    std::vector<uint8_t> bytes(static_cast<size_t>(tail * length));
    view.Read(from, bytes.data(), bytes.size());
    uint64_t fit = 0;
    for (uint64_t k = 0; k < tail; ++k) fit += Fits(model, bytes.data() + k * length) ? 1 : 0;
    return fit;
  };
  if (shift != 0 && 2 * fitting(begin + (check.records - tail) * length) < tail &&
      4 * fitting(end - tail * length) >= 3 * tail) {
    check.endShift = shift;
  }
  return check;
}

}  // namespace drelin
