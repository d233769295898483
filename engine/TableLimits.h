// TableLimits: what a dBASE III table can describe. Its header records the
// header length and the record length in 16 bits and every offset in 32, so a
// source shorter than a header, or one whose repaired output would need a
// larger number than the format holds, is refused rather than written with
// numbers cut short. The repairs, the preview reader and the diagnosis all
// ask here, so they refuse the same tables with the same words.
#pragma once

#include <cstdint>
#include <string>

#include "RepairPlan.h"

namespace drelin {

// The largest header length and record length the header can record.
constexpr uint64_t kMaxHeaderNumber = 0xFFFF;

// Why a source of `length` bytes is no table at all (too short to hold a
// header, too long for 32-bit offsets); empty when it may be one.
std::string SourceLengthRefusal(uint64_t length);

// Why `plan` cannot be written faithfully (a header or record length over
// 65,535, an output over 4 GiB - 1 bytes); empty when it can.
std::string PlanRefusal(const RepairPlan& plan);

// Throws FileError naming `path` when SourceLengthRefusal has a reason.
void CheckSourceLength(const std::string& path, uint64_t length);

}  // namespace drelin
