// Fuzzes Normal and Advance repair and both preview readers with arbitrary
// bytes. Invariants: the output is byte for byte what the literal reference
// model writes (so bytes 32 up to the source length are the source's, the
// length is the algorithm's, and the header fields are an independent
// recount); both refuse the same inputs, and a refusal creates nothing;
// Advance repair writes Normal repair's output or changes only the byte at
// H - 1, a descriptor block start inside the source, and never adds records
// Normal repair's walk would not; the version byte written is 3 or the
// source's memo version (0x83, 0x8B, 0xF5), never another; the grid-filling
// preview, the lazy table and rows streamed through a small window all equal
// the reference reader's grid, and the last two its deleted rows. Crashes, hangs and leaks are libFuzzer's to catch.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "DbfLayout.h"
#include "DbfRepairEngine.h"
#include "FileError.h"
#include "FuzzCheck.h"
#include "MemoryFileIo.h"
#include "PreviewTable.h"
#include "ReferenceModel.h"

namespace {

using drelin::testing::Bytes;

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

// Advance repair's output against Normal repair's: the same, or the same
// source with 0x0D at H - 1 and nothing more after the header.
void CheckAdvance(const Bytes& source, const Bytes* normal, const Bytes& advance) {
  if (normal && advance == *normal) return;
  const uint64_t stored = source[8] | (source[9] << 8);
  Check(stored >= 33 && stored - 1 < source.size() && (stored - 1) % 32 == 0,
        "Advance forces a terminator only at a block start inside the source");
  Check(advance.size() >= source.size() && advance[stored - 1] == 0x0D, "the forced terminator is written");
  for (size_t i = 32; i < source.size(); ++i) {
    Check(advance[i] == source[i] || i == stored - 1, "Advance changes no other source byte");
  }
  Check(advance.size() <= source.size() + 256, "Advance invents no records past the end");
}

bool SameRows(const drelin::PreviewTable& table, const drelin::testing::ReferenceGrid& reference) {
  bool same = table.rowCount() == reference.rows.size();
  table.ForEachRow(0, table.rowCount(), [&](uint64_t row, const std::string_view* cells, size_t set,
                                            bool deleted) {
    same = same && deleted == reference.deleted[row];
    for (size_t c = 1; same && c < table.columnCount(); ++c) {
      same = (c <= set ? std::string(cells[c - 1]) : std::string()) == reference.rows[row][c];
    }
  });
  return same;
}

// The version byte written: 3, or the source's own when it is a memo
// version (0x83, 0x8B, 0xF5); never any other.
bool VersionKeptOnlyForMemo(const Bytes& source, const Bytes& out) {
  return out[0] == 3 || (out[0] == source[0] && (source[0] == 0x83 || source[0] == 0x8B || source[0] == 0xF5));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Bytes source(data, data + size);
  drelin::testing::MemoryFileIo io;
  io.files["in.dbf"] = source;
  drelin::DbfRepairEngine engine(io);

  std::optional<Bytes> normal;
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
    Check(VersionKeptOnlyForMemo(source, out), "the version byte is 3 or the source's memo version");
    if (mode == drelin::kRepairNormal) {
      Check(out.size() >= size && std::memcmp(out.data() + 32, data + 32, size - 32) == 0,
            "bytes after the header are the source's");
      normal = out;
    } else {
      CheckAdvance(source, normal ? &*normal : nullptr, out);
    }
  }
  Check(io.files["in.dbf"] == source, "the source is unchanged");

  const auto reference = drelin::testing::ReferencePreview(source);
  GridRecorder filled;
  try {
    engine.LoadPreview("in.dbf", filled);
  } catch (const drelin::FileError&) {
    Check(!reference, "the preview refuses only what the reference refuses");
    return 0;
  }
  Check(reference.has_value(), "the preview refuses what the reference refuses");
  Check(SameGrid(filled.grid, *reference), "LoadPreview equals the reference grid");

  const drelin::PreviewTable lazy(io, "in.dbf");
  Check(lazy.columnCount() == reference->columns.size(), "lazy column count");
  Check(lazy.rowCount() == reference->rows.size(), "lazy row count");
  for (size_t c = 0; c < lazy.columnCount(); ++c) {
    Check(lazy.columnTitle(c) == reference->columns[c].title, "lazy column title");
    Check(lazy.columnWidth(c) == reference->columns[c].width, "lazy column width");
  }
  for (uint64_t r = 0; r < lazy.rowCount(); ++r) {
    for (size_t c = 0; c < lazy.columnCount(); ++c) {
      Check(lazy.Cell(r, c) == reference->rows[r][c], "lazy cell");
    }
    Check(lazy.Deleted(r) == reference->deleted[r], "lazy deleted flag");
  }
  const drelin::PreviewTable windowed(io, "in.dbf", drelin::PreviewTable::kMinWindowSize);
  Check(SameRows(windowed, *reference), "rows streamed through a small window");
  return 0;
}
