// RepairPlan: everything a repair writes, computed from a scan and the
// source's length without reading the records. The output is the rebuilt
// 32-byte header, then the source's bytes from offset 32 to its end
// unchanged, then a short tail for what the record walk writes past the end
// (blanks for a cut-off field, an end-of-file byte, zeros of a cut-off
// descriptor block).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "ByteSource.h"
#include "DbfLayout.h"
#include "TableScan.h"

namespace drelin {

struct RepairPlan {
  uint8_t version = DbfHeader::kRepairedVersion;  // RepairedVersion
  uint32_t recordCount = 0;
  // Written in 16 bits: a plan with either over 65,535 is refused
  // (TableLimits), never written cut short.
  uint64_t headerLength = 0;
  uint64_t recordLength = 0;
  uint64_t sourceLength = 0;
  std::vector<uint8_t> tail;  // written at sourceLength; at most 256 bytes

  uint64_t outputLength() const { return sourceLength + tail.size(); }
  // The record that the walk stopped inside (cut short by the end of the
  // source), if any: it is not counted.
  bool partialRecord = false;

  std::array<uint8_t, DbfHeader::kSize> Header() const;
};

RepairPlan PlanRepair(const ByteSource& source, const TableScan& scan);

}  // namespace drelin
