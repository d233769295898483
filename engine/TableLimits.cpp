#include "TableLimits.h"

#include "DbfLayout.h"
#include "FileError.h"

namespace drelin {

std::string SourceLengthRefusal(uint64_t length) {
  if (length < DbfHeader::kSize) return "too short to be a dBASE table";
  if (length > kMaxTableLength) return "too large to be a dBASE table (over 4 GiB)";
  return "";
}

std::string PlanRefusal(const RepairPlan& plan) {
  if (plan.headerLength > kMaxHeaderNumber) {
    return "the header would be " + std::to_string(plan.headerLength) +
           " bytes long, more than the 65535 a dBASE table can record";
  }
  if (plan.recordLength > kMaxHeaderNumber) {
    return "the records would be " + std::to_string(plan.recordLength) +
           " bytes long, more than the 65535 a dBASE table can record";
  }
  if (plan.outputLength() > kMaxTableLength) {
    return "the repaired table would be " + std::to_string(plan.outputLength()) +
           " bytes long, more than the 4294967295 a dBASE table can have";
  }
  return "";
}

void CheckSourceLength(const std::string& path, uint64_t length) {
  const std::string refusal = SourceLengthRefusal(length);
  if (!refusal.empty()) throw FileError(path, refusal);
}

}  // namespace drelin
