// PlannedRepair: one repair of one source in one mode, worked out in full
// before anything is written: the view it reads (with Advance repair's forced
// terminator), the scan, the plan of what it writes, and the reason it is
// refused, if it is. The repair writes exactly this plan, and the diagnosis
// describes exactly this plan, so the two cannot disagree.
#pragma once

#include <optional>
#include <string>

#include "AdvanceDecision.h"
#include "ByteSource.h"
#include "File.h"
#include "RepairPlan.h"
#include "TableScan.h"

namespace drelin {

struct PlannedRepair {
  explicit PlannedRepair(const File& input) : view(input) {}

  ByteSource view;
  TableScan scan;
  RepairPlan plan;
  std::optional<AdvanceDecision> advance;  // Advance repair only
  // Why nothing may be written (the source's length, Advance repair's rules,
  // the format's limits); empty when the plan may be written.
  std::string refusal;

  bool refused() const { return !refusal.empty(); }
};

PlannedRepair PlanFileRepair(const File& input, bool advance);

}  // namespace drelin
