// RecordLayout: what a record of a table must look like, as its field
// descriptors say: where each field lies in the record, how long it is, and
// which fixed format (FieldFormats.h) its bytes must follow, if any; and
// how writers pad values. Record salvage judges candidate records by it.
#pragma once

#include <cstdint>
#include <vector>

#include "ByteSource.h"
#include "FieldFormats.h"
#include "TableScan.h"

namespace drelin {

struct LayoutField {
  uint32_t offset = 0;  // in the record; the deletion flag is byte 0
  uint8_t length = 0;
  uint8_t type = 0;     // the descriptor's type letter
  FieldFormat format = FieldFormat::kText;
};

struct RecordLayout {
  uint64_t recordLength = 1;
  std::vector<LayoutField> fields;  // fields of length 0 are left out
};

// Reads the descriptors the scan found. The scan must have found fields
// whose lengths add up to less than 65,535 bytes.
RecordLayout ReadRecordLayout(const ByteSource& source, const TableScan& scan);

// How many fields of `record` break the way dBASE writers pad values: text
// on the right (no leading blank before content, no content after a run of
// blanks), numbers on the left (no trailing blank after content), all text
// with one padding byte (blank or NUL; both in one record count once).
// Records read at a shifted alignment break it in nearly every field.
unsigned PaddingBreaks(const RecordLayout& layout, const uint8_t* record);

}  // namespace drelin
