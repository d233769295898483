// TableDiagnosis: what is wrong with a table, in plain words, and what each
// repair would make of it, with what travels with it: its code page and its
// memo file. The words are written from a TableMeasurement; nothing is
// written to any file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "FileIo.h"
#include "TableCodePage.h"
#include "TableMeasurement.h"

namespace drelin {

struct TableDiagnosis : TableMeasurement {
  std::vector<std::string> problems;  // one sentence each; empty: sound
  std::vector<std::string> notes;     // worth knowing, not damage

  // The code page the table's text is written in, and why.
  TableCodePage codePage;
  // The listed fields whose values live in the memo file.
  std::vector<DiagnosedField> memoFields;
  // The companion memo file (.dbt, or .fpt for FoxPro), when there is one.
  std::optional<std::string> memoFile;

  bool sound() const { return problems.empty(); }
  // The records themselves are damaged: record salvage, not a repair, is
  // what recovers them.
  bool salvageRecommended() const { return dataArea && dataArea->damaged(); }
};

// Throws FileError when the file cannot be opened or read. At kHeader depth
// the deleted records are not counted, the records are not checked and
// nothing beside the table (code page, memo file) is looked at: enough for
// what the repairs would do.
TableDiagnosis DiagnoseTable(FileIo& io, const std::string& path,
                             MeasureDepth depth = MeasureDepth::kWhole);

// A byte as every report writes it: "0x0A".
std::string Hex(uint8_t byte);

}  // namespace drelin
