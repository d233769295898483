// Record salvage on small hand-made tables: where alignment is found again
// (at the first record, at the last), tables that are sound or odd but not
// damaged, and headers that cannot be read.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "DbfBuilder.h"
#include "DbfRepairEngine.h"
#include "FileError.h"
#include "RecordSalvage.h"
#include "ReferenceModel.h"
#include "SalvageHarness.h"

namespace drelin::testing {
namespace {

const char* const kNames[] = {"Anna Berg", "Jose Garcia", "Ute Meier", "Lars Jensen", "Ines Nunez",
                              "Mark Kelly", "Asa Lind", "Zoe Costa", "Hans Wagner", "Eva Novak"};

// Members of a club: number, name, date joined, active.
DbfBuilder Members(int count, bool deleted = false) {
  DbfBuilder table;
  table.Field("ID", 'N', 5).Field("NAME", 'C', 14).Field("JOINED", 'D', 8).Field("ACTIVE", 'L', 1);
  for (int i = 0; i < count; ++i) {
    char date[16];
    std::snprintf(date, sizeof date, "20%02d%02d%02d", 10 + i % 15, 1 + i % 12, 1 + (i * 7) % 28);
    table.Record({std::to_string(100 + i * 3), kNames[i % 10], date, i % 4 ? "T" : "F"}, deleted || i % 17 == 5);
  }
  return table;
}

size_t Header(const DbfBuilder& table) { return table.headerLength(); }
size_t Length(const DbfBuilder& table) { return table.recordLength(); }

void Insert(Bytes& bytes, size_t at, const std::string& text) {
  bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), text.begin(), text.end());
}

TEST(SalvageCases, ASoundTableComesOutAsNormalRepairWritesIt) {
  for (bool endByte : {true, false}) {
    const Bytes source = Members(60).EndOfFileByte(endByte).Build();
    const Salvaged s = SalvageBytes(source);
    EXPECT_EQ(s.output, *ReferenceRepair(source, kRepairNormal)) << "end byte " << endByte;
    EXPECT_EQ(s.report.kept, 60u);
    EXPECT_EQ(s.report.expected, 60u);
    EXPECT_EQ(s.report.skippedCount, 0u);
    EXPECT_TRUE(s.report.resync.empty());
    EXPECT_FALSE(s.report.uncertain);
  }
  // A table with memo fields keeps its memo version byte, as the repair does.
  DbfBuilder memo;
  memo.Version(0x83).Field("TITLE", 'C', 20).Field("BODY", 'M', 10);
  for (int i = 0; i < 30; ++i) memo.Record({kNames[i % 10], std::to_string(i + 1)});
  const Bytes memoTable = memo.Build();
  const Salvaged m = SalvageBytes(memoTable);
  EXPECT_EQ(m.output, *ReferenceRepair(memoTable, kRepairNormal));
  EXPECT_EQ(m.output[0], 0x83);
  // Deleted records are records: a table of nothing else is kept whole.
  const Bytes allDeleted = Members(40, true).Build();
  const Salvaged s = SalvageBytes(allDeleted);
  EXPECT_EQ(s.output, *ReferenceRepair(allDeleted, kRepairNormal));
  EXPECT_EQ(s.report.kept, 40u);
}

TEST(SalvageCases, NumbersPaddedWithNulBytesAreRecords) {
  DbfBuilder table;
  table.Field("CODE", 'C', 6).Field("QTY", 'N', 6).Field("PRICE", 'N', 8, 2);
  for (int i = 0; i < 50; ++i) {
    std::string qty = std::to_string(i * 13 % 997);
    qty.resize(6, '\0');  // left-aligned, NUL-padded, as some writers do
    const std::string price = i % 5 ? std::to_string(i) + ".50" : std::string(8, '\0');
    table.Record({"AB" + std::to_string(1000 + i), qty, price});
  }
  Bytes source = table.Build();
  for (size_t i = Header(table); i + 1 < source.size(); ++i) {
    // The builder pads with blanks; these writers pad with NUL.
    if (source[i] == ' ' && (i - Header(table)) % Length(table) > 6) source[i] = 0;
  }
  const Salvaged s = SalvageBytes(source);
  EXPECT_EQ(s.report.kept, 50u);
  EXPECT_EQ(s.report.skippedCount, 0u);
  EXPECT_EQ(s.output, *ReferenceRepair(source, kRepairNormal));
}

TEST(SalvageCases, AlignmentIsFoundAgainAtTheFirstRecord) {
  const DbfBuilder table = Members(60);
  const size_t header = Header(table);
  const size_t length = Length(table);

  // Bytes between the header and the first record.
  Bytes stray = table.Build();
  Insert(stray, header, std::string("\x0D\x0A\x00", 3));
  Salvaged s = SalvageBytes(stray);
  EXPECT_EQ(s.report.kept, 60u);
  ASSERT_EQ(s.report.skipped.size(), 1u);
  EXPECT_EQ(s.report.skipped[0].offset, header);
  EXPECT_EQ(s.report.skipped[0].length, 3u);
  EXPECT_EQ(s.report.skipped[0].reason, SkipReason::kBeforeFirst);
  EXPECT_EQ(s.report.resync, std::vector<uint64_t>{header + 3});

  // A first record whose start is zeroed: the second one starts the table.
  Bytes zeroed = table.Build();
  std::fill(zeroed.begin() + static_cast<std::ptrdiff_t>(header), zeroed.begin() + static_cast<std::ptrdiff_t>(header + 9), 0);
  s = SalvageBytes(zeroed);
  EXPECT_EQ(s.report.kept, 59u);
  ASSERT_FALSE(s.offsets.empty());
  EXPECT_EQ(s.offsets.front(), header + length);
  ASSERT_EQ(s.report.skipped.size(), 1u);
  EXPECT_EQ(s.report.skipped[0].length, length);

  // Bytes inserted inside the first record shift all the others.
  Bytes shifted = table.Build();
  Insert(shifted, header + 8, "xyz");
  s = SalvageBytes(shifted);
  EXPECT_EQ(s.report.kept, 59u);
  ASSERT_FALSE(s.offsets.empty());
  EXPECT_EQ(s.offsets.front(), header + length + 3);
}

TEST(SalvageCases, AlignmentIsFoundAgainAtTheLastRecord) {
  const DbfBuilder table = Members(60);
  const size_t header = Header(table);
  const size_t length = Length(table);
  // Two bytes lost inside the last record but one: only the last record
  // follows, and the end of the file vouches for its alignment.
  Bytes source = table.Build();
  const size_t cut = header + 58 * length + 10;
  source.erase(source.begin() + static_cast<std::ptrdiff_t>(cut), source.begin() + static_cast<std::ptrdiff_t>(cut + 2));
  const Salvaged s = SalvageBytes(source);
  EXPECT_EQ(s.report.kept, 59u);
  ASSERT_EQ(s.offsets.size(), 59u);
  EXPECT_EQ(s.offsets.back(), header + 59 * length - 2);
  EXPECT_EQ(s.report.resync, std::vector<uint64_t>{header + 59 * length - 2});
  ASSERT_EQ(s.report.skipped.size(), 1u);
  EXPECT_EQ(s.report.skipped[0].offset, header + 58 * length);
  EXPECT_EQ(s.report.skipped[0].reason, SkipReason::kMisaligned);
}

// Records longer than the byte tables reach, mostly blank: every offset of
// a blank stretch reads alike, and only the few filled bytes tell where
// records start.
TEST(SalvageCases, LongMostlyBlankRecordsFindTheirAlignmentAgain) {
  DbfBuilder table;
  table.Field("ID", 'N', 6);
  for (int f = 0; f < 24; ++f) table.Field("NOTE" + std::to_string(f), 'C', 250);
  table.Field("DUE", 'D', 8).Field("PAID", 'L', 1);
  for (int i = 0; i < 80; ++i) {
    char date[16];
    std::snprintf(date, sizeof date, "2023%02d%02d", 1 + i % 12, 1 + i % 28);
    std::vector<std::string> values(27);
    values[0] = std::to_string(7000 + i);
    values[1 + i % 24] = std::string(kNames[i % 10]) + " called";
    values[25] = date;
    values[26] = i % 3 ? "Y" : "N";
    table.Record(values);
  }
  const size_t header = Header(table);
  const size_t length = Length(table);
  Bytes source = table.Build();
  // Three bytes lost in record 60, then five inserted in record 30.
  const size_t cut = header + 60 * length + 3000;
  source.erase(source.begin() + static_cast<std::ptrdiff_t>(cut), source.begin() + static_cast<std::ptrdiff_t>(cut + 3));
  Insert(source, header + 30 * length + 40, "ab de");
  const Salvaged s = SalvageBytes(source);
  std::vector<uint64_t> expected;
  for (uint64_t i = 0; i < 80; ++i) {
    if (i != 30 && i != 60) expected.push_back(header + i * length + (i > 30 ? 5 : 0) - (i > 60 ? 3 : 0));
  }
  EXPECT_EQ(s.offsets, expected);
  EXPECT_EQ(s.report.resync.size(), 2u);
  EXPECT_EQ(s.report.skippedCount, 2u);
}

// Tables several times the size of the walk's window, whose counter gains
// digits along the way, shifted in places: far from the start, where what
// was learnt from the first records no longer covers the counter, and near
// the start, before most of what is learnt. Every record written is the
// source's own bytes at the offset the walk kept, however far the window has
// moved on since.
TEST(SalvageCases, LongTablesAreFollowedPastEveryShift) {
  constexpr size_t kRecords = 400000;
  DbfBuilder table;
  table.Field("ID", 'N', 7).Field("NAME", 'C', 14).Field("ACTIVE", 'L', 1);
  for (size_t i = 0; i < kRecords; ++i) {
    std::string id = std::to_string(i);
    table.Record({id.insert(0, 7 - id.size(), ' '), kNames[i % 10], i % 3 ? "T" : "F"});  // as dBASE writes it
  }
  const size_t header = Header(table);
  const size_t length = Length(table);
  const Bytes sound = table.Build();
  struct Case {
    std::vector<size_t> shifted;  // records with bytes inserted, from the last
    uint64_t fewestKept;
  };
  // Near the start, the few records whose counter has one or two digits
  // read unlike nearly all the others and may be lost with the damage.
  for (const Case& plan : {Case{{kRecords - 9, 280000, 140001}, kRecords - 3}, Case{{5}, kRecords - 100}}) {
    Bytes source = sound;
    for (size_t record : plan.shifted) Insert(source, header + record * length + 4, "xyz");
    const Salvaged s = SalvageBytes(source);
    EXPECT_GE(s.report.kept, plan.fewestKept);
    ASSERT_EQ(s.output.size(), header + s.report.kept * length + 1);
    for (size_t i = 0; i < s.offsets.size(); ++i) {
      const auto from = source.begin() + static_cast<std::ptrdiff_t>(s.offsets[i]);
      const auto written = s.output.begin() + static_cast<std::ptrdiff_t>(header + i * length);
      ASSERT_TRUE(std::equal(from, from + static_cast<std::ptrdiff_t>(length), written)) << "record " << i;
    }
  }
  // Noise longer than the window after the last record: skipped whole.
  Bytes tailed(sound.begin(), sound.end() - 1);
  std::mt19937 random(7);
  for (size_t i = 0; i < (size_t{6} << 20); ++i) tailed.push_back(static_cast<uint8_t>(random()));
  const Salvaged s = SalvageBytes(tailed);
  EXPECT_EQ(s.report.kept, kRecords);
  ASSERT_EQ(s.report.skipped.size(), 1u);
  EXPECT_EQ(s.report.skipped[0].length, size_t{6} << 20);
  EXPECT_EQ(s.report.skipped[0].reason, SkipReason::kUnreadable);
}

// Three records of text alone: too few to learn from, so only the padding
// of the fields tells a record from a misread one.
TEST(SalvageCases, ATinyTableOfTextKeepsOnlyRecordsThatKeepThePadding) {
  DbfBuilder table;
  table.Field("FIRST", 'C', 30).Field("LAST", 'C', 30).Field("STREET", 'C', 50).Field("TOWN", 'C', 30);
  table.Record({"Michael", "Van Canneyt", "Gemeentestraat 163", "Kessel-Lo"});
  table.Record({"Vincent", "Vega", "Mulholland drive", "Los Angeles"});
  table.Record({"Jules", "Winnfield", "Main road", "Los Angeles"});
  const size_t header = Header(table);
  const size_t length = Length(table);
  struct Case {
    const char* what;
    Bytes source;
    std::vector<uint64_t> offsets;
  };
  std::vector<Case> cases;
  // Zeros over the end of the first record and the start of the second.
  Bytes zeroed = table.Build();
  std::fill_n(zeroed.begin() + static_cast<std::ptrdiff_t>(header + 100), length, 0);
  cases.push_back({"zeros", zeroed, {header + 2 * length}});
  // Bytes inserted inside the first record: the others come three bytes late.
  Bytes shifted = table.Build();
  Insert(shifted, header + 90, "xyz");
  cases.push_back({"inserted", shifted, {header + length + 3, header + 2 * length + 3}});
  for (const Case& c : cases) {
    const Salvaged s = SalvageBytes(c.source);
    EXPECT_EQ(s.offsets, c.offsets) << c.what;
    EXPECT_TRUE(s.report.uncertain) << c.what;
  }
}

TEST(SalvageCases, AnOverwrittenFlagSkipsItsRecordAlone) {
  const DbfBuilder table = Members(60);
  Bytes source = table.Build();
  const size_t record = Header(table) + 20 * Length(table);
  source[record] = 'X';
  const Salvaged s = SalvageBytes(source);
  EXPECT_EQ(s.report.kept, 59u);
  ASSERT_EQ(s.report.skipped.size(), 1u);
  EXPECT_EQ(s.report.skipped[0].offset, record);
  EXPECT_EQ(s.report.skipped[0].length, Length(table));
  EXPECT_EQ(s.report.skipped[0].reason, SkipReason::kBadFlag);
  EXPECT_TRUE(s.report.resync.empty());
}

TEST(SalvageCases, ATableWithoutFieldsIsRepairedAsNormal) {
  Bytes source(32, 0);
  source.push_back(0x0D);
  for (int i = 0; i < 30; ++i) source.push_back(i % 7 ? ' ' : '*');
  const Salvaged s = SalvageBytes(source);
  EXPECT_EQ(s.output, *ReferenceRepair(source, kRepairNormal));
  EXPECT_TRUE(s.report.repairedAsNormal);
  EXPECT_TRUE(s.report.uncertain);
  EXPECT_EQ(s.report.kept, 30u);
}

TEST(SalvageCases, AdvanceModeRestoresALostTerminator) {
  Bytes source = Members(60).Build();
  source[32 + 4 * 32] = 0x0A;  // a line-ending conversion
  MemoryFileIo io;
  io.files["in.dbf"] = source;
  EXPECT_THROW(SalvageTable(io, "in.dbf", "out.dbf", kRepairNormal), FileError);
  EXPECT_EQ(io.files.count("out.dbf"), 0u);
  const Salvaged s = SalvageBytes(source, kRepairAdvance);
  EXPECT_EQ(s.output, *ReferenceRepair(source, kRepairAdvance));
  EXPECT_EQ(s.report.kept, 60u);
}

TEST(SalvageCases, HeadersThatCannotBeReadAreRefusedAndWriteNothing) {
  Bytes wide(32, 0);
  for (int f = 0; f < 258; ++f) {  // 258 fields of 255 bytes: records over 65,535 bytes
    Bytes block(32, 0);
    block[0] = 'F';
    block[11] = 'C';
    block[16] = 255;
    wide.insert(wide.end(), block.begin(), block.end());
  }
  wide.push_back(0x0D);
  wide.push_back(' ');
  Bytes noHeaderLength = Members(10).Build();
  noHeaderLength[8] = noHeaderLength[9] = 0;
  const std::vector<std::pair<Bytes, int>> refused = {
      {Bytes(20, ' '), kRepairNormal},          // too short
      {Bytes(200, 'A'), kRepairNormal},         // no terminator
      {wide, kRepairNormal},                    // records too long for the format
      {noHeaderLength, kRepairAdvance},         // Advance without a stored header length
  };
  for (const auto& [source, mode] : refused) {
    MemoryFileIo io;
    io.files["in.dbf"] = source;
    EXPECT_THROW(SalvageTable(io, "in.dbf", "out.dbf", mode), FileError) << source.size();
    EXPECT_EQ(io.files.count("out.dbf"), 0u);
  }
}

}  // namespace
}  // namespace drelin::testing
