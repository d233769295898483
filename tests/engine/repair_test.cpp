// Byte-exact behaviour of Normal and Advance repair on tables damaged one way
// at a time, and the refusals that keep a source safe: the format's limits,
// Advance repair's rules, the source itself as output, unreadable sources.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "DbfBuilder.h"
#include "EngineTestUtil.h"
#include "FileError.h"
#include "SparseFileIo.h"

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

Bytes Cut(Bytes bytes, size_t by) {
  bytes.resize(bytes.size() - by);
  return bytes;
}

// Normal repair of tables damaged one way each: a fresh header (version 3,
// the recounted numbers, date and reserved bytes zero), every source byte
// after the header copied unchanged, and a tail written past the source's
// end exactly where the record walk needs one.
TEST(NormalRepair, RecountsTheHeaderAndCopiesEverythingAfterIt) {
  struct Case {
    const char* what;
    Bytes source;
    uint32_t records;
    uint16_t headerLength;
    uint16_t recordLength;
    Bytes tail;
  };
  Bytes garbage = Orders(4).Build();
  for (size_t i = 0; i < 32; ++i) garbage[i] = static_cast<uint8_t>(0xA5 ^ (i * 37));
  Bytes noTerminator = Cut(Orders(0).Build(), 1 + 1 + 32 - 10);  // a third block of 10 bytes
  noTerminator[32 + 64] = 'X';
  DbfBuilder deleted;
  deleted.Field("NAME", 'C', 8).Record({"gone"}, true).Record({"kept"}).Record({"also"}, true);
  DbfBuilder wide;
  wide.Field("A", 'C', 4).Field("B", 'C', 3).Record({"abcd", "xyz"}).Record({"efgh", "uvw"}).EndOfFileByte(false);
  Bytes flags(32, 0);
  flags.push_back(0x0D);
  Bytes someFlags = flags;
  someFlags.insert(someFlags.end(), 71, 0x20);
  Bytes flagsAndEnd = someFlags;
  flagsAndEnd.push_back(0x1A);
  const Case cases[] = {
      {"well-formed", Orders(3).Build(), 3, 129, 19, {}},
      // The last field is a single byte: the end-of-file byte is still added.
      {"no end-of-file byte", Orders(3).EndOfFileByte(false).Build(), 3, 129, 19, {0x1A}},
      {"garbage header", garbage, 4, 129, 19, {}},
      {"deleted first record", deleted.Build(), 3, 65, 9, {}},
      {"exactly 32 bytes", Bytes(32, 0xEE), 0, 32, 1, {}},
      // Blocks run to the end; the cut block's missing bytes are zeros.
      {"no terminator", noTerminator, 0, 128, 18, Bytes(22, 0)},
      // Cut inside a field before the last: not counted, the field padded.
      {"cut before the last field", Cut(Orders(3).EndOfFileByte(false).Build(), 8), 2, 129, 19, Bytes(7, ' ')},
      {"cut inside the last field", Cut(wide.Build(), 2), 2, 97, 8, {' ', ' ', 0x1A}},
      {"cut where the last field starts", Cut(wide.Build(), 3), 1, 97, 8, {}},
      {"no fields", someFlags, 71, 33, 1, {0x1A}},
      {"no fields, end-of-file byte", flagsAndEnd, 71, 33, 1, {}},
      {"no fields, no records", flags, 0, 33, 1, {}},
  };
  for (const Case& c : cases) {
    const Bytes out = RepairBytes(c.source);
    ASSERT_EQ(out.size(), c.source.size() + c.tail.size()) << c.what;
    EXPECT_EQ(out[0], 3) << c.what;
    EXPECT_EQ(Bytes(out.begin() + 1, out.begin() + 4), Bytes(3, 0)) << c.what;
    EXPECT_EQ(Le32(out, 4), c.records) << c.what;
    EXPECT_EQ(Le16(out, 8), c.headerLength) << c.what;
    EXPECT_EQ(Le16(out, 10), c.recordLength) << c.what;
    EXPECT_EQ(Bytes(out.begin() + 12, out.begin() + 32), Bytes(20, 0)) << c.what;
    EXPECT_TRUE(std::equal(c.source.begin() + 32, c.source.end(), out.begin() + 32)) << c.what;
    EXPECT_EQ(Bytes(out.begin() + c.source.size(), out.end()), c.tail) << c.what;
  }
}

// Sources the format cannot describe: refused by both repairs and the
// preview, with the reason, creating nothing.
TEST(Limits, SourcesTheFormatCannotHoldAreRefusedAndCreateNothing) {
  DbfBuilder wideHeader;
  for (int i = 0; i < 2047; ++i) wideHeader.Field("F" + std::to_string(i), 'C', 1);
  wideHeader.Record({"x"});
  DbfBuilder wideRecord;
  for (int i = 0; i < 258; ++i) wideRecord.Field("F" + std::to_string(i), 'C', 255);
  wideRecord.Record({"x"});
  const std::pair<Bytes, std::string> cases[] = {
      {Bytes(), "too short to be a dBASE table"},
      {Bytes(31, 0x20), "too short to be a dBASE table"},
      {wideHeader.Build(), "the header would be 65537 bytes long, more than the 65535 a dBASE table can record"},
      {wideRecord.Build(), "the records would be 65791 bytes long, more than the 65535 a dBASE table can record"},
  };
  for (const auto& [source, reason] : cases) {
    TempDir dir;
    WriteFile(dir / "in.dbf", source);
    for (int mode : {kRepairNormal, kRepairAdvance}) {
      try {
        DbfRepairEngine().Repair(dir / "in.dbf", dir / "out.dbf", mode);
        ADD_FAILURE() << "accepted: " << reason;
      } catch (const FileError& error) {
        EXPECT_EQ(error.path(), dir / "in.dbf");
        // Advance repair may refuse the wide header by its own rules first.
        if (mode == kRepairNormal) {
          EXPECT_EQ(error.reason(), reason);
        }
      }
      EXPECT_EQ(dir.Entries(), std::vector<std::string>{"in.dbf"}) << reason;
      EXPECT_FALSE(ReferenceRepair(source, mode)) << reason;
    }
    if (source.size() < 32) {
      EXPECT_THROW(PreviewTable(SystemFileIo(), dir / "in.dbf"), FileError);
    }
  }
}

// A table without fields, whose every byte after the first flag is a record,
// so a repair adds one end-of-file byte exactly when the source lacks it:
// an output of 4 GiB - 1 bytes is written, one byte more is refused.
TEST(Limits, OutputOfFourGibibytesLessOneIsTheLargestWritten) {
  struct Case {
    uint64_t length;
    bool endOfFile;
    const char* refusal;  // empty: accepted
  };
  const Case cases[] = {
      {0xFFFFFFFE, false, ""},
      {0xFFFFFFFF, true, ""},
      {0xFFFFFFFF, false, "the repaired table would be 4294967296 bytes long, more than the 4294967295 a dBASE table can have"},
      {0x100000000, true, "too large to be a dBASE table (over 4 GiB)"},
  };
  for (const Case& c : cases) {
    SparseFileIo io;
    Bytes start(32, 0);
    start.push_back(0x0D);
    start.push_back(0x20);
    io.Put("in.dbf", 0, start);
    io.files["in.dbf"].length = c.length;
    if (c.endOfFile) io.Put("in.dbf", c.length - 1, {0x1A});
    const uint64_t records = c.length - 33 - (c.endOfFile ? 1 : 0);
    try {
      DbfRepairEngine(io).Repair("in.dbf", "out.dbf", kRepairNormal);
      EXPECT_EQ(std::string(c.refusal), "") << c.length;
      EXPECT_EQ(io.files["out.dbf"].length, 0xFFFFFFFFu);
      EXPECT_EQ(io.At("out.dbf", 0xFFFFFFFE), 0x1A);
      Bytes header(32);
      for (size_t i = 0; i < 32; ++i) header[i] = io.At("out.dbf", i);
      EXPECT_EQ(Le32(header, 4), records);
    } catch (const FileError& error) {
      EXPECT_EQ(error.reason(), c.refusal) << c.length;
      EXPECT_EQ(io.files.count("out.dbf"), 0u);
    }
    // The preview opens what a repair would read, and refuses the rest.
    if (c.length <= 0xFFFFFFFF) {
      EXPECT_EQ(PreviewTable(io, "in.dbf").rowCount(), records);
    } else {
      EXPECT_THROW(PreviewTable(io, "in.dbf"), FileError);
    }
  }
}

// Advance repair's rules, in order, on a table of five records whose
// terminator stands at 128 (stored header length 129) unless it is lost.
TEST(AdvanceRepair, UsesTheStoredHeaderLengthOnlyWhereItCanMarkTheHeaderEnd) {
  struct Case {
    const char* what;
    uint16_t stored;
    bool lost;  // the terminator became 0x0A
    AdvanceRule rule;
    const char* refusal;
  };
  const Case cases[] = {
      {"sound", 129, false, AdvanceRule::kTerminatorAgrees, ""},
      {"stored length past the end", 65535, false, AdvanceRule::kTerminatorBefore, ""},
      {"stored length inside the records", 161, false, AdvanceRule::kTerminatorBefore, ""},
      {"lost terminator", 129, true, AdvanceRule::kTerminatorForced, ""},
      {"zero", 0, true, AdvanceRule::kRefused, "length 0: it is less than 33"},
      {"too small", 32, false, AdvanceRule::kRefused, "length 32: it is less than 33"},
      {"past the end", 60001, true, AdvanceRule::kRefused,
       "length 60001: it puts the header terminator at offset 60000, past the end of the file (225 bytes)"},
      {"off a block start", 130, true, AdvanceRule::kRefused,
       "length 130: it puts the header terminator at offset 129, where no descriptor block starts"},
      {"over a descriptor", 97, false, AdvanceRule::kRefused,
       "length 97: it puts the header terminator at offset 96, which would overwrite the "
       "descriptor of field 'PAID'"},
      {"over a descriptor, terminator lost", 65, true, AdvanceRule::kRefused, "field 'CUSTOMER'"},
  };
  const Bytes sound = Orders(5).Build();
  for (const Case& c : cases) {
    Bytes source = sound;
    source[8] = static_cast<uint8_t>(c.stored);
    source[9] = static_cast<uint8_t>(c.stored >> 8);
    if (c.lost) source[128] = 0x0A;
    TempDir dir;
    WriteFile(dir / "in.dbf", source);
    const auto reference = ReferenceRepair(source, kRepairAdvance);
    try {
      const RepairReport report =
          DbfRepairEngine().RepairFile(dir / "in.dbf", dir / "out.dbf", kRepairAdvance);
      ASSERT_NE(c.rule, AdvanceRule::kRefused) << c.what;
      ASSERT_TRUE(report.advance) << c.what;
      EXPECT_EQ(report.advance->rule, c.rule) << c.what;
      EXPECT_EQ(report.advance->storedHeaderLength, c.stored) << c.what;
      // Never a record more or a byte changed beyond the restored terminator.
      const Bytes out = ReadFile(dir / "out.dbf");
      EXPECT_EQ(out, RepairBytes(c.lost ? sound : source, kRepairNormal)) << c.what;
      ASSERT_TRUE(reference) << c.what;
      EXPECT_EQ(out, *reference) << c.what;
    } catch (const FileError& error) {
      EXPECT_EQ(c.rule, AdvanceRule::kRefused) << c.what << ": " << error.what();
      const std::string what = error.what();
      EXPECT_NE(what.find("Advance repair cannot use the stored header length " + std::to_string(c.stored)),
                std::string::npos) << what;
      EXPECT_NE(what.find(c.refusal), std::string::npos) << c.what << ": " << what;
      EXPECT_EQ(dir.Entries(), std::vector<std::string>{"in.dbf"}) << c.what;
      EXPECT_FALSE(reference) << c.what;
    }
    EXPECT_EQ(ReadFile(dir / "in.dbf"), source);
  }
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

}  // namespace
}  // namespace drelin::testing
