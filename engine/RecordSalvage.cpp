#include "RecordSalvage.h"

#include <algorithm>
#include <stdexcept>

#include "ByteSource.h"
#include "DbfLayout.h"
#include "DbfRepairEngine.h"
#include "FileError.h"
#include "PlannedRepair.h"
#include "RecordLayout.h"
#include "RecordLearning.h"
#include "RecordModel.h"
#include "RepairPlan.h"
#include "SlidingWindow.h"

namespace drelin {

namespace {

// Writes the kept records after the header and tells the report. Records
// that follow one another in the source go out as one run, written from the
// walk's window while the bytes are still in the processor's cache, so the
// source is read once.
class RecordWriter : public WalkSink, public WindowHolder {
 public:
  RecordWriter(SlidingWindow& window, File& output, uint64_t start, uint64_t recordLength,
               SalvageReport& report, const std::function<void(uint64_t)>& onKeep)
      : window_(window), output_(output), at_(start), length_(recordLength), report_(report), onKeep_(onKeep) {}

  void Keep(uint64_t offset, const uint8_t*, const uint8_t*) override {
    if (offset != runEnd_ || !holding_) {
      if (offset != runEnd_) Flush();
      runStart_ = runEnd_ = offset;
      window_.Hold(offset, *this);
      holding_ = true;
    }
    runEnd_ = offset + length_;
    ++report_.kept;
    if (onKeep_) onKeep_(offset);
    if (runEnd_ - runStart_ >= kWriteBytes) Flush();
  }
  void Skip(uint64_t offset, uint64_t length, SkipReason reason) override {
    ++report_.skippedCount;
    report_.skippedBytes += length;
    if (report_.skipped.size() < SalvageReport::kMaxListed) report_.skipped.push_back({offset, length, reason});
  }
  void Resync(uint64_t offset) override {
    ++report_.resyncCount;
    if (report_.resync.size() < SalvageReport::kMaxListed) report_.resync.push_back(offset);
  }

  // Writes the run in hand; returns the output offset after it.
  uint64_t Flush() {
    const uint64_t count = runEnd_ - runStart_;
    if (count > 0) {
      // The window holds the run (and shows an Advance view's forced byte).
      output_.WriteAt(at_, window_.Get(runStart_, static_cast<size_t>(count)), static_cast<size_t>(count));
      at_ += count;
    }
    runStart_ = runEnd_;
    if (holding_) window_.Hold(runStart_, *this);
    return at_;
  }
  // The walk has gone far past the run in hand (a long search): it is
  // written now, and the window need not keep its bytes.
  void Spill() override {
    Flush();
    window_.Unhold();
    holding_ = false;
  }

 private:
  // Large enough that writes cost few calls, small enough to stay cached.
  static constexpr uint64_t kWriteBytes = uint64_t{256} << 10;

  SlidingWindow& window_;
  File& output_;
  uint64_t at_;
  const uint64_t length_;
  SalvageReport& report_;
  const std::function<void(uint64_t)>& onKeep_;
  uint64_t runStart_ = 0;
  uint64_t runEnd_ = 0;
  bool holding_ = false;
};

// The header must end somewhere for the records to have fields.
void CheckTerminator(const std::string& path, const TableScan& scan) {
  if (!scan.terminatorOffset) {
    throw FileError(path, "no header terminator (0x0D) found, so the records' fields are unknown");
  }
}

SalvageReport RepairWithoutFields(FileIo& io, const std::string& source, const std::string& output, int mode,
                                  const SalvageOptions& options) {
  RepairOptions repair;
  repair.creation = options.creation;
  repair.progress = options.progress;
  const RepairReport done = DbfRepairEngine(io).RepairFile(source, output, mode, repair);
  SalvageReport report;
  report.scan = done.scan;
  report.advance = done.advance;
  report.headerLength = done.plan.headerLength;
  report.recordLength = done.plan.recordLength;
  report.kept = report.expected = done.plan.recordCount;
  report.uncertain = true;  // one-byte records: nothing tells alignment
  report.repairedAsNormal = true;
  report.outputLength = done.plan.outputLength();
  return report;
}

}  // namespace

SalvageReport SalvageTable(FileIo& io, const std::string& source, const std::string& output, int mode,
                           const SalvageOptions& options) {
  if (mode != kRepairNormal && mode != kRepairAdvance) {
    throw std::invalid_argument("unknown repair mode " + std::to_string(mode));
  }
  const File input = File::OpenForReading(io, source);
  // The header is read exactly as the repair of `mode` reads it, and the
  // same tables are refused (lengths the format cannot hold, Advance
  // repair's rules).
  const PlannedRepair planned = PlanFileRepair(input, mode == kRepairAdvance);
  if (planned.refused()) throw FileError(source, planned.refusal);
  const ByteSource& view = planned.view;
  const TableScan& scan = planned.scan;
  CheckTerminator(source, scan);
  if (scan.lengthSum == 0) return RepairWithoutFields(io, source, output, mode, options);

  const uint64_t begin = *scan.terminatorOffset + 1;
  const uint64_t end = view.length();
  const RecordModel model = LearnRecords(view, ReadRecordLayout(view, scan), begin);
  const uint64_t recordLength = model.recordLength();

  SalvageReport report;
  report.scan = scan;
  report.advance = planned.advance;
  report.headerLength = begin;
  report.recordLength = recordLength;
  report.uncertain = model.uncertain();
  const uint64_t dataBytes = end > begin ? end - begin - (view.At(end - 1) == kEndOfFile ? 1 : 0) : 0;
  report.expected = (dataBytes + recordLength / 2) / recordLength;

  File out = File::Create(io, output, options.creation, 0666, &input);
  std::vector<uint8_t> descriptors(static_cast<size_t>(begin - DbfHeader::kSize));
  view.Read(DbfHeader::kSize, descriptors.data(), descriptors.size());
  descriptors.back() = kHeaderTerminator;
  out.WriteAt(DbfHeader::kSize, descriptors.data(), descriptors.size());

  SlidingWindow window(view, begin, end, WindowBytesFor(recordLength));
  RecordWriter writer(window, out, begin, recordLength, report, options.onKeep);
  WalkOptions writing;
  writing.progress = options.progress;
  WalkRecords(window, begin, model, writer, writing);
  const uint64_t recordsEnd = writer.Flush();
  if (recordsEnd + 1 > kMaxTableLength) throw FileError(output, "the salvaged table would be over 4 GiB");
  const uint8_t endOfFile = kEndOfFile;
  out.WriteAt(recordsEnd, &endOfFile, 1);

  // The header as the repair writes it: a table with memo fields keeps its
  // memo version byte.
  RepairPlan header;
  header.version = planned.plan.version;
  header.recordCount = static_cast<uint32_t>(report.kept);
  header.headerLength = begin;
  header.recordLength = recordLength;
  const auto headerBytes = header.Header();
  out.WriteAt(0, headerBytes.data(), headerBytes.size());
  out.Close();
  report.outputLength = recordsEnd + 1;
  return report;
}

}  // namespace drelin
