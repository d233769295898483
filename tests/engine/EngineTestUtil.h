// Shared by the engine tests: run a repair or a preview over bytes held in
// memory, through real files in a temporary folder.
#pragma once

#include <string>

#include "DbfRepairEngine.h"
#include "PreviewTable.h"
#include "ReferenceModel.h"
#include "TempDir.h"

namespace drelin::testing {

inline Bytes RepairBytes(const Bytes& source, int mode = kRepairNormal) {
  TempDir dir;
  WriteFile(dir / "in.dbf", source);
  DbfRepairEngine engine;
  engine.Repair(dir / "in.dbf", dir / "out.dbf", mode);
  return ReadFile(dir / "out.dbf");
}

inline uint32_t Le32(const Bytes& bytes, size_t at) {
  return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
         (static_cast<uint32_t>(bytes[at + 3]) << 24);
}
inline uint16_t Le16(const Bytes& bytes, size_t at) {
  return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

// A grid that records what the preview reader puts into it.
class RecordingGrid : public PreviewGrid {
 public:
  void InsertColumn(int index, const std::string& title, ColumnAlignment alignment,
                    int width) override {
    if (index != static_cast<int>(grid.columns.size())) throw std::logic_error("column out of order");
    if (alignment != ColumnAlignment::kLeft) throw std::logic_error("not left-aligned");
    grid.columns.push_back({title, width});
  }
  void InsertRow(uint64_t row, const std::string& text) override {
    if (row != grid.rows.size()) throw std::logic_error("row out of order");
    grid.rows.emplace_back(grid.columns.size());
    grid.rows.back()[0] = text;
  }
  void SetCell(uint64_t row, int column, const std::string& text) override {
    grid.rows.at(row).at(static_cast<size_t>(column)) = text;
  }
  ReferenceGrid grid;
};

// Every column and cell of the lazy table, as a grid.
inline ReferenceGrid LazyGrid(const PreviewTable& table) {
  ReferenceGrid grid;
  for (size_t c = 0; c < table.columnCount(); ++c) {
    grid.columns.push_back({table.columnTitle(c), table.columnWidth(c)});
  }
  for (uint64_t r = 0; r < table.rowCount(); ++r) {
    grid.rows.emplace_back(table.columnCount());
    for (size_t c = 0; c < table.columnCount(); ++c) grid.rows.back()[c] = table.Cell(r, c);
    grid.deleted.push_back(table.Deleted(r));
  }
  return grid;
}

// Every row as ForEachRow streams it, and whether each is deleted.
inline std::vector<std::vector<std::string>> StreamedRows(const PreviewTable& table,
                                                          std::vector<bool>* deleted = nullptr) {
  std::vector<std::vector<std::string>> rows;
  table.ForEachRow(0, table.rowCount(),
                   [&](uint64_t row, const std::string_view* cells, size_t set, bool isDeleted) {
                     rows.emplace_back(table.columnCount());
                     rows.back()[0] = std::to_string(row + 1);
                     for (size_t k = 0; k < set; ++k) rows.back()[k + 1] = std::string(cells[k]);
                     if (deleted) deleted->push_back(isDeleted);
                   });
  return rows;
}

inline bool operator==(const ReferenceGrid::Column& a, const ReferenceGrid::Column& b) {
  return a.title == b.title && a.width == b.width;
}

}  // namespace drelin::testing
