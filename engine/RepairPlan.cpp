#include "RepairPlan.h"

namespace drelin {

std::array<uint8_t, DbfHeader::kSize> RepairPlan::Header() const {
  std::array<uint8_t, DbfHeader::kSize> header{};
  header[DbfHeader::kVersionOffset] = version;
  WriteLe32(&header[DbfHeader::kRecordCountOffset], recordCount);
  WriteLe16(&header[DbfHeader::kHeaderLengthOffset], static_cast<uint16_t>(headerLength));
  WriteLe16(&header[DbfHeader::kRecordLengthOffset], static_cast<uint16_t>(recordLength));
  return header;
}

RepairPlan PlanRepair(const ByteSource& source, const TableScan& scan) {
  RepairPlan plan;
  const uint64_t length = scan.length;
  const uint64_t first = scan.firstRecordOffset;
  plan.sourceLength = length;
  plan.version = RepairedVersion(length > 0 ? source.At(DbfHeader::kVersionOffset) : 0, scan);
  plan.headerLength = first;
  plan.recordLength = scan.recordLength();

  if (!scan.terminatorOffset) {
    // No terminator: every block was copied whole, a cut-off last block with
    // zeros for its missing bytes. There are no records.
    plan.tail.assign(first > length ? first - length : 0, 0x00);
    return plan;
  }
  if (first >= length) return plan;  // no record flag after the terminator

  if (scan.fieldCount == 0) {
    // Without fields a record is its deletion flag alone: every byte from
    // the first flag on, less a final end-of-file byte.
    const bool endsWithEof = source.At(length - 1) == kEndOfFile;
    plan.recordCount = static_cast<uint32_t>(length - first - (endsWithEof ? 1 : 0));
    if (plan.recordCount > 0 && !endsWithEof) plan.tail.push_back(kEndOfFile);
    return plan;
  }

  // The walk copies a record's fields while each starts inside the source;
  // a record counts once its last field has started, and then the byte after
  // it (the next flag, or the end-of-file byte) is copied too.
  const uint64_t recordLength = scan.recordLength();
  const uint64_t lastFieldStart = first + 1 + (scan.lengthSum - scan.lastFieldLength);
  uint64_t count = 0;
  if (lastFieldStart < length) count = (length - lastFieldStart + recordLength - 1) / recordLength;
  plan.recordCount = static_cast<uint32_t>(count);

  const uint64_t next = first + 1 + count * recordLength;  // first field of the next record
  if (next < length) {
    // A record cut short: its fields that start inside the source are still
    // written in full, blanks standing in for the bytes past the end.
    plan.partialRecord = true;
    uint64_t fieldStart = next;
    uint64_t end = next;
    ForEachFieldLength(source, scan, [&](uint8_t fieldLength) {
      if (fieldStart >= length) return false;
      end = fieldStart + fieldLength;
      fieldStart = end;
      return true;
    });
    if (end > length) plan.tail.assign(end - length, kFieldPadding);
  } else if (count > 0 && next - 1 >= length) {
    // The last record's trailing byte lies at or past the end: its last field
    // is padded with blanks up to it, and it becomes the end-of-file byte.
    plan.tail.assign(next - 1 - length, kFieldPadding);
    plan.tail.push_back(kEndOfFile);
  }
  return plan;
}

}  // namespace drelin
