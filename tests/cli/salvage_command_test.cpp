// drelin-repair salvage: the same output rules as repair --output, the
// summary and the JSON report, and what a malformed line or an unreadable
// header does.
#include <sys/stat.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <sstream>
#include <stdexcept>

#include "CliRunner.h"
#include "Commands.h"
#include "DbfBuilder.h"
#include "SalvageCommand.h"
#include "SimulatedIo.h"
#include "TempDir.h"

namespace drelin::testing {
namespace {

constexpr size_t kHeader = 32 + 3 * 32 + 1;
constexpr size_t kRecord = 1 + 6 + 16 + 8;

// Sixty orders; record 20 zeroed whole by the damage.
Bytes DamagedOrders() {
  DbfBuilder table;
  table.Field("ID", 'N', 6).Field("CUSTOMER", 'C', 16).Field("ORDERED", 'D', 8);
  static const char* const kCustomers[] = {"Berg AB", "Garcia S.A.", "Meier GmbH", "Jensen A/S", "Kelly Ltd"};
  for (int i = 0; i < 60; ++i) {
    char date[16];
    std::snprintf(date, sizeof date, "2024%02d%02d", 1 + i % 12, 1 + i % 28);
    table.Record({std::to_string(5000 + i), kCustomers[i % 5], date});
  }
  Bytes bytes = table.Build();
  bytes[4] = 0x7F;  // and a wrong record count
  std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(kHeader + 20 * kRecord), kRecord, 0);
  return bytes;
}

mode_t ModeOf(const std::string& path) {
  struct stat status {};
  stat(path.c_str(), &status);
  return status.st_mode & 07777;
}

TEST(SalvageCommand, WritesExactlyTheNamedTableAndReport) {
  TempDir dir;
  WriteFile(dir / "in.dbf", DamagedOrders());
  const mode_t old = umask(027);
  const CliResult result =
      RunCli({"salvage", "--output", dir / "out.dbf", "--report", dir / "out.json", dir / "in.dbf"});
  umask(old);
  ASSERT_EQ(result.code, 0) << result.err;
  EXPECT_EQ(result.out, dir / "in.dbf" + " -> " + dir / "out.dbf" + "\n");
  EXPECT_NE(result.err.find("kept 59 of about 60 records; skipped 1 range (31 bytes)"), std::string::npos)
      << result.err;
  EXPECT_EQ(ModeOf(dir / "out.dbf"), 0640u);
  EXPECT_EQ(ModeOf(dir / "out.json"), 0640u);
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"in.dbf", "out.dbf", "out.json"}));

  const Bytes out = ReadFile(dir / "out.dbf");
  ASSERT_EQ(out.size(), kHeader + 59 * kRecord + 1);
  EXPECT_EQ(out[4], 59);
  EXPECT_EQ(out.back(), 0x1A);
  const Bytes json = ReadFile(dir / "out.json");
  const auto report = nlohmann::json::parse(json.begin(), json.end());
  EXPECT_EQ(report["kept"], 59);
  EXPECT_EQ(report["uncertain"], false);
  ASSERT_EQ(report["skipped"].size(), 1u);
  EXPECT_EQ(report["skipped"][0]["offset"], kHeader + 20 * kRecord);
  EXPECT_EQ(report["skipped"][0]["length"], kRecord);
  EXPECT_EQ(report["skipped"][0]["reason"], "zero bytes");
  EXPECT_EQ(report["resync"], nlohmann::json::array({kHeader + 21 * kRecord}));
}

// A memo table's memo file and its code page go along, as a repair's do;
// a companion's name taken beforehand refuses the salvage.
TEST(SalvageCommand, TakesTheMemoFileAndCodePageAlong) {
  DbfBuilder memo;
  memo.Version(0x83).LanguageDriver(0xC9).Field("TITLE", 'C', 12).Field("BODY", 'M', 10);
  for (int i = 0; i < 40; ++i) memo.Record({"Note " + std::to_string(i), std::to_string(1 + i)});
  Bytes source = memo.Build();
  std::fill_n(source.begin() + static_cast<std::ptrdiff_t>(memo.headerLength() + 7 * memo.recordLength()), 5, 0);
  const Bytes blocks(4096, 'm');
  TempDir dir;
  WriteFile(dir / "in.dbf", source);
  WriteFile(dir / "in.dbt", blocks);

  const CliResult result = RunCli({"salvage", "-o", dir / "out.dbf", dir / "in.dbf"});
  ASSERT_EQ(result.code, 0) << result.err;
  EXPECT_EQ(result.out, dir / "in.dbf" + " -> " + dir / "out.dbf" + "\n" + dir / "in.dbf" + " -> " + dir / "out.cpg" +
                            "\n" + dir / "in.dbt" + " -> " + dir / "out.dbt" + "\n");
  EXPECT_EQ(ReadFile(dir / "out.dbt"), blocks);
  EXPECT_EQ(ReadFile(dir / "out.cpg"), (Bytes{'1', '2', '5', '1'}));
  EXPECT_EQ(ReadFile(dir / "out.dbf")[0], 0x83);

  WriteFile(dir / "again.DBT", {'x'});
  const CliResult refused = RunCli({"salvage", "-o", dir / "again.dbf", dir / "in.dbf"});
  EXPECT_EQ(refused.code, 1);
  EXPECT_NE(refused.err.find("again.DBT"), std::string::npos) << refused.err;
  EXPECT_FALSE(std::filesystem::exists(dir / "again.dbf"));
  EXPECT_FALSE(std::filesystem::exists(dir / "again.cpg"));
}

TEST(SalvageCommand, RefusesAnExistingOutputOrReportAndTouchesNothing) {
  TempDir dir;
  WriteFile(dir / "in.dbf", DamagedOrders());
  WriteFile(dir / "taken", Bytes{'k', 'e', 'e', 'p'});
  const std::vector<std::vector<std::string>> cases = {
      {"salvage", "-o", dir / "taken", dir / "in.dbf"},
      {"salvage", "-o", dir / "in.dbf", dir / "in.dbf"},
      {"salvage", "-o", dir / "new.dbf", "--report", dir / "taken", dir / "in.dbf"},
  };
  for (const auto& arguments : cases) {
    const CliResult result = RunCli(arguments);
    EXPECT_EQ(result.code, 1) << result.err;
    EXPECT_NE(result.err.find("already exists"), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "");
  }
  EXPECT_EQ(ReadFile(dir / "taken"), (Bytes{'k', 'e', 'e', 'p'}));
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"in.dbf", "taken"}));
}

TEST(SalvageCommand, MalformedLinesExitTwoAndUnreadableHeadersOne) {
  TempDir dir;
  WriteFile(dir / "in.dbf", DamagedOrders());
  const std::vector<std::vector<std::string>> malformed = {
      {"salvage", dir / "in.dbf"},
      {"salvage", "--mode", "deep", "-o", dir / "out.dbf", dir / "in.dbf"},
      {"salvage", "-o", dir / "out.dbf", dir / "in.dbf", dir / "in.dbf"},
      {"salvage", "--fast", "-o", dir / "out.dbf", dir / "in.dbf"},
  };
  for (const auto& arguments : malformed) EXPECT_EQ(RunCli(arguments).code, 2);
  EXPECT_EQ(RunCli({"salvage", "--help"}).code, 0);
  EXPECT_NE(RunCli({"salvage", "--help"}).out.find("uncertain"), std::string::npos);

  // The terminator turned into a line feed: Normal cannot tell the fields
  // and says which mode can.
  Bytes converted = DamagedOrders();
  converted[kHeader - 1] = 0x0A;
  WriteFile(dir / "converted.dbf", converted);
  const CliResult normal = RunCli({"salvage", "-o", dir / "out.dbf", dir / "converted.dbf"});
  EXPECT_EQ(normal.code, 1);
  EXPECT_NE(normal.err.find("--mode advance"), std::string::npos) << normal.err;
  EXPECT_FALSE(std::filesystem::exists(dir / "out.dbf"));
  const CliResult advance = RunCli({"salvage", "--mode", "advance", "-o", dir / "out.dbf", dir / "converted.dbf"});
  EXPECT_EQ(advance.code, 0) << advance.err;
  EXPECT_EQ(ReadFile(dir / "out.dbf").size(), kHeader + 59 * kRecord + 1);
}

TEST(SalvageCommand, EveryFailingCallLeavesNothingBehind) {
  TempDir dir;
  WriteFile(dir / "in.dbf", DamagedOrders());
  cli::SalvageArguments arguments;
  arguments.source = dir / "in.dbf";
  arguments.output = dir / "out.dbf";
  arguments.report = dir / "out.json";
  SimulatedIo io;
  std::ostringstream out, err;
  ASSERT_EQ(cli::RunSalvage(io, arguments, out, err), cli::kExitSuccess) << err.str();
  const long calls = io.count();
  const Bytes table = ReadFile(dir / "out.dbf");
  std::filesystem::remove(dir / "out.dbf");
  std::filesystem::remove(dir / "out.json");

  for (long n = 1; n <= calls; ++n) {
    io.FailAt(n, EIO);
    std::ostringstream quiet;
    const int code = cli::RunSalvage(io, arguments, quiet, quiet);
    if (code == cli::kExitSuccess) {
      EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"in.dbf", "out.dbf", "out.json"})) << "call " << n;
      EXPECT_EQ(ReadFile(dir / "out.dbf"), table) << "call " << n;
    } else {
      EXPECT_EQ(code, cli::kExitFileError) << "call " << n;
      EXPECT_EQ(dir.Entries(), std::vector<std::string>{"in.dbf"}) << "call " << n << ": " << quiet.str();
    }
    std::filesystem::remove(dir / "out.dbf");
    std::filesystem::remove(dir / "out.json");
  }
}

// A fault of the program itself ends with a message and exit 1, and the
// private name the table was being written under is gone.
TEST(SalvageCommand, AnInternalFaultEndsWithAMessageAndLeavesNothing) {
  TempDir dir;
  WriteFile(dir / "in.dbf", DamagedOrders());
  struct Faulty : SimulatedIo {
    ssize_t Pwrite(int fd, const void* buffer, size_t count, off_t offset) override {
      if (count > 100) throw std::logic_error("a walk read before its window");
      return SimulatedIo::Pwrite(fd, buffer, count, offset);
    }
  } io;
  const std::string out = dir / "out.dbf";
  const std::string in = dir / "in.dbf";
  std::vector<std::string> words = {"drelin-repair", "salvage", "-o", out, in};
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  std::ostringstream stdoutText, stderrText;
  EXPECT_EQ(cli::Main(static_cast<int>(argv.size()), argv.data(), stdoutText, stderrText, -1, io), cli::kExitFileError);
  EXPECT_EQ(stderrText.str(), "drelin-repair: internal error: a walk read before its window\n");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"in.dbf"});
}

// inspect checks the records too, on a sample unless --deep, and sends the
// user to salvage when they are damaged.
TEST(InspectCommand, RecommendsSalvageWhenTheRecordsAreDamaged) {
  TempDir dir;
  WriteFile(dir / "zeroed.dbf", DamagedOrders());
  Bytes shifted = DamagedOrders();
  std::fill_n(shifted.begin() + static_cast<std::ptrdiff_t>(kHeader + 20 * kRecord), kRecord, ' ');
  shifted[4] = 60;
  const Bytes sound = shifted;
  shifted.insert(shifted.begin() + static_cast<std::ptrdiff_t>(kHeader + 40 * kRecord + 9), {'x', 'y', 'z'});
  WriteFile(dir / "shifted.dbf", shifted);
  WriteFile(dir / "sound.dbf", sound);

  const CliResult zeroed = RunCli({"inspect", "--json", dir / "zeroed.dbf"});
  EXPECT_EQ(zeroed.code, 3);
  auto json = nlohmann::json::parse(zeroed.out);
  EXPECT_TRUE(json["salvage_recommended"]);
  EXPECT_EQ(json["data_area"]["misfits"], 1);
  EXPECT_EQ(json["data_area"]["first_misfit_offset"], kHeader + 20 * kRecord);
  EXPECT_TRUE(json["data_area"]["end_shift"].is_null());
  EXPECT_NE(RunCli({"inspect", dir / "zeroed.dbf"}).out.find("Verdict: damaged records; salvage"), std::string::npos);

  json = nlohmann::json::parse(RunCli({"inspect", "--json", dir / "shifted.dbf"}).out);
  EXPECT_TRUE(json["salvage_recommended"]);
  EXPECT_EQ(json["data_area"]["end_shift"], 3);
  EXPECT_GT(json["data_area"]["misfits"], 0);

  const CliResult clean = RunCli({"inspect", "--json", dir / "sound.dbf"});
  EXPECT_EQ(clean.code, 0) << clean.out;
  json = nlohmann::json::parse(clean.out);
  EXPECT_FALSE(json["salvage_recommended"]);
  EXPECT_EQ(json["data_area"]["checked"], 60);
  EXPECT_TRUE(json["data_area"]["every_record"]);
}

TEST(InspectCommand, LargeTablesAreSampledUnlessDeep) {
  TempDir dir;
  DbfBuilder table;
  table.Field("ID", 'N', 6).Field("CODE", 'C', 5);
  for (int i = 0; i < 5000; ++i) table.Record({std::to_string(i), "C" + std::to_string(i % 977)});
  Bytes bytes = table.Build();
  const size_t record = 1 + 6 + 5;
  bytes[table.headerLength() + 2510 * record] = 0;  // between two sampled runs
  WriteFile(dir / "big.dbf", bytes);

  const CliResult sampled = RunCli({"inspect", "--json", dir / "big.dbf"});
  EXPECT_EQ(sampled.code, 0) << sampled.out;
  auto json = nlohmann::json::parse(sampled.out);
  EXPECT_EQ(json["data_area"]["records"], 5000);
  EXPECT_LT(json["data_area"]["checked"], 1000);
  EXPECT_NE(json["notes"].dump().find("--deep"), std::string::npos);

  const CliResult deep = RunCli({"inspect", "--deep", "--json", dir / "big.dbf"});
  EXPECT_EQ(deep.code, 3);
  json = nlohmann::json::parse(deep.out);
  EXPECT_EQ(json["data_area"]["checked"], 5000);
  EXPECT_EQ(json["data_area"]["misfits"], 1);
  EXPECT_TRUE(json["salvage_recommended"]);
}

}  // namespace
}  // namespace drelin::testing
