// drelin-repair and a table's traits: deleted records shown, left out or
// marked; inspect's account of the code page, memo file and deleted
// records; repair --output taking the memo file and code page along
// without ever replacing anything, whatever call fails.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <filesystem>
#include <sstream>

#include "CliRunner.h"
#include "Commands.h"
#include "DbfBuilder.h"
#include "FileError.h"
#include "ReferenceModel.h"
#include "SimulatedIo.h"
#include "SingleRepair.h"
#include "TempDir.h"

namespace drelin::testing {
namespace {

// Records 2 and 4 are deleted (4 under a flag other than 0x2A).
Bytes DeletedTable() {
  DbfBuilder table;
  table.Field("NAME", 'C', 5);
  for (const char* name : {"ann", "bob", "cy", "dee", "eve"}) table.Record({name}, name[0] == 'b' || name[0] == 'd');
  Bytes bytes = table.Build();
  bytes[table.headerLength() + 3 * table.recordLength()] = 'X';
  return bytes;
}

TEST(DeletedRecords, ShownHiddenOrMarkedInEveryFormat) {
  TempDir dir;
  WriteFile(dir / "t.dbf", DeletedTable());
  struct Case {
    std::vector<std::string> options;
    std::string out;
  };
  const Case cases[] = {
      {{"--format", "csv"}, "Index,NAME\n1,ann  \n2,bob  \n3,cy   \n4,dee  \n5,eve  \n"},
      {{"--format", "csv", "--deleted", "show"}, "Index,NAME\n1,ann  \n2,bob  \n3,cy   \n4,dee  \n5,eve  \n"},
      {{"--format", "csv", "--deleted", "hide"}, "Index,NAME\n1,ann  \n3,cy   \n5,eve  \n"},
      {{"--format", "csv", "--deleted", "hide", "--rows", "2"}, "Index,NAME\n1,ann  \n3,cy   \n"},
      {{"--format", "csv", "--deleted", "mark"},
       "Index,Deleted,NAME\n1,,ann  \n2,*,bob  \n3,,cy   \n4,*,dee  \n5,,eve  \n"},
      {{"--format", "json", "--deleted", "mark", "--rows", "2"},
       "{\"columns\":[{\"title\":\"Index\",\"width\":100},{\"title\":\"Deleted\",\"width\":105},"
       "{\"title\":\"NAME\",\"width\":125}],\"rows\":[[\"1\",\"\",\"ann  \"],[\"2\",\"*\",\"bob  \"]]}\n"},
      {{"--format", "json", "--deleted", "hide"},
       "{\"columns\":[{\"title\":\"Index\",\"width\":100},{\"title\":\"NAME\",\"width\":125}],"
       "\"rows\":[[\"1\",\"ann  \"],[\"3\",\"cy   \"],[\"5\",\"eve  \"]]}\n"},
      {{"--deleted", "mark", "--rows", "2"},
       "Index | Deleted | NAME\n------+---------+------\n1     |         | ann\n2     | *       | bob\n"},
      {{"--deleted", "hide"}, "Index | NAME\n------+------\n1     | ann\n3     | cy\n5     | eve\n"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> arguments{"preview"};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    arguments.push_back(dir / "t.dbf");
    const CliResult result = RunCli(arguments);
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.out, c.out) << ::testing::PrintToString(c.options);
  }
  EXPECT_EQ(RunCli({"preview", "--deleted", "drop", dir / "t.dbf"}).code, 2);
}

// Left out, the table is read a slice at a time: rows on both sides of a
// slice's end keep their numbers, and --rows counts the rows shown.
TEST(DeletedRecords, HidingReadsPastEverySlice) {
  TempDir dir;
  DbfBuilder table;
  table.Field("N", 'C', 6);
  const int records = 140000;
  for (int i = 1; i <= records; ++i) table.Record({std::to_string(i)}, i % 3 == 0);
  WriteFile(dir / "big.dbf", table.Build());
  const CliResult all = RunCli({"preview", "--format", "csv", "--deleted", "hide", dir / "big.dbf"});
  ASSERT_EQ(all.code, 0) << all.err;
  std::string expected = "Index,N\n";
  for (int i = 1; i <= records; ++i) {
    if (i % 3 == 0) continue;
    std::string value = std::to_string(i);
    value.resize(6, ' ');
    expected += std::to_string(i) + "," + value + "\n";
  }
  EXPECT_EQ(all.out, expected);
  const CliResult some = RunCli({"preview", "--format", "csv", "--deleted", "hide", "--rows", "50000", dir / "big.dbf"});
  EXPECT_EQ(std::count(some.out.begin(), some.out.end(), '\n'), 50001);
  EXPECT_EQ(some.out.substr(some.out.rfind('\n', some.out.size() - 2) + 1), "74999,74999 \n");
}

// The hint told after a Normal repair reads what the repairs decide from,
// never the records again.
TEST(RepairHints, ReadTheHeaderNotTheRecords) {
  struct CountingIo : SimulatedIo {
    ssize_t Pread(int fd, void* buffer, size_t count, off_t offset) override {
      const ssize_t got = SimulatedIo::Pread(fd, buffer, count, offset);
      if (got > 0) bytes += got;
      return got;
    }
    long bytes = 0;
  };
  TempDir dir;
  DbfBuilder table;
  table.Field("NAME", 'C', 250);
  for (int i = 0; i < 20000; ++i) table.Record({"n"}, i % 2 == 0);
  const Bytes bytes = table.Build();
  WriteFile(dir / "t.dbf", bytes);
  CountingIo io;
  cli::RepairArguments arguments;
  arguments.output = dir / "out.dbf";
  arguments.sources = {dir / "t.dbf"};
  std::ostringstream out, err;
  ASSERT_EQ(cli::RunRepair(io, arguments, out, err), 0) << err.str();
  // The repair reads the table once; all else is header-sized.
  EXPECT_LT(io.bytes, static_cast<long>(bytes.size()) + (2 << 20));
}

TEST(InspectTraits, TellsCodePageMemoAndDeletedRecords) {
  TempDir dir;
  DbfBuilder table;
  table.Version(0x83).LanguageDriver(0x65).Field("\x8D\xA0\xA7\xA2", 'C', 4).Field("TEXT", 'M', 10);
  table.Record({"a"}, true).Record({"b"}).Record({"c"}, true);
  WriteFile(dir / "m.dbf", table.Build());

  CliResult result = RunCli({"inspect", dir / "m.dbf"});
  EXPECT_EQ(result.code, 0) << result.out;
  for (const std::string line :
       {"  \u041D\u0430\u0437\u0432  C  length 4", "Code page: CP866, from the language driver byte 0x65\n",
        "Memo fields: TEXT (M)\nMemo file: none found\n", "Records marked deleted: 2\n",
        "; it keeps the version byte 0x83 that points readers to the memo file\n",
        "Note: no memo file m.dbt beside the table"}) {
    EXPECT_NE(result.out.find(line), std::string::npos) << line << "\n" << result.out;
  }
  WriteFile(dir / "m.DBT", {0});
  WriteFile(dir / "m.cpg", {'1', '2', '5', '1'});
  result = RunCli({"inspect", "--encoding", "CP437", dir / "m.dbf"});
  for (const std::string& line :
       {std::string("Code page: CP437 (--encoding); the table's own: WINDOWS-1251, from m.cpg (\"1251\")\n"),
        "Memo file: " + dir / "m.DBT" + "\n"}) {
    EXPECT_NE(result.out.find(line), std::string::npos) << line << "\n" << result.out;
  }
  const auto json = nlohmann::json::parse(RunCli({"inspect", "--json", dir / "m.dbf"}).out);
  EXPECT_EQ(json["code_page"]["source"], "cpg");
  EXPECT_EQ(json["code_page"]["number"], 1251);
  EXPECT_EQ(json["code_page"]["language_driver"], 0x65);
  EXPECT_EQ(json["deleted_records"], 2);
  EXPECT_EQ(json["memo"]["fields"], nlohmann::json::array({"TEXT"}));
  EXPECT_EQ(json["repair"]["version"], 0x83);
}

// repair --output of a memo table whose code page its header names: any
// single failing call leaves either nothing new, or the table whole with
// each companion whole or (noted) absent; what was there stays as it was.
TEST(SingleRepairCompanions, AnyFailureLeavesWholeFilesAndReplacesNothing) {
  DbfBuilder builder;
  builder.Version(0x83).LanguageDriver(0xC9).Field("NAME", 'C', 8).Field("TEXT", 'M', 10);
  for (int i = 0; i < 30; ++i) builder.Record({"n" + std::to_string(i), "         1"});
  Bytes source = builder.Build();
  source[4] = 0;
  const Bytes memo(2048, 'm');
  TempDir dir;
  WriteFile(dir / "in.dbf", source);
  WriteFile(dir / "in.dbt", memo);
  WriteFile(dir / "out.fpt.bak", {'k'});
  const std::vector<std::string> before = dir.Entries();

  SimulatedIo io;
  cli::CompanionOutcome outcome;
  cli::RepairToNewFile(io, dir / "in.dbf", dir / "out.dbf", kRepairNormal, nullptr, &outcome);
  EXPECT_EQ(outcome.written, (std::vector<std::pair<std::string, std::string>>{
                                 {dir / "in.dbf", dir / "out.cpg"}, {dir / "in.dbt", dir / "out.dbt"}}));
  EXPECT_TRUE(outcome.notes.empty());
  const long calls = io.count();
  for (long n = 1; n <= calls; ++n) {
    for (const char* name : {"out.dbf", "out.dbt", "out.cpg"}) std::filesystem::remove(dir / name);
    io.FailAt(n, EIO);
    cli::CompanionOutcome told;
    bool succeeded = false;
    try {
      cli::RepairToNewFile(io, dir / "in.dbf", dir / "out.dbf", kRepairNormal, nullptr, &told);
      succeeded = true;
    } catch (const FileError& error) {
      EXPECT_EQ(std::string(error.what()).find(".part"), std::string::npos) << error.what();
    }
    SCOPED_TRACE("call " + std::to_string(n));
    std::vector<std::string> entries = dir.Entries();
    for (const std::string& name : entries) EXPECT_EQ(name.find(".part"), std::string::npos) << name;
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [&](const std::string& name) {
                                   return std::find(before.begin(), before.end(), name) != before.end();
                                 }),
                  entries.end());
    if (!succeeded) {
      EXPECT_TRUE(entries.empty()) << ::testing::PrintToString(entries);
    } else {
      EXPECT_EQ(ReadFile(dir / "out.dbf"), *ReferenceRepair(source, kRepairNormal));
      // What is missing is told; a note tells only of a failure.
      const bool whole = std::filesystem::exists(dir / "out.dbt") && std::filesystem::exists(dir / "out.cpg");
      EXPECT_TRUE(whole || !told.notes.empty());
      for (const std::string& note : told.notes) {
        EXPECT_NE(note.find("Input/output error"), std::string::npos) << note;
      }
      if (std::filesystem::exists(dir / "out.dbt")) {
        EXPECT_EQ(ReadFile(dir / "out.dbt"), memo);
      }
      if (std::filesystem::exists(dir / "out.cpg")) {
        EXPECT_EQ(ReadFile(dir / "out.cpg"), (Bytes{'1', '2', '5', '1'}));
      }
    }
    EXPECT_EQ(ReadFile(dir / "in.dbf"), source);
    EXPECT_EQ(ReadFile(dir / "in.dbt"), memo);
  }

  // A companion's name taken beforehand refuses the repair; one taken in
  // the meantime is left as it is.
  for (const char* name : {"out.dbf", "out.dbt", "out.cpg"}) std::filesystem::remove(dir / name);
  WriteFile(dir / "out.FPT", {'x'});
  EXPECT_THROW(cli::RepairToNewFile(SystemFileIo(), dir / "in.dbf", dir / "out.dbf", kRepairNormal), FileError);
  EXPECT_FALSE(std::filesystem::exists(dir / "out.dbf"));
  std::filesystem::remove(dir / "out.FPT");
  struct TakenMeanwhile : SimulatedIo {
    int Rename(const char* from, const char* to, unsigned flags) override {
      if (std::string(to).find("out.dbt") != std::string::npos) WriteFile(to, {'o', 'l', 'd'});
      return SimulatedIo::Rename(from, to, flags);
    }
  } racing;
  cli::CompanionOutcome raced;
  cli::RepairToNewFile(racing, dir / "in.dbf", dir / "out.dbf", kRepairNormal, nullptr, &raced);
  EXPECT_EQ(ReadFile(dir / "out.dbt"), (Bytes{'o', 'l', 'd'}));
  EXPECT_EQ(raced.notes, std::vector<std::string>{dir / "out.dbt" + " already exists; it was left as it is"});
}

}  // namespace
}  // namespace drelin::testing
