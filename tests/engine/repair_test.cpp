// Byte-exact behaviour of Normal and Advance repair on tables damaged one way
// at a time, and the refusals that keep a source safe.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "DbfBuilder.h"
#include "EngineTestUtil.h"
#include "FileError.h"

namespace drelin::testing {
namespace {

DbfBuilder Orders(int records = 3) {
  DbfBuilder table;
  table.Field("ID", 'N', 5).Field("CUSTOMER", 'C', 12).Field("PAID", 'L', 1);
  for (int i = 0; i < records; ++i) {
    table.Record({std::to_string(i + 1), "Customer " + std::to_string(i), i % 2 ? "T" : "F"});
  }
  return table;
}

void ExpectHeader(const Bytes& out, uint32_t records, uint16_t headerLength, uint16_t recordLength) {
  ASSERT_GE(out.size(), 32u);
  EXPECT_EQ(out[0], 3);
  EXPECT_EQ(Le32(out, 4), records);
  EXPECT_EQ(Le16(out, 8), headerLength);
  EXPECT_EQ(Le16(out, 10), recordLength);
  for (size_t i : {1, 2, 3}) EXPECT_EQ(out[i], 0) << "date byte " << i;
  for (size_t i = 12; i < 32; ++i) EXPECT_EQ(out[i], 0) << "reserved byte " << i;
}

void ExpectBodyCopied(const Bytes& source, const Bytes& out) {
  ASSERT_GE(out.size(), source.size());
  EXPECT_TRUE(std::equal(source.begin() + 32, source.end(), out.begin() + 32));
}

TEST(WellFormedTable, KeepsEverythingAndRewritesTheHeader) {
  const DbfBuilder table = Orders(3);
  const Bytes source = table.Build();
  const Bytes out = RepairBytes(source);
  EXPECT_EQ(out.size(), source.size());
  ExpectHeader(out, 3, 32 + 3 * 32 + 1, 1 + 5 + 12 + 1);
  ExpectBodyCopied(source, out);

  // Without the end-of-file byte the output gains one, also when the last
  // field is a single byte long.
  const Bytes bare = Orders(3).EndOfFileByte(false).Build();
  const Bytes repaired = RepairBytes(bare);
  ASSERT_EQ(repaired.size(), bare.size() + 1);
  EXPECT_EQ(repaired.back(), 0x1A);
  ExpectHeader(repaired, 3, 129, 19);
  ExpectBodyCopied(bare, repaired);
}

TEST(DamagedHeader, GarbageFieldsAreRecomputed) {
  Bytes source = Orders(4).Build();
  for (size_t i = 0; i < 32; ++i) source[i] = static_cast<uint8_t>(0xA5 ^ (i * 37));
  const Bytes out = RepairBytes(source);
  ExpectHeader(out, 4, 129, 19);
  ExpectBodyCopied(source, out);
  EXPECT_EQ(out.size(), source.size());
}

TEST(DamagedHeader, DeletedFirstRecordStillStartsTheRecords) {
  DbfBuilder table;
  table.Field("NAME", 'C', 8).Record({"gone"}, true).Record({"kept"}).Record({"also"}, true);
  const Bytes source = table.Build();
  const Bytes out = RepairBytes(source);
  ExpectHeader(out, 3, 65, 9);
  EXPECT_EQ(out[65], 0x2A);
}

TEST(ShortSource, UnderThirtyTwoBytesIsRefusedAndCreatesNothing) {
  for (size_t size : {0, 1, 8, 31}) {
    TempDir dir;
    WriteFile(dir / "in.dbf", Bytes(size, 0x20));
    DbfRepairEngine engine;
    for (int mode : {kRepairNormal, kRepairAdvance}) {
      try {
        engine.Repair(dir / "in.dbf", dir / "out.dbf", mode);
        ADD_FAILURE() << "accepted " << size << " bytes";
      } catch (const FileError& error) {
        EXPECT_EQ(error.path(), dir / "in.dbf");
        EXPECT_NE(std::string(error.what()).find("too short to be a dBASE table"), std::string::npos);
      }
      EXPECT_FALSE(std::filesystem::exists(dir / "out.dbf"));
    }
  }
}

TEST(ShortSource, ExactlyThirtyTwoBytesGivesAnEmptyTable) {
  const Bytes out = RepairBytes(Bytes(32, 0xEE));
  ASSERT_EQ(out.size(), 32u);
  ExpectHeader(out, 0, 32, 1);
}

TEST(NoTerminator, BlocksRunToTheEndWithAZeroFilledLastBlock) {
  // Two whole descriptors and a third cut after 10 bytes (before its length
  // byte), no terminator anywhere.
  Bytes source = Orders(0).Build();
  source.resize(32 + 64 + 10);
  source[32 + 64] = 'X';  // not a terminator
  const Bytes out = RepairBytes(source);
  ASSERT_EQ(out.size(), 32u + 96u);  // the first multiple of 32 past the end
  ExpectHeader(out, 0, 128, 1 + 5 + 12);
  ExpectBodyCopied(source, out);
  for (size_t i = source.size(); i < out.size(); ++i) EXPECT_EQ(out[i], 0) << i;
}

TEST(CutOffRecords, LastFieldCutIsCountedAndPaddedWithBlanks) {
  const Bytes whole = Orders(3).EndOfFileByte(false).Build();
  // Cut inside the last record's CUSTOMER field (not its last field): the
  // record is not counted, and the field in hand is still written in full.
  Bytes cut(whole.begin(), whole.end() - 1 - 7);
  Bytes out = RepairBytes(cut);
  ExpectHeader(out, 2, 129, 19);
  ASSERT_EQ(out.size(), whole.size() - 1);  // ends with the CUSTOMER field
  EXPECT_EQ(Bytes(out.end() - 7, out.end()), Bytes(7, ' '));

  // Cut inside the last field of a table whose last field is 3 long: the
  // record counts, blanks pad it, and an end-of-file byte follows.
  DbfBuilder wide;
  wide.Field("A", 'C', 4).Field("B", 'C', 3).Record({"abcd", "xyz"}).Record({"efgh", "uvw"});
  Bytes wideCut = wide.EndOfFileByte(false).Build();
  wideCut.resize(wideCut.size() - 2);
  out = RepairBytes(wideCut);
  ExpectHeader(out, 2, 97, 8);
  ASSERT_EQ(out.size(), wideCut.size() + 3);
  EXPECT_EQ(out[out.size() - 3], ' ');
  EXPECT_EQ(out[out.size() - 2], ' ');
  EXPECT_EQ(out.back(), 0x1A);

  // Cut exactly where the last field would start: not counted, nothing added.
  Bytes atField = wide.Build();
  atField.resize(97 + 8 + 1 + 4);
  out = RepairBytes(atField);
  ExpectHeader(out, 1, 97, 8);
  EXPECT_EQ(out.size(), atField.size());
}

TEST(NoFields, EveryByteAfterTheHeaderIsARecord) {
  // A shapefile's attribute table without attributes: header, terminator,
  // then one deletion flag per record and no end-of-file byte.
  Bytes source(32, 0);
  source.push_back(0x0D);
  source.insert(source.end(), 71, 0x20);
  Bytes out = RepairBytes(source);
  ExpectHeader(out, 71, 33, 1);
  ASSERT_EQ(out.size(), source.size() + 1);
  EXPECT_EQ(out.back(), 0x1A);

  source.push_back(0x1A);
  out = RepairBytes(source);
  ExpectHeader(out, 71, 33, 1);
  EXPECT_EQ(out.size(), source.size());

  Bytes empty(32, 0);
  empty.push_back(0x0D);
  out = RepairBytes(empty);
  ExpectHeader(out, 0, 33, 1);
  EXPECT_EQ(out.size(), empty.size());
}

TEST(AdvanceRepair, RestoresAnOverwrittenTerminator) {
  const Bytes sound = Orders(5).Build();
  Bytes damaged = sound;
  damaged[128] = 0x0A;  // a line-ending conversion turned the 0x0D into 0x0A
  const Bytes normal = RepairBytes(damaged, kRepairNormal);
  EXPECT_NE(Le16(normal, 8), 129);  // Normal repair reads records as descriptors
  const Bytes advance = RepairBytes(damaged, kRepairAdvance);
  Bytes expected = RepairBytes(sound, kRepairNormal);
  EXPECT_EQ(advance, expected);
}

TEST(AdvanceRepair, StoredHeaderLengthBeyondTheEndLengthensTheTable) {
  Bytes source = Orders(0).Build();  // 32 + 96 + 1 + EOF
  source[8] = 200;
  source[9] = 0;
  source[128] = 'Z';
  const Bytes out = RepairBytes(source, kRepairAdvance);
  // The table reads as 200 bytes ending with the forced terminator. Offset
  // 199 is no block start, so the scan finds no terminator and every block
  // up to the end is a descriptor.
  const auto expected = ReferenceRepair(source, kRepairAdvance);
  ASSERT_TRUE(expected);
  EXPECT_EQ(out, *expected);
  ASSERT_GE(out.size(), 200u);
  EXPECT_EQ(out[199], 0x0D);
}

TEST(AdvanceRepair, StoredHeaderLengthZeroIsRefused) {
  TempDir dir;
  Bytes source = Orders(1).Build();
  source[8] = source[9] = 0;
  WriteFile(dir / "in.dbf", source);
  DbfRepairEngine engine;
  EXPECT_THROW(engine.Repair(dir / "in.dbf", dir / "out.dbf", kRepairAdvance), FileError);
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"in.dbf"});
  EXPECT_EQ(ReadFile(dir / "in.dbf"), source);
}

TEST(Dispatch, UnknownModeTouchesNothing) {
  TempDir dir;
  WriteFile(dir / "in.dbf", Orders(1).Build());
  DbfRepairEngine engine;
  for (int mode : {2, -1, 100}) EXPECT_FALSE(engine.Repair(dir / "in.dbf", dir / "out.dbf", mode));
  EXPECT_FALSE(engine.Repair(dir / "missing.dbf", dir / "out.dbf", 2));
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"in.dbf"});
}

TEST(SourceSafety, OutputThatIsTheSourceIsRefusedUnchanged) {
  TempDir dir;
  const Bytes source = Orders(2).Build();
  WriteFile(dir / "in.dbf", source);
  ASSERT_EQ(link((dir / "in.dbf").c_str(), (dir / "alias.dbf").c_str()), 0);
  DbfRepairEngine engine;
  EXPECT_THROW(engine.Repair(dir / "in.dbf", dir / "in.dbf", kRepairNormal), FileError);
  EXPECT_THROW(engine.Repair(dir / "in.dbf", dir / "alias.dbf", kRepairAdvance), FileError);
  EXPECT_EQ(ReadFile(dir / "in.dbf"), source);
}

TEST(SourceSafety, UnreadableSourcesFailWithTheirPathAndReason) {
  TempDir dir;
  DbfRepairEngine engine;
  auto reasonFor = [&](const std::string& path) -> std::string {
    try {
      engine.Repair(path, dir / "out.dbf", kRepairNormal);
    } catch (const FileError& error) {
      EXPECT_EQ(error.path(), path);
      return error.what();
    }
    return "no error";
  };
  EXPECT_EQ(reasonFor(dir / "missing.dbf"),
            "cannot open '" + dir / "missing.dbf" + "': No such file or directory");
  std::filesystem::create_directory(dir / "folder.dbf");
  EXPECT_EQ(reasonFor(dir / "folder.dbf"), "cannot open '" + dir / "folder.dbf" + "': Is a directory");
  ASSERT_EQ(mkfifo((dir / "pipe.dbf").c_str(), 0600), 0);
  EXPECT_EQ(reasonFor(dir / "pipe.dbf"), "cannot open '" + dir / "pipe.dbf" + "': not a regular file");
  EXPECT_FALSE(std::filesystem::exists(dir / "out.dbf"));
}

TEST(SourceSafety, TablesBeyondFourGibibytesAreRefused) {
  TempDir dir;
  const std::string path = dir / "huge.dbf";
  {
    const int fd = open(path.c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    const Bytes start = Orders(1).Build();
    ASSERT_EQ(write(fd, start.data(), start.size()), static_cast<ssize_t>(start.size()));
    ASSERT_EQ(ftruncate(fd, off_t{1} << 32), 0);  // sparse: costs no disk space
    close(fd);
  }
  DbfRepairEngine engine;
  try {
    engine.Repair(path, dir / "out.dbf", kRepairNormal);
    ADD_FAILURE() << "accepted a table over 4 GiB";
  } catch (const FileError& error) {
    EXPECT_NE(std::string(error.what()).find("too large"), std::string::npos);
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "out.dbf"));
}

}  // namespace
}  // namespace drelin::testing
