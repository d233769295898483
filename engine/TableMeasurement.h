// TableMeasurement: the facts about a table that its diagnosis is written
// from: the stored header as found, where Normal repair's scan finds the
// header's end, what Advance repair would do with the stored header length,
// and the plan of the repair that fits (the very plan that repair writes).
// Numbers only; TableDiagnosis puts them into words.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "AdvanceDecision.h"
#include "DataAreaCheck.h"
#include "FileIo.h"
#include "RepairPlan.h"
#include "TableScan.h"

namespace drelin {

struct DiagnosedField {
  std::string name;  // raw bytes up to the first NUL
  uint8_t type = 0;
  uint8_t length = 0;
  uint8_t decimals = 0;
};

struct TableMeasurement {
  // At most this many fields are listed; `fieldCount` tells the true number.
  static constexpr size_t kMaxListedFields = 4096;

  uint64_t fileSize = 0;
  // The stored header (zero where the file is too short to hold it).
  uint8_t version = 0;
  uint8_t lastUpdate[3] = {0, 0, 0};
  uint32_t storedRecordCount = 0;
  uint16_t storedHeaderLength = 0;
  uint16_t storedRecordLength = 0;
  uint8_t languageDriver = 0;  // byte 29
  // Why the file is no table at all (too short, too large); nothing below is
  // measured then.
  std::string sourceRefusal;

  // Where Normal repair's scan finds the terminator.
  std::optional<uint64_t> terminatorOffset;
  bool terminatorAgrees = false;  // stands where the stored header length says
  bool endsWithEndOfFile = false;
  // What Advance repair would do with the stored header length.
  AdvanceDecision advance;
  // The byte at H - 1 before Advance repair forces it (when it would).
  uint8_t byteAtStoredEnd = 0;
  // Advance repair restores a terminator that Normal repair would miss.
  bool advanceNeeded = false;

  // As the recommended repair sees the table.
  std::string recommendedMode;  // "normal" or "advance"
  TableScan scan;
  std::vector<DiagnosedField> fields;
  uint64_t fieldCount = 0;
  uint64_t firstRecordOffset = 0;
  bool firstRecordDeleted = false;
  // Records the repair counts whose flag marks them deleted.
  uint64_t deletedRecords = 0;
  // Bytes of a last record cut short by the end of the file (0: none).
  uint64_t partialRecordBytes = 0;
  // What the recommended repair writes; empty when it refuses the table
  // (`repairRefusal` says why).
  std::optional<RepairPlan> repair;
  std::string repairRefusal;
  // The records themselves, as the recommended repair reads them (nothing
  // when there are none, or no fields).
  std::optional<DataAreaCheck> dataArea;
};

// How far a measurement reads: kWhole also reads every record's flag to
// count the deleted ones, and checks the records themselves on a bounded
// sample; kDeep checks every record instead; kHeader reads only what the
// repairs decide from (the header, and the file's length), as cheap for a
// huge table as for a small.
enum class MeasureDepth { kHeader, kWhole, kDeep };

// Throws FileError when the file cannot be opened or read.
TableMeasurement MeasureTable(FileIo& io, const std::string& path,
                              MeasureDepth depth = MeasureDepth::kWhole);

}  // namespace drelin
