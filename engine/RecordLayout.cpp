#include "RecordLayout.h"

#include <algorithm>
#include <vector>

#include "DbfLayout.h"

namespace drelin {

namespace {

FieldFormat FormatOf(uint8_t type, uint8_t length) {
  switch (type) {
    case 'N':
    case 'F':
      return FieldFormat::kNumber;
    case 'D':
      return length == 8 ? FieldFormat::kDate : FieldFormat::kText;
    case 'L':
      return length == 1 ? FieldFormat::kLogical : FieldFormat::kText;
    case 'M':
    case 'B':
    case 'G':
      return length == 10 ? FieldFormat::kMemo : FieldFormat::kText;
    default:
      return FieldFormat::kText;
  }
}

}  // namespace

RecordLayout ReadRecordLayout(const ByteSource& source, const TableScan& scan) {
  RecordLayout layout;
  layout.recordLength = scan.recordLength();
  uint32_t offset = 1;
  constexpr uint64_t kBlocksPerRead = 1024;
  std::vector<uint8_t> blocks(kBlocksPerRead * DbfFieldDescriptor::kSize);
  for (uint64_t first = 0; first < scan.fieldCount; first += kBlocksPerRead) {
    const uint64_t count = std::min(kBlocksPerRead, scan.fieldCount - first);
    const size_t want = static_cast<size_t>(count * DbfFieldDescriptor::kSize);
    const size_t got = source.Read(DbfHeader::kSize + first * DbfFieldDescriptor::kSize, blocks.data(), want);
    std::fill(blocks.begin() + static_cast<std::ptrdiff_t>(got), blocks.end(), 0);
    for (uint64_t k = 0; k < count; ++k) {
      const uint8_t* block = blocks.data() + k * DbfFieldDescriptor::kSize;
      const uint8_t length = block[DbfFieldDescriptor::kLengthOffset];
      if (length == 0) continue;
      const uint8_t type = block[DbfFieldDescriptor::kTypeOffset];
      layout.fields.push_back({offset, length, type, FormatOf(type, length)});
      offset += length;
    }
  }
  return layout;
}

unsigned PaddingBreaks(const RecordLayout& layout, const uint8_t* record) {
  unsigned breaks = 0;
  // Writers pad every text value with the same byte: blank or NUL. Zeros
  // written over a record show as NUL where the others hold blanks.
  bool blankPadding = false;
  bool nulPadding = false;
  for (const LayoutField& field : layout.fields) {
    const uint8_t* value = record + field.offset;
    const uint8_t* end = value + field.length;
    if (field.format == FieldFormat::kText) {
      for (const uint8_t* at = end; at != value && IsBlankByte(at[-1]); --at) {
        blankPadding |= at[-1] == ' ';
        nulPadding |= at[-1] == 0;
      }
    }
    const uint8_t* content = std::find_if(value, end, [](uint8_t b) { return !IsBlankByte(b); });
    if (content == end || field.length < 2) continue;
    if (field.format == FieldFormat::kNumber) {
      breaks += IsBlankByte(end[-1]) ? 1 : 0;
    } else if (field.format == FieldFormat::kText) {
      bool brokenRun = content != value;
      for (const uint8_t* at = content; !brokenRun && at + 2 < end; ++at) {
        brokenRun = IsBlankByte(at[0]) && IsBlankByte(at[1]) && !IsBlankByte(at[2]);
      }
      breaks += brokenRun ? 1 : 0;
    }
  }
  return breaks + (blankPadding && nulPadding ? 1 : 0);
}

}  // namespace drelin
