// DbfRepairEngine: rebuilds damaged dBASE III tables into new files and reads
// tables back as a grid. It never writes a source.
//
// Normal repair trusts only the field descriptors and the file length: it
// finds the header terminator and the first record, copies everything after
// the 32-byte header unchanged, counts the records, and writes a fresh header
// (version 3, record count, header length, record length, all else zero; a
// table with memo fields keeps its memo version byte, see RepairedVersion).
// Advance repair first forces the terminator to stand where the stored
// header length says the header ends, where AdvanceDecision allows it, then
// repairs as Normal does.
//
// Every file failure, and every refused source, is a FileError naming the
// file and the reason; a refused source creates no output.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "AdvanceDecision.h"
#include "File.h"
#include "FileIo.h"
#include "PreviewGrid.h"
#include "RepairPlan.h"

namespace drelin {

// The engine's mode numbers.
enum RepairMode : int {
  kRepairNormal = 0,
  kRepairAdvance = 1,
};

// What a repair wrote.
struct RepairReport {
  RepairPlan plan;
  TableScan scan;
  // Advance repair only: what it did with the stored header length.
  std::optional<AdvanceDecision> advance;
};

struct RepairOptions {
  // How the output is created: emptied if it exists, or only if it does not.
  File::Creation creation = File::Creation::kTruncate;
  // Told how much of the bulk copy is done, for long repairs.
  CopyProgress progress;
};

class DbfRepairEngine {
 public:
  DbfRepairEngine();
  // An engine whose file access goes through `io` (tests inject failures).
  explicit DbfRepairEngine(FileIo& io);

  // Repairs `source` into `output`; true whenever it returns.
  bool RepairNormal(const std::string& source, const std::string& output);
  void RepairAdvance(const std::string& source, const std::string& output);
  // Runs the repair of `mode`; any other mode returns false and touches no file.
  bool Repair(const std::string& source, const std::string& output, int mode);

  // The same, with options, telling what was written. Throws
  // std::invalid_argument for a mode other than 0 or 1.
  RepairReport RepairFile(const std::string& source, const std::string& output, int mode,
                          const RepairOptions& options = {});

  // Fills `grid` with the table at `path`.
  void LoadPreview(const std::string& path, PreviewGrid& grid);

 private:
  FileIo* io_;
};

}  // namespace drelin
