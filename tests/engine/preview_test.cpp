// The preview grid of sound and damaged tables: columns, rows and cells as
// the grid-filling reader produces them (the random agreement test holds the
// lazy table to the same grid).
#include <gtest/gtest.h>

#include "DbfBuilder.h"
#include "EngineTestUtil.h"

namespace drelin::testing {
namespace {

using Rows = std::vector<std::vector<std::string>>;

ReferenceGrid PreviewBytes(const Bytes& table) {
  TempDir dir;
  WriteFile(dir / "t.dbf", table);
  RecordingGrid grid;
  DbfRepairEngine().LoadPreview(dir / "t.dbf", grid);
  return grid.grid;
}

TEST(Preview, SoundTableShowsEveryRecordWithOrWithoutEndOfFile) {
  DbfBuilder table;
  table.Field("NAME_TEN_C", 'C', 20).Field("QTY", 'N', 4);
  table.Record({"apple", "12"}).Record({"pear", "7"}, true).Record({"plum", "1"});
  for (bool eof : {true, false}) {
    const ReferenceGrid grid = PreviewBytes(table.EndOfFileByte(eof).Build());
    ASSERT_EQ(grid.columns.size(), 3u);
    EXPECT_EQ(grid.columns[0].title, "Index");
    EXPECT_EQ(grid.columns[0].width, 100);
    EXPECT_EQ(grid.columns[1].title, "NAME_TEN_C");
    EXPECT_EQ(grid.columns[1].width, 200);
    // Deleted records show like active ones; trailing blanks are kept.
    EXPECT_EQ(grid.rows, (Rows{{"1", "apple" + std::string(15, ' '), "12  "},
                               {"2", "pear" + std::string(16, ' '), "7   "},
                               {"3", "plum" + std::string(16, ' '), "1   "}}));
  }
}

TEST(Preview, CellEdgeCases) {
  DbfBuilder empty;
  empty.Field("A", 'C', 3);
  EXPECT_EQ(PreviewBytes(empty.Build()).rows, (Rows{{"1", ""}}));

  DbfBuilder zero;
  zero.Field("A", 'C', 6).Record({std::string("ab\0cd", 5)});
  EXPECT_EQ(PreviewBytes(zero.Build()).rows, (Rows{{"1", "ab"}}));

  DbfBuilder deletedFirst;
  deletedFirst.Field("A", 'C', 2).Record({"x1"}, true).Record({"x2"});
  EXPECT_EQ(PreviewBytes(deletedFirst.Build()).rows, (Rows{{"1", "x1"}, {"2", "x2"}}));

  // A field cut short by the end of the file shows only the bytes in it; the
  // fields after it stay empty.
  DbfBuilder cut;
  cut.Field("A", 'C', 6).Field("B", 'C', 4).Record({"first", "one"}).Record({"second", "two"});
  Bytes bytes = cut.EndOfFileByte(false).Build();
  bytes.resize(bytes.size() - 4 - 3);
  EXPECT_EQ(PreviewBytes(bytes).rows, (Rows{{"1", "first ", "one "}, {"2", "sec", ""}}));
}

// Streamed through a small window, refilled at record starts, the last row
// shows only the bytes the final refill read, not what an earlier fill left
// further on in the window, wherever the end of the file cuts it.
TEST(Preview, SmallWindowCutsTheLastCellAtTheBytesRead) {
  DbfBuilder table;
  table.Field("A", 'C', 30).Field("B", 'C', 40);
  for (int i = 0; i < 20; ++i) table.Record({"a" + std::to_string(i) + "xxxxx", "b" + std::to_string(i) + "yyyyy"});
  const Bytes whole = table.EndOfFileByte(false).Build();
  TempDir dir;
  for (size_t cut = 1; cut < table.recordLength(); ++cut) {
    const Bytes bytes(whole.begin(), whole.end() - static_cast<long>(cut));
    WriteFile(dir / "t.dbf", bytes);
    for (size_t window : {256, 300}) {
      const PreviewTable preview(SystemFileIo(), dir / "t.dbf", window);
      EXPECT_EQ(StreamedRows(preview), ReferencePreview(bytes)->rows) << cut << " " << window;
    }
  }
}

TEST(Preview, TablesWithoutFieldsOrWithAPartialDescriptor) {
  Bytes flags(32, 0);
  flags.push_back(0x0D);
  flags.insert(flags.end(), 5, 0x20);
  ReferenceGrid grid = PreviewBytes(flags);
  EXPECT_EQ(grid.columns.size(), 1u);
  EXPECT_EQ(grid.rows, (Rows{{"1"}, {"2"}, {"3"}, {"4"}, {"5"}}));
  flags.resize(33);  // no records at all: still row "1"
  EXPECT_EQ(PreviewBytes(flags).rows, (Rows{{"1"}}));

  Bytes partial(32, 0);
  const std::string name = "LONGNAME";
  partial.insert(partial.end(), name.begin(), name.end());  // 8 bytes, no length byte
  grid = PreviewBytes(partial);
  ASSERT_EQ(grid.columns.size(), 2u);
  EXPECT_EQ(grid.columns[1].title, "LONGNAME");
  EXPECT_EQ(grid.columns[1].width, 100);
}

TEST(Preview, LazyTableCountsRowsAndReadsTheLastOne) {
  DbfBuilder table;
  table.Field("N", 'N', 3);
  for (int i = 0; i < 1000; ++i) table.Record({std::to_string(i)});
  TempDir dir;
  WriteFile(dir / "t.dbf", table.Build());
  const PreviewTable lazy(SystemFileIo(), dir / "t.dbf");
  EXPECT_EQ(lazy.rowCount(), 1000u);
  EXPECT_EQ(lazy.Cell(999, 0), "1000");
  EXPECT_EQ(lazy.Cell(999, 1), "999");
  EXPECT_EQ(lazy.Cell(1000, 1), "");
}

}  // namespace
}  // namespace drelin::testing
