// DataAreaCheck: whether a table's records still stand where its header puts
// them and fit their fields, judged on a bounded sample (the first records,
// the last ones and evenly spaced runs between) or, when asked, on every
// record. A record does not fit when its deletion flag is neither 0x20 nor
// 0x2A or a number, date, logical or memo number breaks its fixed form (as
// far as the table's own records keep those forms). Damage here is what
// record salvage is for; the repairs keep the data area as it is.
#pragma once

#include <cstdint>
#include <optional>

#include "ByteSource.h"
#include "TableScan.h"

namespace drelin {

struct DataAreaCheck {
  uint64_t records = 0;  // whole records from the first one on, at the header's alignment
  uint64_t checked = 0;
  bool everyRecord = false;
  uint64_t misfits = 0;  // checked records that do not fit
  std::optional<uint64_t> firstMisfit;  // its offset
  // The records that end at the end of the data area fit, but this many
  // bytes after the header's alignment (mod the record length): bytes were
  // inserted or lost on the way.
  std::optional<uint64_t> endShift;

  bool damaged() const { return misfits > 0 || endShift.has_value(); }
};

// Checks the records of `view` from the scan's first record on; `deep`
// checks every one. Nothing when the table has no fields or no records.
std::optional<DataAreaCheck> CheckDataArea(const ByteSource& view, const TableScan& scan, bool deep);

}  // namespace drelin
