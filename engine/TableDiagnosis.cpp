#include "TableDiagnosis.h"

#include <algorithm>
#include <cstdio>

#include "DbfLayout.h"
#include "FileError.h"
#include "TableCompanions.h"

namespace drelin {

namespace {

bool IsKnownVersion(uint8_t version) {
  // dBASE II to dBASE 7, FoxBASE/FoxPro and Visual FoxPro, with and without memo.
  static const uint8_t kKnown[] = {0x02, 0x03, 0x04, 0x05, 0x07, 0x30, 0x31, 0x32, 0x43, 0x63,
                                   0x7B, 0x83, 0x87, 0x8B, 0x8E, 0xCB, 0xE5, 0xF5, 0xFB};
  return std::find(std::begin(kKnown), std::end(kKnown), version) != std::end(kKnown);
}

std::string Number(uint64_t value) { return std::to_string(value); }

// Where the header ends, as the scan and the stored header length see it.
void HeaderProblems(const TableDiagnosis& d, std::vector<std::string>& problems) {
  const uint64_t storedTerminator = d.storedHeaderLength - 1u;
  if (!d.terminatorOffset) {
    problems.push_back("no header terminator (0x0D) found at any descriptor position");
  } else if (!d.terminatorAgrees) {
    problems.push_back("header terminator found at offset " + Number(*d.terminatorOffset) +
                       ", but the stored header length " + Number(d.storedHeaderLength) +
                       (d.storedHeaderLength == 0 ? " puts it nowhere"
                                                  : " puts it at offset " + Number(storedTerminator)));
  }
  if (d.advanceNeeded) {
    problems.push_back("offset " + Number(storedTerminator) + " holds " + Hex(d.byteAtStoredEnd) +
                       " where the stored header length expects the terminator 0x0D "
                       "(a line-ending conversion that turned 0x0D into 0x0A is a common cause)");
  }
}

// The stored numbers against what the recommended repair writes.
void PlanProblems(const TableDiagnosis& d, std::vector<std::string>& problems) {
  if (!d.repair) {
    problems.push_back(d.repairRefusal);
    return;
  }
  const RepairPlan& plan = *d.repair;
  if (d.storedHeaderLength != plan.headerLength) {
    problems.push_back("stored header length " + Number(d.storedHeaderLength) + ", found " +
                       Number(plan.headerLength));
  }
  if (d.storedRecordLength != plan.recordLength) {
    problems.push_back("stored record length " + Number(d.storedRecordLength) +
                       ", the fields add up to " + Number(plan.recordLength));
  }
  if (d.storedRecordCount != plan.recordCount) {
    problems.push_back("stored record count " + Number(d.storedRecordCount) + ", found " +
                       Number(plan.recordCount));
  }
  if (d.partialRecordBytes > 0) {
    problems.push_back("the last record is cut short: " + Number(d.partialRecordBytes) + " of " +
                       Number(d.scan.recordLength()) + " bytes present");
  }
  if (d.scan.terminatorOffset && !d.scan.firstRecordFound()) {
    // Bytes after the terminator but no record flag among them (a lone
    // end-of-file byte is just an empty table).
    const uint64_t after = d.fileSize - (*d.scan.terminatorOffset + 1);
    if (after > 1 || (after == 1 && !d.endsWithEndOfFile)) {
      problems.push_back("no record flag (0x20 or 0x2A) after the header terminator");
    }
  }
}

// The records themselves, as far as they were checked.
void DataProblems(const TableDiagnosis& d, std::vector<std::string>& problems, std::vector<std::string>& notes) {
  if (!d.dataArea) return;
  const DataAreaCheck& data = *d.dataArea;
  if (data.misfits > 0) {
    problems.push_back(Number(data.misfits) + " of " + Number(data.checked) +
                       (data.everyRecord ? " records" : " records checked") +
                       " do not fit their fields (deletion flag, numbers, dates, logicals, memo "
                       "numbers), the first at offset " + Number(*data.firstMisfit));
  }
  if (data.endShift) {
    const uint64_t shift = *data.endShift;
    problems.push_back("the last records stand " + Number(shift) + " bytes after where the header puts them (or " +
                       Number(d.scan.recordLength() - shift) +
                       " before): bytes were inserted or lost in the data area");
  }
  if (!data.everyRecord) {
    notes.push_back("records checked: " + Number(data.checked) + " of " + Number(data.records) +
                    ", the first, the last and evenly spaced ones (--deep checks every one)");
  }
}

// What a repair writes at the end, told from the plan it writes.
void Notes(const TableDiagnosis& d, std::vector<std::string>& notes) {
  if (d.repair && !d.endsWithEndOfFile && d.repair->recordCount > 0) {
    const std::vector<uint8_t>& tail = d.repair->tail;
    if (!tail.empty() && tail.back() == kEndOfFile) {
      notes.push_back("no end-of-file byte (0x1A) after the last record; a repair adds one");
    } else {
      notes.push_back("no end-of-file byte (0x1A) after the last record; a repair adds none" +
                      std::string(d.repair->partialRecord ? ", as the table ends inside a record cut short"
                                                          : ""));
    }
  }
  if (d.firstRecordDeleted) notes.push_back("the first record is marked deleted");
  if (d.repair && d.fieldCount == 0 && d.repair->recordCount > 0) {
    notes.push_back("the table has no fields; each record is its deletion flag alone");
  }
  if (!d.terminatorOffset && d.advance.rule == AdvanceRule::kRefused) {
    notes.push_back(d.advance.refusal);
  }
}

// The code page and the memo file, which live beside the table or in bytes
// the repair does not read.
void Companions(FileIo& io, const std::string& path, TableDiagnosis& d) {
  d.codePage = ReadTableCodePage(io, path);
  if (!d.codePage.cpgProblem.empty()) d.notes.push_back(d.codePage.cpgProblem + "; it was ignored");
  for (const DiagnosedField& field : d.fields) {
    if (IsMemoType(field.type, d.version)) d.memoFields.push_back(field);
  }
  const bool foxPro = IsFoxProVersion(d.version);
  const char* expected = foxPro ? kFoxProMemoExtension : kDbaseMemoExtension;
  const char* other = foxPro ? kDbaseMemoExtension : kFoxProMemoExtension;
  try {
    d.memoFile = FindCompanion(io, path, expected);
    if (!d.memoFile) d.memoFile = FindCompanion(io, path, other);
  } catch (const FileError& error) {
    d.notes.push_back(std::string("the folder could not be searched for a memo file: ") + error.what());
    return;
  }
  if (!d.memoFile && !d.memoFields.empty()) {
    const std::string name = CompanionPath(path, expected);
    d.notes.push_back("no memo file " + name.substr(name.rfind('/') + 1) +
                      " beside the table: the text of its memo fields is not there");
  }
}

}  // namespace

std::string Hex(uint8_t byte) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", byte);
  return text;
}

TableDiagnosis DiagnoseTable(FileIo& io, const std::string& path, MeasureDepth depth) {
  TableDiagnosis d;
  static_cast<TableMeasurement&>(d) = MeasureTable(io, path, depth);
  const bool whole = depth != MeasureDepth::kHeader;
  if (!d.sourceRefusal.empty()) {
    d.problems.push_back(
        d.fileSize < DbfHeader::kSize
            ? "the file is " + Number(d.fileSize) +
                  " bytes long, too short to be a dBASE table (at least 32 bytes)"
            : "the file is larger than 4 GiB, beyond what a dBASE table can describe");
    if (whole) Companions(io, path, d);
    return d;
  }
  // The problems, most telling first.
  if (!IsKnownVersion(d.version)) d.problems.push_back("unknown version byte " + Hex(d.version));
  HeaderProblems(d, d.problems);
  PlanProblems(d, d.problems);
  DataProblems(d, d.problems, d.notes);
  Notes(d, d.notes);
  if (whole) Companions(io, path, d);
  return d;
}

}  // namespace drelin
