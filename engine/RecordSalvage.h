// RecordSalvage: the third operation beside Normal and Advance repair, for
// tables whose data area is damaged (a sector of zeros or garbage, bytes
// inserted or lost, deletion flags overwritten). It takes the field layout
// as the header rebuild finds it, recovers every record that is intact, in
// order, and skips each damaged stretch whole, finding the records'
// alignment again after it. The output is a sound dBASE III table: the
// rebuilt header (record count = records written), the source's field
// descriptors and terminator, the recovered records, each a record-length
// slice of the source, and the end-of-file byte.
//
// First it learns from the table's own well-aligned records what its
// records look like (RecordLearning, RecordModel), reading at most a few
// megabytes; then one walk over the data area (RecordWalk) writes. Memory
// stays bounded whatever the table's size. A table without fields has
// nothing to salvage and is repaired as Normal repair does.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "AdvanceDecision.h"
#include "File.h"
#include "FileIo.h"
#include "RecordWalk.h"
#include "TableScan.h"

namespace drelin {

struct SkippedRange {
  uint64_t offset = 0;
  uint64_t length = 0;
  SkipReason reason = SkipReason::kDamaged;
};

struct SalvageReport {
  // At most this many skipped ranges and resynchronisations are listed; the
  // counts tell all.
  static constexpr size_t kMaxListed = 100000;

  TableScan scan;
  std::optional<AdvanceDecision> advance;  // salvage read as Advance repair reads
  uint64_t headerLength = 0;  // as written
  uint64_t recordLength = 0;
  uint64_t kept = 0;          // records written
  uint64_t expected = 0;      // about how many records the data area holds
  std::vector<SkippedRange> skipped;
  uint64_t skippedCount = 0;
  uint64_t skippedBytes = 0;
  std::vector<uint64_t> resync;  // offsets where alignment was found again
  uint64_t resyncCount = 0;
  // The table gives too little to judge alignment (records under 8 bytes,
  // mostly identical records, too few records).
  bool uncertain = false;
  // No fields: the output is what Normal repair writes.
  bool repairedAsNormal = false;
  uint64_t outputLength = 0;
};

struct SalvageOptions {
  File::Creation creation = File::Creation::kTruncate;
  // Told how much of the data area is done; may throw to stop.
  CopyProgress progress;
  // Told the source offset of each record written, in order.
  std::function<void(uint64_t offset)> onKeep;
};

// Salvages `source` into `output` reading the layout as repair `mode` (0
// Normal, 1 Advance) does. Throws FileError for a file that cannot be read
// or written, or whose header cannot be read (no terminator, records or
// header longer than the format can describe); std::invalid_argument for an
// unknown mode.
SalvageReport SalvageTable(FileIo& io, const std::string& source, const std::string& output, int mode,
                           const SalvageOptions& options = {});

}  // namespace drelin
