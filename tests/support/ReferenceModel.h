// ReferenceModel: the repair and the preview done the slow, literal way, one
// step at a time over bytes in memory, exactly as the algorithm is written
// out (field by field, a byte at a time). The fast engine must agree with it
// byte for byte on every input; tests and the fuzzer check that it does.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace drelin::testing {

using Bytes = std::vector<uint8_t>;

// The repaired bytes, or nothing when the repair refuses the source: shorter
// than 32 bytes; a header or record length over 65,535 or an output over
// 4 GiB - 1 bytes; Advance repair with a stored header length that cannot
// mark the header's end. Advance repair's rules, in order: a terminator
// found before H - 1 makes it Normal repair; H under 33, H - 1 at or past
// the end or off a block start, or a field descriptor at H - 1, refuse it;
// else 0x0D is put at H - 1 and Normal repair runs on that. The version
// byte written is 3, or the source's memo version (0x83, 0x8B, 0xF5) when
// a descriptor the scan read has a memo type (M; FoxPro's G or P too).
std::optional<Bytes> ReferenceRepair(const Bytes& source, int mode);

struct ReferenceGrid {
  struct Column {
    std::string title;
    int width;
  };
  std::vector<Column> columns;
  // rows[r][c]; column 0 is the row number; cells never set are empty.
  std::vector<std::vector<std::string>> rows;
  // deleted[r]: row r's record flag is other than 0x20.
  std::vector<bool> deleted;
};

// The grid, or nothing for a source the repair refuses for its length.
std::optional<ReferenceGrid> ReferencePreview(const Bytes& table);

}  // namespace drelin::testing
