#include "TableMeasurement.h"

#include <algorithm>
#include <vector>

#include "DbfLayout.h"
#include "File.h"
#include "PlannedRepair.h"
#include "TableLimits.h"

namespace drelin {

namespace {

void ReadStoredHeader(const File& file, TableMeasurement& m) {
  uint8_t header[DbfHeader::kSize] = {};
  file.ReadAt(0, header, sizeof header);
  m.version = header[DbfHeader::kVersionOffset];
  std::copy(header + DbfHeader::kLastUpdateOffset, header + DbfHeader::kRecordCountOffset,
            m.lastUpdate);
  m.storedRecordCount = ReadLe32(header + DbfHeader::kRecordCountOffset);
  m.storedHeaderLength = ReadLe16(header + DbfHeader::kHeaderLengthOffset);
  m.storedRecordLength = ReadLe16(header + DbfHeader::kRecordLengthOffset);
  m.languageDriver = header[DbfHeader::kLanguageDriverOffset];
}

// Flags among the `count` records from `first`, `stride` bytes apart, that
// mark a record deleted; read a megabyte at a time.
uint64_t CountDeleted(const ByteSource& source, uint64_t first, uint64_t stride, uint64_t count) {
  constexpr uint64_t kChunk = 1 << 20;
  std::vector<uint8_t> buffer;
  uint64_t deleted = 0;
  for (uint64_t record = 0; record < count;) {
    const uint64_t span = std::min(kChunk, (count - record - 1) * stride + 1);
    buffer.resize(static_cast<size_t>(span));
    const size_t got = source.Read(first + record * stride, buffer.data(), buffer.size());
    for (uint64_t at = 0; at < got && record < count; at += stride, ++record) {
      if (IsDeletedFlag(buffer[static_cast<size_t>(at)])) ++deleted;
    }
    if (got < span) break;  // the flags ran past the end (no counted record does)
  }
  return deleted;
}

// The descriptors before the terminator, as many as are listed.
void ListFields(const PlannedRepair& chosen, TableMeasurement& m) {
  const uint64_t listed = std::min<uint64_t>(chosen.scan.fieldCount, TableMeasurement::kMaxListedFields);
  for (uint64_t i = 0; i < listed; ++i) {
    uint8_t block[DbfFieldDescriptor::kSize] = {};
    chosen.view.Read(DbfHeader::kSize + i * DbfFieldDescriptor::kSize, block, sizeof block);
    DiagnosedField field;
    const uint8_t* nameEnd = std::find(block, block + sizeof block, 0);
    field.name.assign(reinterpret_cast<const char*>(block), static_cast<size_t>(nameEnd - block));
    field.type = block[DbfFieldDescriptor::kTypeOffset];
    field.length = block[DbfFieldDescriptor::kLengthOffset];
    field.decimals = block[DbfFieldDescriptor::kDecimalCountOffset];
    m.fields.push_back(field);
  }
}

// Bytes of the last record that the file holds, when the file cuts it short.
uint64_t PartialRecordBytes(const TableScan& scan, const RepairPlan& plan) {
  const uint64_t recordLength = scan.recordLength();
  if (plan.partialRecord) {
    // The uncounted record's flag stands right after the counted ones, at
    // first + count * recordLength; it and every byte after it are present.
    const uint64_t flag = scan.firstRecordOffset + uint64_t{plan.recordCount} * recordLength;
    return scan.length - flag;
  }
  if (!plan.tail.empty() && plan.tail.front() == kFieldPadding) {
    // The last record counts, but blanks stand in for the end of its last
    // field: the tail is those blanks and then the end-of-file byte, so the
    // record lacks tail.size() - 1 of its bytes.
    return recordLength - (plan.tail.size() - 1);
  }
  return 0;
}

}  // namespace

TableMeasurement MeasureTable(FileIo& io, const std::string& path, MeasureDepth depth) {
  TableMeasurement m;
  const File file = File::OpenForReading(io, path);
  m.fileSize = file.Size();
  ReadStoredHeader(file, m);
  m.sourceRefusal = SourceLengthRefusal(m.fileSize);
  if (!m.sourceRefusal.empty()) return m;

  const PlannedRepair normal = PlanFileRepair(file, false);
  const PlannedRepair advance = PlanFileRepair(file, true);
  m.terminatorOffset = normal.scan.terminatorOffset;
  m.terminatorAgrees = m.terminatorOffset && *m.terminatorOffset + 1 == m.storedHeaderLength;
  m.endsWithEndOfFile = normal.view.At(m.fileSize - 1) == kEndOfFile;
  m.advance = *advance.advance;
  if (m.advance.forces()) m.byteAtStoredEnd = normal.view.At(m.advance.forcedOffset());
  // Forcing the terminator always changes where the header ends (the
  // unforced scan found none before H - 1, nor at it), so Normal repair
  // would misread the header whenever Advance repair forces one.
  m.advanceNeeded = m.advance.forces() && !advance.refused();

  const PlannedRepair& chosen = m.advanceNeeded ? advance : normal;
  m.recommendedMode = m.advanceNeeded ? "advance" : "normal";
  m.scan = chosen.scan;
  ListFields(chosen, m);
  m.fieldCount = chosen.scan.fieldCount;
  m.firstRecordOffset = chosen.scan.firstRecordOffset;
  if (chosen.scan.firstRecordFound()) {
    m.firstRecordDeleted = chosen.view.At(chosen.scan.firstRecordOffset) == kDeletedRecordFlag;
  }
  if (chosen.refused()) {
    m.repairRefusal = chosen.refusal;
    return m;
  }
  m.repair = chosen.plan;
  if (depth != MeasureDepth::kHeader && chosen.scan.firstRecordFound()) {
    m.deletedRecords = CountDeleted(chosen.view, chosen.scan.firstRecordOffset,
                                    chosen.scan.recordLength(), chosen.plan.recordCount);
  }
  m.partialRecordBytes = PartialRecordBytes(chosen.scan, chosen.plan);
  if (depth != MeasureDepth::kHeader) {
    m.dataArea = CheckDataArea(chosen.view, chosen.scan, depth == MeasureDepth::kDeep);
  }
  return m;
}

}  // namespace drelin
