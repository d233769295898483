// The preview grid: columns, rows and cells of sound and damaged tables, the
// same from the grid-filling reader and from the lazy table.
#include <gtest/gtest.h>

#include "DbfBuilder.h"
#include "EngineTestUtil.h"

namespace drelin::testing {
namespace {

struct Previews {
  ReferenceGrid filled;
  ReferenceGrid lazy;
  uint64_t rowCount;
};

Previews PreviewBytes(const Bytes& table) {
  TempDir dir;
  WriteFile(dir / "t.dbf", table);
  Previews result;
  RecordingGrid grid;
  DbfRepairEngine().LoadPreview(dir / "t.dbf", grid);
  result.filled = grid.grid;
  const PreviewTable lazy(SystemFileIo(), dir / "t.dbf");
  result.lazy = LazyGrid(lazy);
  result.rowCount = lazy.rowCount();
  return result;
}

void ExpectSame(const ReferenceGrid& a, const ReferenceGrid& b) {
  EXPECT_EQ(a.columns, b.columns);
  EXPECT_EQ(a.rows, b.rows);
}

TEST(Preview, SoundTableShowsEveryRecordWithOrWithoutEndOfFile) {
  DbfBuilder table;
  table.Field("NAME_TEN_C", 'C', 20).Field("QTY", 'N', 4);
  table.Record({"apple", "12"}).Record({"pear", "7"}, true).Record({"plum", "1"});
  for (bool eof : {true, false}) {
    const Previews p = PreviewBytes(table.EndOfFileByte(eof).Build());
    ExpectSame(p.filled, p.lazy);
    ASSERT_EQ(p.filled.columns.size(), 3u);
    EXPECT_EQ(p.filled.columns[0].title, "Index");
    EXPECT_EQ(p.filled.columns[0].width, 100);
    EXPECT_EQ(p.filled.columns[1].title, "NAME_TEN_C");
    EXPECT_EQ(p.filled.columns[1].width, 200);
    ASSERT_EQ(p.filled.rows.size(), 3u);
    // Deleted records show like active ones; trailing blanks are kept.
    EXPECT_EQ(p.filled.rows[1], (std::vector<std::string>{"2", "pear" + std::string(16, ' '), "7   "}));
    EXPECT_EQ(p.filled.rows[2][0], "3");
  }
}

TEST(Preview, EmptyTableHasOneEmptyRow) {
  DbfBuilder table;
  table.Field("A", 'C', 3);
  const Previews p = PreviewBytes(table.Build());
  ExpectSame(p.filled, p.lazy);
  EXPECT_EQ(p.filled.rows, (std::vector<std::vector<std::string>>{{"1", ""}}));
}

TEST(Preview, CutFieldShowsOnlyTheBytesInTheFile) {
  DbfBuilder table;
  table.Field("A", 'C', 6).Field("B", 'C', 4).Record({"first", "one"}).Record({"second", "two"});
  Bytes bytes = table.EndOfFileByte(false).Build();
  bytes.resize(bytes.size() - 4 - 3);  // cut inside A of the second record
  const Previews p = PreviewBytes(bytes);
  ExpectSame(p.filled, p.lazy);
  ASSERT_EQ(p.filled.rows.size(), 2u);
  EXPECT_EQ(p.filled.rows[1], (std::vector<std::string>{"2", "sec", ""}));
}

TEST(Preview, ZeroByteEndsACell) {
  DbfBuilder table;
  table.Field("A", 'C', 6).Record({std::string("ab\0cd", 5)});
  const Previews p = PreviewBytes(table.Build());
  EXPECT_EQ(p.filled.rows[0][1], "ab");
  ExpectSame(p.filled, p.lazy);
}

TEST(Preview, DeletedFirstRecordIsFoundAfterTheTerminator) {
  DbfBuilder table;
  table.Field("A", 'C', 2).Record({"x1"}, true).Record({"x2"});
  const Previews p = PreviewBytes(table.Build());
  ASSERT_EQ(p.filled.rows.size(), 2u);
  EXPECT_EQ(p.filled.rows[0][1], "x1");
  EXPECT_EQ(p.filled.rows[1][1], "x2");
}

TEST(Preview, NoFieldsShowsOneRowPerFlag) {
  Bytes bytes(32, 0);
  bytes.push_back(0x0D);
  bytes.insert(bytes.end(), 5, 0x20);
  Previews p = PreviewBytes(bytes);
  ExpectSame(p.filled, p.lazy);
  EXPECT_EQ(p.filled.columns.size(), 1u);
  ASSERT_EQ(p.filled.rows.size(), 5u);
  EXPECT_EQ(p.filled.rows[4], std::vector<std::string>{"5"});

  bytes.resize(33);  // no records at all: still row "1"
  p = PreviewBytes(bytes);
  EXPECT_EQ(p.filled.rows, std::vector<std::vector<std::string>>{{"1"}});
}

TEST(Preview, PartialDescriptorBlockReadsMissingBytesAsZero) {
  Bytes bytes(32, 0);
  const std::string name = "LONGNAME";
  bytes.insert(bytes.end(), name.begin(), name.end());  // a block of 8 bytes, no length byte
  const Previews p = PreviewBytes(bytes);
  ExpectSame(p.filled, p.lazy);
  ASSERT_EQ(p.filled.columns.size(), 2u);
  EXPECT_EQ(p.filled.columns[1].title, "LONGNAME");
  EXPECT_EQ(p.filled.columns[1].width, 100);
}

TEST(Preview, LazyRowsAgreeWithTheFilledGridToTheLastRow) {
  DbfBuilder table;
  table.Field("N", 'N', 3);
  for (int i = 0; i < 1000; ++i) table.Record({std::to_string(i)});
  const Previews p = PreviewBytes(table.Build());
  EXPECT_EQ(p.rowCount, 1000u);
  EXPECT_EQ(p.lazy.rows[999], (std::vector<std::string>{"1000", "999"}));
  ExpectSame(p.filled, p.lazy);
}

}  // namespace
}  // namespace drelin::testing
