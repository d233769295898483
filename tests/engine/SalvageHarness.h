// Shared by the salvage tests: salvage bytes held in memory and keep the
// output, the report and the source offset of every record written.
#pragma once

#include <cstdint>
#include <vector>

#include "DbfRepairEngine.h"
#include "MemoryFileIo.h"
#include "RecordSalvage.h"
#include "ReferenceModel.h"

namespace drelin::testing {

struct Salvaged {
  Bytes output;
  SalvageReport report;
  std::vector<uint64_t> offsets;  // source offset of each record written
};

inline Salvaged SalvageBytes(const Bytes& source, int mode = kRepairNormal) {
  MemoryFileIo io;
  io.files["in.dbf"] = source;
  Salvaged result;
  SalvageOptions options;
  options.onKeep = [&](uint64_t offset) { result.offsets.push_back(offset); };
  result.report = SalvageTable(io, "in.dbf", "out.dbf", mode, options);
  result.output = io.files["out.dbf"];
  return result;
}

}  // namespace drelin::testing
