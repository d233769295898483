#include "TableScan.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "DbfLayout.h"

namespace drelin {

namespace {

// Descriptor and flag scans read this much at a time (a multiple of 32).
constexpr size_t kScanChunk = 1 << 20;

// Walks the descriptor blocks from offset 32 up to `end` (exclusive), calling
// `block` with each block's offset and its 32 bytes (missing bytes zero).
// Stops early when `block` returns false.
template <typename Visit>
void WalkBlocks(const ByteSource& source, uint64_t end, Visit&& block) {
  if (end <= DbfHeader::kSize) return;
  const uint64_t span = (end - DbfHeader::kSize + 31) / 32 * 32;
  std::vector<uint8_t> buffer(static_cast<size_t>(std::min<uint64_t>(kScanChunk, span)));
  uint64_t offset = DbfHeader::kSize;
  while (offset < end) {
    const size_t want = static_cast<size_t>(std::min<uint64_t>(buffer.size(), end - offset + 31) / 32 * 32);
    const size_t got = source.Read(offset, buffer.data(), want);
    std::memset(buffer.data() + got, 0, want - got);
    for (size_t at = 0; at < want && offset < end; at += 32, offset += 32) {
      if (!block(offset, buffer.data() + at)) return;
    }
  }
}

}  // namespace

TableScan ScanTable(const ByteSource& source, const FieldVisitor& onField) {
  TableScan scan;
  scan.length = source.length();
  const uint64_t length = scan.length;

  uint64_t next = DbfHeader::kSize;
  WalkBlocks(source, length, [&](uint64_t offset, const uint8_t* block) {
    next = offset + 32;
    if (block[0] == kHeaderTerminator) {
      scan.terminatorOffset = offset;
      return false;
    }
    // The length byte lies inside the block; a block cut short before it
    // reads it as zero, like the rest of its missing bytes.
    const uint8_t fieldLength = block[DbfFieldDescriptor::kLengthOffset];
    ++scan.fieldCount;
    scan.lengthSum += fieldLength;
    scan.lastFieldLength = fieldLength;
    const uint8_t type = block[DbfFieldDescriptor::kTypeOffset];
    scan.memoTypeM = scan.memoTypeM || type == 'M';
    scan.memoTypeGP = scan.memoTypeGP || IsFoxProMemoType(type);
    if (onField) onField(offset, fieldLength);
    return true;
  });

  if (!scan.terminatorOffset) {
    // Blocks ran to the end: the header ends where the last block would.
    scan.firstRecordOffset = std::max<uint64_t>(next, DbfHeader::kSize);
    return scan;
  }

  // The first record starts at the first deletion flag from the terminator
  // on (the terminator itself never matches).
  uint64_t offset = *scan.terminatorOffset;
  std::vector<uint8_t> buffer(static_cast<size_t>(std::min<uint64_t>(kScanChunk, length - offset)));
  while (offset < length) {
    const size_t got = source.Read(offset, buffer.data(), buffer.size());
    const uint8_t* begin = buffer.data();
    const uint8_t* end = begin + got;
    const uint8_t* hit = std::find_if(begin, end, IsRecordFlag);
    if (hit != end) {
      scan.firstRecordOffset = offset + static_cast<uint64_t>(hit - begin);
      return scan;
    }
    offset += got;
  }
  scan.firstRecordOffset = length;
  return scan;
}

uint8_t RepairedVersion(uint8_t sourceVersion, const TableScan& scan) {
  if (!IsMemoVersion(sourceVersion)) return DbfHeader::kRepairedVersion;
  const bool memoField =
      scan.memoTypeM || (sourceVersion == kFoxProMemoVersion && scan.memoTypeGP);
  return memoField ? sourceVersion : DbfHeader::kRepairedVersion;
}

std::optional<uint64_t> FindTerminator(const ByteSource& source, uint64_t end) {
  std::optional<uint64_t> found;
  WalkBlocks(source, std::min(end, source.length()), [&](uint64_t offset, const uint8_t* block) {
    if (block[0] == kHeaderTerminator) found = offset;
    return !found;
  });
  return found;
}

void ForEachFieldLength(const ByteSource& source, const TableScan& scan,
                        const std::function<bool(uint8_t length)>& visit) {
  const uint64_t end = DbfHeader::kSize + scan.fieldCount * 32;
  WalkBlocks(source, end, [&](uint64_t, const uint8_t* block) {
    return visit(block[DbfFieldDescriptor::kLengthOffset]);
  });
}

}  // namespace drelin
