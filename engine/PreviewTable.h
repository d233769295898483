// PreviewTable: a table opened for preview and answered lazily. The column
// list, the row count and any cell are computed from the layout on demand,
// without a pass over the records, so a table of tens of millions of
// records opens at once and memory does not grow with the record count.
//
// Its content is the grid the preview reader fills: column 0 "Index" (100
// pixels) with the row number from 1, then one column per field titled with
// the field's name, 5 * length + 100 pixels wide; one row per record, at
// least one; a field's cell is its bytes up to the first zero byte, only the
// bytes the file holds, and empty when the record ends before the field.
// Deleted records show like active ones; each row tells whether its record's
// flag marks it deleted, for readers that mark or hide them. A file no repair would take as a
// table (under 32 bytes, over 4 GiB - 1) is refused as the repair refuses it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ByteSource.h"
#include "File.h"
#include "FileIo.h"
#include "TableScan.h"

namespace drelin {

class PreviewTable {
 public:
  static constexpr int kIndexColumnWidth = 100;
  static constexpr const char* kIndexColumnTitle = "Index";
  // ForEachRow reads through a window of this many bytes; at least 256, so
  // a field (at most 255 bytes) always fits.
  static constexpr size_t kDefaultWindowSize = 1 << 20;
  static constexpr size_t kMinWindowSize = 256;

  // Opens and scans the table; a FileError when it cannot be opened or read,
  // or is refused.
  PreviewTable(FileIo& io, const std::string& path, size_t windowSize = kDefaultWindowSize);
  PreviewTable(const PreviewTable&) = delete;
  PreviewTable& operator=(const PreviewTable&) = delete;

  const std::string& path() const { return file_.path(); }
  const TableScan& scan() const { return scan_; }

  size_t columnCount() const { return lengths_.size() + 1; }
  // "Index" for column 0, else the field's name bytes.
  std::string columnTitle(size_t column) const;
  int columnWidth(size_t column) const;
  uint8_t fieldLength(size_t field) const { return lengths_[field]; }
  uint64_t rowCount() const { return rowCount_; }

  // The cell's bytes; column 0 is the row number in decimal.
  std::string Cell(uint64_t row, size_t column) const;
  // Whether the row's record flag marks it deleted (never for the one row of
  // a table without records).
  bool Deleted(uint64_t row) const;

  // Streams rows [first, first + count) in order, the fast way to read many.
  // `cells` holds the fields that start inside the file (the cells the
  // reader sets), in column order from column 1; the rest of the row is
  // empty; `deleted` is Deleted(row). The views are valid only during the
  // call.
  using RowVisitor = std::function<void(uint64_t row, const std::string_view* cells,
                                        size_t setCells, bool deleted)>;
  void ForEachRow(uint64_t first, uint64_t count, const RowVisitor& visit) const;

 private:
  uint64_t FieldOffset(size_t field) const;

  File file_;
  ByteSource source_;
  TableScan scan_;
  std::vector<uint8_t> lengths_;
  // Sum of the lengths before every 64th field, so any field's offset in a
  // record takes at most 63 additions.
  std::vector<uint64_t> prefixEvery64_;
  uint64_t rowCount_ = 1;
  size_t windowSize_;
};

}  // namespace drelin
