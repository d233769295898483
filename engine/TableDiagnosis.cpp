#include "TableDiagnosis.h"

#include <algorithm>
#include <cstdio>

#include "ByteSource.h"
#include "DbfLayout.h"
#include "File.h"

namespace drelin {

namespace {

std::string Hex(uint8_t byte) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", byte);
  return text;
}

bool IsKnownVersion(uint8_t version) {
  // dBASE II to dBASE 7, FoxBASE/FoxPro and Visual FoxPro, with and without memo.
  static const uint8_t kKnown[] = {0x02, 0x03, 0x04, 0x05, 0x07, 0x30, 0x31, 0x32, 0x43, 0x63,
                                   0x7B, 0x83, 0x87, 0x8B, 0x8E, 0xCB, 0xE5, 0xF5, 0xFB};
  return std::find(std::begin(kKnown), std::end(kKnown), version) != std::end(kKnown);
}

}  // namespace

TableDiagnosis DiagnoseTable(FileIo& io, const std::string& path) {
  TableDiagnosis d;
  const File file = File::OpenForReading(io, path);
  ByteSource source(file);
  d.fileSize = source.fileLength();

  uint8_t header[DbfHeader::kSize] = {};
  file.ReadAt(0, header, sizeof header);
  d.version = header[DbfHeader::kVersionOffset];
  std::copy(header + 1, header + 4, d.lastUpdate);
  d.storedRecordCount = ReadLe32(header + DbfHeader::kRecordCountOffset);
  d.storedHeaderLength = ReadLe16(header + DbfHeader::kHeaderLengthOffset);
  d.storedRecordLength = ReadLe16(header + DbfHeader::kRecordLengthOffset);

  if (d.fileSize < DbfHeader::kSize) {
    d.problems.push_back("the file is " + std::to_string(d.fileSize) +
                         " bytes long, too short to be a dBASE table (at least 32 bytes)");
    return d;
  }
  if (d.fileSize > kMaxTableLength) {
    d.problems.push_back("the file is larger than 4 GiB, beyond what a dBASE table can describe");
    return d;
  }

  const TableScan scan = ScanTable(source);
  d.terminatorOffset = scan.terminatorOffset;
  const uint64_t storedTerminator = d.storedHeaderLength - 1u;
  d.terminatorAgrees = scan.terminatorOffset && d.storedHeaderLength > 0 &&
                       *scan.terminatorOffset == storedTerminator;
  d.endsWithEndOfFile = source.At(d.fileSize - 1) == kEndOfFile;

  // Advance repair restores the terminator when the stored header length
  // points at a block start that Normal repair's scan reaches without
  // stopping first.
  const bool storedPointsAtBlock = d.storedHeaderLength > DbfHeader::kSize &&
                                   storedTerminator % 32 == 0 && storedTerminator < d.fileSize;
  d.advanceNeeded = storedPointsAtBlock && !d.terminatorAgrees &&
                    (!scan.terminatorOffset || *scan.terminatorOffset > storedTerminator);

  // Fields and records as the recommended repair sees them.
  ByteSource forced(file);
  if (d.advanceNeeded) forced.Force(storedTerminator, kHeaderTerminator);
  const ByteSource& view = d.advanceNeeded ? forced : source;
  const TableScan chosen = ScanTable(view, [&](uint64_t offset, uint8_t) {
    if (d.fields.size() >= TableDiagnosis::kMaxListedFields) return;
    uint8_t block[DbfFieldDescriptor::kSize] = {};
    view.Read(offset, block, sizeof block);
    DiagnosedField field;
    const uint8_t* nameEnd = std::find(block, block + sizeof block, 0);
    field.name.assign(reinterpret_cast<const char*>(block), static_cast<size_t>(nameEnd - block));
    field.type = block[DbfFieldDescriptor::kTypeOffset];
    field.length = block[DbfFieldDescriptor::kLengthOffset];
    field.decimals = block[DbfFieldDescriptor::kDecimalCountOffset];
    d.fields.push_back(field);
  });
  d.fieldCount = chosen.fieldCount;
  d.firstRecordOffset = chosen.firstRecordOffset;
  if (chosen.firstRecordFound()) d.firstRecordDeleted = view.At(chosen.firstRecordOffset) == kDeletedRecordFlag;
  d.repair = PlanRepair(view, chosen);
  d.recommendedMode = d.advanceNeeded ? "advance" : "normal";
  const RepairPlan& plan = *d.repair;
  if (plan.partialRecord) {
    d.partialRecordBytes = d.fileSize - (chosen.firstRecordOffset + 1 + plan.recordCount * chosen.recordLength()) + 1;
  } else if (!plan.tail.empty() && plan.tail.front() == kFieldPadding) {
    // The last record is counted but its last field runs past the end.
    d.partialRecordBytes = chosen.recordLength() - plan.tail.size() + 1;
  }

  // The problems, most telling first.
  if (!IsKnownVersion(d.version)) d.problems.push_back("unknown version byte " + Hex(d.version));
  if (!scan.terminatorOffset) {
    d.problems.push_back("no header terminator (0x0D) found at any descriptor position");
  } else if (!d.terminatorAgrees) {
    d.problems.push_back("header terminator found at offset " + std::to_string(*scan.terminatorOffset) +
                         ", but the stored header length " + std::to_string(d.storedHeaderLength) +
                         " puts it at offset " + std::to_string(storedTerminator));
  }
  if (d.advanceNeeded) {
    d.problems.push_back("offset " + std::to_string(storedTerminator) + " holds " +
                         Hex(source.At(storedTerminator)) +
                         " where the stored header length expects the terminator 0x0D "
                         "(a line-ending conversion that turned 0x0D into 0x0A is a common cause)");
  }
  if (d.storedHeaderLength != static_cast<uint16_t>(plan.headerLength)) {
    d.problems.push_back("stored header length " + std::to_string(d.storedHeaderLength) + ", found " +
                         std::to_string(plan.headerLength));
  }
  if (d.storedRecordLength != static_cast<uint16_t>(plan.recordLength)) {
    d.problems.push_back("stored record length " + std::to_string(d.storedRecordLength) +
                         ", the fields add up to " + std::to_string(plan.recordLength));
  }
  if (d.storedRecordCount != plan.recordCount) {
    d.problems.push_back("stored record count " + std::to_string(d.storedRecordCount) + ", found " +
                         std::to_string(plan.recordCount));
  }
  if (d.partialRecordBytes > 0) {
    d.problems.push_back("the last record is cut short: " + std::to_string(d.partialRecordBytes) +
                         " of " + std::to_string(chosen.recordLength()) + " bytes present");
  }
  if (chosen.terminatorOffset && !chosen.firstRecordFound()) {
    // Bytes after the terminator but no record flag among them (a lone
    // end-of-file byte is just an empty table).
    const uint64_t after = d.fileSize - (*chosen.terminatorOffset + 1);
    if (after > 1 || (after == 1 && !d.endsWithEndOfFile)) {
      d.problems.push_back("no record flag (0x20 or 0x2A) after the header terminator");
    }
  }

  if (!d.endsWithEndOfFile && plan.recordCount > 0) {
    d.notes.push_back("no end-of-file byte (0x1A) after the last record; a repair adds one");
  }
  if (d.firstRecordDeleted) d.notes.push_back("the first record is marked deleted");
  if (d.fieldCount == 0 && plan.recordCount > 0) {
    d.notes.push_back("the table has no fields; each record is its deletion flag alone");
  }
  return d;
}

}  // namespace drelin
