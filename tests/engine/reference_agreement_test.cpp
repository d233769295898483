// The fast engine against the literal reference model, over thousands of
// tables damaged at random: every repaired byte and every preview cell must
// agree.
#include <gtest/gtest.h>

#include <random>

#include "DbfBuilder.h"
#include "EngineTestUtil.h"
#include "FileError.h"

namespace drelin::testing {
namespace {

Bytes RandomDamagedTable(std::mt19937& random) {
  auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
  Bytes bytes;
  if (pick(0, 9) == 0) {
    bytes.resize(static_cast<size_t>(pick(0, 120)));
    for (auto& byte : bytes) byte = static_cast<uint8_t>(pick(0, 255));
    return bytes;
  }
  DbfBuilder table;
  // Now and then a memo table, whose version byte a repair may keep.
  const uint8_t versions[] = {0x03, 0x03, 0x83, 0x8B, 0xF5, 0x30};
  table.Version(versions[pick(0, 5)]);
  const int fields = pick(0, 5);
  for (int j = 0; j < fields; ++j) {
    const char types[] = {'C', 'C', 'N', 'M', 'G', 'P'};
    table.Field("F" + std::to_string(j), types[pick(0, 5)],
                static_cast<uint8_t>(pick(0, 3) == 0 ? 0 : pick(1, 12)));
  }
  const int records = pick(0, 3) == 0 ? pick(7, 40) : pick(0, 6);
  for (int r = 0; r < records; ++r) {
    std::vector<std::string> values;
    for (int j = 0; j < fields; ++j) {
      std::string value;
      for (int c = pick(0, 12); c > 0; --c) value.push_back(static_cast<char>(pick(0, 9) == 0 ? pick(0, 255) : pick('a', 'z')));
      values.push_back(value);
    }
    table.Record(values, pick(0, 3) == 0);
  }
  bytes = table.EndOfFileByte(pick(0, 1) == 1).Build();
  for (int damage = pick(1, 3); damage > 0; --damage) {
    switch (pick(0, 6)) {
      case 0:  // cut short
        bytes.resize(static_cast<size_t>(pick(0, static_cast<int>(bytes.size()))));
        break;
      case 1:  // flip bytes anywhere
        for (int n = pick(1, 4); n > 0 && !bytes.empty(); --n) {
          bytes[static_cast<size_t>(pick(0, static_cast<int>(bytes.size()) - 1))] = static_cast<uint8_t>(pick(0, 255));
        }
        break;
      case 2:  // lose the terminator
        if (bytes.size() > 32u + 32u * fields) bytes[32 + 32 * fields] = static_cast<uint8_t>(pick(0, 1) ? 0x0A : 0x20);
        break;
      case 3:  // a stored header length of anything, often one a terminator could end
        if (bytes.size() >= 10) {
          const int choices[] = {0, pick(1, 400), 33 + 32 * pick(0, 7), 65535};
          const int stored = choices[pick(0, 3)];
          bytes[8] = static_cast<uint8_t>(stored);
          bytes[9] = static_cast<uint8_t>(stored >> 8);
        }
        break;
      case 4:  // insert bytes
        for (int n = pick(1, 5); n > 0; --n) {
          bytes.insert(bytes.begin() + pick(0, static_cast<int>(bytes.size())), static_cast<uint8_t>(pick(0, 255)));
        }
        break;
      case 5:  // remove bytes
        for (int n = pick(1, 5); n > 0 && !bytes.empty(); --n) {
          bytes.erase(bytes.begin() + pick(0, static_cast<int>(bytes.size()) - 1));
        }
        break;
      default:  // put deletion flags and terminators in odd places
        for (int n = pick(1, 3); n > 0 && !bytes.empty(); --n) {
          const uint8_t marks[] = {0x0D, 0x20, 0x2A, 0x1A, 0x00};
          bytes[static_cast<size_t>(pick(0, static_cast<int>(bytes.size()) - 1))] = marks[pick(0, 4)];
        }
        break;
    }
  }
  return bytes;
}

TEST(ReferenceAgreement, RepairMatchesTheLiteralAlgorithmByteForByte) {
  std::mt19937 random(20261206);
  TempDir dir;
  DbfRepairEngine engine;
  for (int iteration = 0; iteration < 4000; ++iteration) {
    const Bytes source = RandomDamagedTable(random);
    WriteFile(dir / "in.dbf", source);
    for (int mode : {kRepairNormal, kRepairAdvance}) {
      const auto expected = ReferenceRepair(source, mode);
      std::remove((dir / "out.dbf").c_str());
      try {
        engine.Repair(dir / "in.dbf", dir / "out.dbf", mode);
        ASSERT_TRUE(expected) << "iteration " << iteration << " mode " << mode << ": accepted";
        ASSERT_EQ(ReadFile(dir / "out.dbf"), *expected) << "iteration " << iteration << " mode " << mode;
      } catch (const FileError& error) {
        ASSERT_FALSE(expected) << "iteration " << iteration << " mode " << mode << ": " << error.what();
      }
    }
    ASSERT_EQ(ReadFile(dir / "in.dbf"), source);
  }
}

// The grid-filling reader, the lazy table cell by cell, and rows streamed
// through a window of a few hundred bytes (refilled many times per table,
// with stale bytes left past what each refill reads) all give the literal
// reader's grid.
TEST(ReferenceAgreement, PreviewMatchesTheLiteralReaderCellForCell) {
  std::mt19937 random(6122026);
  TempDir dir;
  for (int iteration = 0; iteration < 3000; ++iteration) {
    const Bytes table = RandomDamagedTable(random);
    WriteFile(dir / "t.dbf", table);
    const auto expected = ReferencePreview(table);
    if (!expected) {
      RecordingGrid filled;
      ASSERT_THROW(DbfRepairEngine().LoadPreview(dir / "t.dbf", filled), FileError) << iteration;
      continue;
    }
    RecordingGrid filled;
    DbfRepairEngine().LoadPreview(dir / "t.dbf", filled);
    ASSERT_EQ(filled.grid.columns, expected->columns) << "iteration " << iteration;
    ASSERT_EQ(filled.grid.rows, expected->rows) << "iteration " << iteration;
    const PreviewTable lazy(SystemFileIo(), dir / "t.dbf");
    const ReferenceGrid lazyGrid = LazyGrid(lazy);
    ASSERT_EQ(lazyGrid.columns, expected->columns) << "iteration " << iteration;
    ASSERT_EQ(lazyGrid.rows, expected->rows) << "iteration " << iteration;
    ASSERT_EQ(lazyGrid.deleted, expected->deleted) << "iteration " << iteration;
    for (size_t window : {256, 300, 333}) {
      const PreviewTable small(SystemFileIo(), dir / "t.dbf", window);
      std::vector<bool> deleted;
      ASSERT_EQ(StreamedRows(small, &deleted), expected->rows) << "iteration " << iteration << " window " << window;
      ASSERT_EQ(deleted, expected->deleted) << "iteration " << iteration << " window " << window;
    }
  }
}

}  // namespace
}  // namespace drelin::testing
