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

// The repaired bytes, or nothing when the repair refuses the source (shorter
// than 32 bytes; Advance with a stored header length of 0).
std::optional<Bytes> ReferenceRepair(const Bytes& source, int mode);

struct ReferenceGrid {
  struct Column {
    std::string title;
    int width;
  };
  std::vector<Column> columns;
  // rows[r][c]; column 0 is the row number; cells never set are empty.
  std::vector<std::vector<std::string>> rows;
};

ReferenceGrid ReferencePreview(const Bytes& table);

}  // namespace drelin::testing
