#include "PlannedRepair.h"

#include "DbfLayout.h"
#include "TableLimits.h"

namespace drelin {

PlannedRepair PlanFileRepair(const File& input, bool advance) {
  PlannedRepair planned(input);
  planned.refusal = SourceLengthRefusal(planned.view.length());
  if (planned.refused()) return planned;

  if (advance) {
    planned.advance = DecideAdvance(planned.view);
    if (planned.advance->rule == AdvanceRule::kRefused) {
      planned.refusal = planned.advance->refusal;
      return planned;
    }
    if (planned.advance->forces()) planned.view.Force(planned.advance->forcedOffset(), kHeaderTerminator);
  }
  planned.scan = ScanTable(planned.view);
  planned.plan = PlanRepair(planned.view, planned.scan);
  planned.refusal = PlanRefusal(planned.plan);
  return planned;
}

}  // namespace drelin
