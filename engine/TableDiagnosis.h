// TableDiagnosis: what is wrong with a table, in plain words, and what each
// repair would make of it. The words are written from a TableMeasurement;
// nothing is written to any file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "FileIo.h"
#include "TableMeasurement.h"

namespace drelin {

struct TableDiagnosis : TableMeasurement {
  std::vector<std::string> problems;  // one sentence each; empty: sound
  std::vector<std::string> notes;     // worth knowing, not damage

  bool sound() const { return problems.empty(); }
};

// Throws FileError when the file cannot be opened or read.
TableDiagnosis DiagnoseTable(FileIo& io, const std::string& path);

// A byte as every report writes it: "0x0A".
std::string Hex(uint8_t byte);

}  // namespace drelin
