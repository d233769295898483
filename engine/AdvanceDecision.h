// AdvanceDecision: what Advance repair may do with the stored header length
// H, decided before anything is written. Advance repair exists to restore a
// lost header terminator where H says the header ends; it must never invent
// records past the end or put a terminator over data. The rules, in order:
//   1. Normal repair's scan finds the terminator at T < H - 1: it is intact,
//      and Advance repair writes exactly what Normal repair writes.
//   2. H < 33, H - 1 at or past the end of the source, or H - 1 no block
//      start (a terminator only stands at 32 + 32n): refused.
//   3. The 32 bytes at H - 1 are a well-formed field descriptor: refused.
//   4. Otherwise 0x0D is forced at H - 1 (a no-op when it stands there).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "ByteSource.h"

namespace drelin {

enum class AdvanceRule {
  kTerminatorBefore,  // rule 1: H is not used
  kRefused,           // rules 2 and 3
  kTerminatorAgrees,  // rule 4 with 0x0D already at H - 1: nothing changes
  kTerminatorForced,  // rule 4: 0x0D replaces another byte at H - 1
};

struct AdvanceDecision {
  AdvanceRule rule = AdvanceRule::kRefused;
  uint16_t storedHeaderLength = 0;
  // kTerminatorBefore: where Normal repair's scan finds the terminator.
  std::optional<uint64_t> terminatorOffset;
  std::string refusal;  // kRefused: why, naming H

  uint64_t forcedOffset() const { return storedHeaderLength - 1u; }
  // The view Advance repair reads differs from the source.
  bool forces() const { return rule == AdvanceRule::kTerminatorForced; }
};

// Reads the stored header length and at most the descriptor area before it.
AdvanceDecision DecideAdvance(const ByteSource& source);

// A name of 1 to 11 ASCII letters, digits or underscores padded with NULs,
// then a field-type letter at offset 11.
bool IsWellFormedDescriptor(const uint8_t* block);

}  // namespace drelin
