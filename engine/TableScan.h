// TableScan: what the descriptor scan and the first-record search find in a
// table. The repairs, the preview and the diagnosis all start from it, so
// they agree on where the header ends and the records begin.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "ByteSource.h"

namespace drelin {

struct TableScan {
  uint64_t length = 0;        // bytes in the (possibly forced) source
  uint64_t fieldCount = 0;    // descriptor blocks before the terminator
  uint64_t lengthSum = 0;     // sum of the field lengths
  uint8_t lastFieldLength = 0;
  // Field types found among the descriptors: M, and FoxPro's G or P.
  bool memoTypeM = false;
  bool memoTypeGP = false;
  // Offset of the terminator block; empty when the blocks ran to the end.
  std::optional<uint64_t> terminatorOffset;
  // Where the records begin: the first record flag (0x20 or 0x2A) at or after
  // the terminator, the end of the source when there is none, or the end of
  // the last descriptor block when there is no terminator. A repair writes it
  // as the header length.
  uint64_t firstRecordOffset = 0;

  bool firstRecordFound() const { return terminatorOffset && firstRecordOffset < length; }
  uint64_t recordLength() const { return lengthSum + 1; }
};

// The version byte a repair writes for a source whose version byte is
// `sourceVersion`: a memo version (0x83, 0x8B, 0xF5) is kept when the
// descriptors hold a field of the memo file (M; for FoxPro also G or P), so
// readers still find the memo file; every other table gets 3.
uint8_t RepairedVersion(uint8_t sourceVersion, const TableScan& scan);

// Called with each descriptor's offset and field length, in order. A block
// cut short by the end of the source reads its missing bytes as zero.
using FieldVisitor = std::function<void(uint64_t offset, uint8_t length)>;

// Scans the descriptor blocks at 32, 64, ... while they start inside the
// source, stopping at the first whose byte 0 is the terminator; then finds
// the first record flag from the terminator on.
TableScan ScanTable(const ByteSource& source, const FieldVisitor& onField = nullptr);

// The first block below `end` whose byte 0 is the terminator, as the scan
// would find it; a walk of the descriptor area only, however long the file.
std::optional<uint64_t> FindTerminator(const ByteSource& source, uint64_t end);

// Calls `visit` with each field length in descriptor order until it returns
// false. For the rare walks that need more than the scan's totals, without
// holding every length in memory.
void ForEachFieldLength(const ByteSource& source, const TableScan& scan,
                        const std::function<bool(uint8_t length)>& visit);

}  // namespace drelin
