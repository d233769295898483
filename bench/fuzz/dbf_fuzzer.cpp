// Fuzzes Normal and Advance repair and both preview readers with arbitrary
// bytes. Invariants: the output is byte for byte what the literal reference
// model writes (so bytes 32 up to the source length are the source's, the
// length is the algorithm's, and the header fields are an independent
// recount); both refuse the same inputs; the grid-filling and the lazy
// preview both equal the reference reader's grid. Crashes, hangs and leaks
// are libFuzzer's to catch.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "DbfLayout.h"
#include "DbfRepairEngine.h"
#include "FileError.h"
#include "MemoryFileIo.h"
#include "PreviewTable.h"
#include "ReferenceModel.h"

namespace {

using drelin::testing::Bytes;

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
  }
}

class GridRecorder : public drelin::PreviewGrid {
 public:
  void InsertColumn(int index, const std::string& title, drelin::ColumnAlignment, int width) override {
    Check(index == static_cast<int>(grid.columns.size()), "columns in order");
    grid.columns.push_back({title, width});
  }
  void InsertRow(uint64_t row, const std::string& text) override {
    Check(row == grid.rows.size(), "rows in order");
    grid.rows.emplace_back(grid.columns.size());
    grid.rows.back()[0] = text;
  }
  void SetCell(uint64_t row, int column, const std::string& text) override {
    Check(row < grid.rows.size() && column > 0 && static_cast<size_t>(column) < grid.columns.size(),
          "cell inside the grid");
    grid.rows[row][static_cast<size_t>(column)] = text;
  }
  drelin::testing::ReferenceGrid grid;
};

bool SameGrid(const drelin::testing::ReferenceGrid& a, const drelin::testing::ReferenceGrid& b) {
  if (a.columns.size() != b.columns.size() || a.rows != b.rows) return false;
  for (size_t i = 0; i < a.columns.size(); ++i) {
    if (a.columns[i].title != b.columns[i].title || a.columns[i].width != b.columns[i].width) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Bytes source(data, data + size);
  drelin::testing::MemoryFileIo io;
  io.files["in.dbf"] = source;
  drelin::DbfRepairEngine engine(io);

  for (int mode : {drelin::kRepairNormal, drelin::kRepairAdvance}) {
    io.files.erase("out.dbf");
    const auto expected = drelin::testing::ReferenceRepair(source, mode);
    bool repaired = false;
    try {
      repaired = engine.Repair("in.dbf", "out.dbf", mode);
    } catch (const drelin::FileError&) {
    }
    Check(repaired == expected.has_value(), "refuses exactly what the reference refuses");
    if (!repaired) {
      Check(io.files.count("out.dbf") == 0, "a refusal creates no output");
      continue;
    }
    const Bytes& out = io.files["out.dbf"];
    Check(out == *expected, "output equals the reference model's");
    if (mode == drelin::kRepairNormal) {
      Check(out.size() >= size && std::memcmp(out.data() + 32, data + 32, size - 32) == 0,
            "bytes after the header are the source's");
    }
  }
  Check(io.files["in.dbf"] == source, "the source is unchanged");

  const auto reference = drelin::testing::ReferencePreview(source);
  GridRecorder filled;
  engine.LoadPreview("in.dbf", filled);
  Check(SameGrid(filled.grid, reference), "LoadPreview equals the reference grid");

  const drelin::PreviewTable lazy(io, "in.dbf");
  Check(lazy.columnCount() == reference.columns.size(), "lazy column count");
  Check(lazy.rowCount() == reference.rows.size(), "lazy row count");
  for (size_t c = 0; c < lazy.columnCount(); ++c) {
    Check(lazy.columnTitle(c) == reference.columns[c].title, "lazy column title");
    Check(lazy.columnWidth(c) == reference.columns[c].width, "lazy column width");
  }
  for (uint64_t r = 0; r < lazy.rowCount(); ++r) {
    for (size_t c = 0; c < lazy.columnCount(); ++c) {
      Check(lazy.Cell(r, c) == reference.rows[r][c], "lazy cell");
    }
  }
  return 0;
}
