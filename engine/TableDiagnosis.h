// TableDiagnosis: what is wrong with a table, in plain words, and what each
// repair would make of it. The stored header is compared with what the
// descriptors and the file length say; nothing is written.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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

struct TableDiagnosis {
  // At most this many fields are listed; `fieldCount` tells the true number.
  static constexpr size_t kMaxListedFields = 4096;

  uint64_t fileSize = 0;
  // The stored header (zero where the file is too short to hold it).
  uint8_t version = 0;
  uint8_t lastUpdate[3] = {0, 0, 0};
  uint32_t storedRecordCount = 0;
  uint16_t storedHeaderLength = 0;
  uint16_t storedRecordLength = 0;

  // Where Normal repair's scan finds the terminator.
  std::optional<uint64_t> terminatorOffset;
  bool terminatorAgrees = false;  // stands where the stored header length says

  // As the recommended repair sees the table (Advance repair's view when it
  // is needed).
  std::vector<DiagnosedField> fields;
  uint64_t fieldCount = 0;
  uint64_t firstRecordOffset = 0;
  bool firstRecordDeleted = false;
  bool endsWithEndOfFile = false;
  // Bytes of a last record cut short by the end of the file (0: none).
  uint64_t partialRecordBytes = 0;

  // The recommended repair and what it would write; empty when the file is
  // beyond any repair (too short, too large).
  std::string recommendedMode;  // "normal" or "advance"
  std::optional<RepairPlan> repair;
  // Normal repair would not find the terminator Advance repair restores.
  bool advanceNeeded = false;

  std::vector<std::string> problems;  // one sentence each; empty: sound
  std::vector<std::string> notes;     // worth knowing, not damage

  bool sound() const { return problems.empty(); }
};

// Throws FileError when the file cannot be opened or read.
TableDiagnosis DiagnoseTable(FileIo& io, const std::string& path);

}  // namespace drelin
