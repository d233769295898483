// drelin-repair preview and inspect: the output formats, the decoding of a
// table's bytes, the escaping that keeps a hostile table from driving the
// terminal, and the exit codes.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "CliRunner.h"
#include "DbfBuilder.h"
#include "TempDir.h"

namespace drelin::testing {
namespace {

class PreviewCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    DbfBuilder table;
    table.Field("NAME", 'C', 12).Field("NOTE", 'C', 8);
    table.Record({"a,b", "say \"hi\""});
    table.Record({"line\nbreak", "\x81\x8D\x8F\x90\x9D"});
    table.Record({"caf\xE9", "\x1B[31mred"});
    WriteFile(dir_ / "t.dbf", table.Build());
  }
  std::string table() const { return dir_ / "t.dbf"; }
  TempDir dir_;
};

TEST_F(PreviewCommand, CsvIsRfc4180WithUndefinedBytesKeptAsTheirCodePoints) {
  const CliResult result = RunCli({"preview", "--format", "csv", table()});
  ASSERT_EQ(result.code, 0) << result.err;
  EXPECT_EQ(result.out,
            "Index,NAME,NOTE\n"
            "1,\"a,b         \",\"say \"\"hi\"\"\"\n"
            "2,\"line\nbreak  \",\u0081\u008D\u008F\u0090\u009D   \n"
            "3,caf\u00E9        ,\x1B[31mred\n");
  const CliResult first = RunCli({"preview", "--format", "csv", "--rows", "1", table()});
  EXPECT_EQ(first.out, "Index,NAME,NOTE\n1,\"a,b         \",\"say \"\"hi\"\"\"\n");
}

TEST_F(PreviewCommand, JsonHasTheGridShape) {
  const CliResult result = RunCli({"preview", "--format", "json", "--encoding", "CP437", table()});
  ASSERT_EQ(result.code, 0) << result.err;
  const auto json = nlohmann::json::parse(result.out);
  EXPECT_EQ(json["columns"][0], (nlohmann::json{{"title", "Index"}, {"width", 100}}));
  EXPECT_EQ(json["columns"][1], (nlohmann::json{{"title", "NAME"}, {"width", 160}}));
  ASSERT_EQ(json["rows"].size(), 3u);
  EXPECT_EQ(json["rows"][2][0], "3");
  EXPECT_EQ(json["rows"][2][1], "caf\u0398        ");  // 0xE9 is theta in code page 437
  EXPECT_EQ(json["rows"][1][2], "\u00FC\u00EC\u00C5\u00C9\u00A5   ");
}

TEST_F(PreviewCommand, TextEscapesControlCharacters) {
  const CliResult result = RunCli({"preview", table()});
  ASSERT_EQ(result.code, 0) << result.err;
  EXPECT_EQ(result.out.find('\x1B'), std::string::npos);
  EXPECT_NE(result.out.find("\\x1B[31mred"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("line\\nbreak"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("\\x81\\x8D"), std::string::npos) << result.out;
  // One line per row, plus the titles and the rule.
  EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 5);
}

TEST_F(PreviewCommand, BadArgumentsAndFiles) {
  EXPECT_EQ(RunCli({"preview", "--encoding", "NO-SUCH-CODE", table()}).code, 2);
  EXPECT_EQ(RunCli({"preview", "--rows", "-1", table()}).code, 2);
  EXPECT_EQ(RunCli({"preview", "--format", "xml", table()}).code, 2);
  const CliResult missing = RunCli({"preview", dir_ / "missing.dbf"});
  EXPECT_EQ(missing.code, 1);
  EXPECT_NE(missing.err.find("No such file or directory"), std::string::npos);
}

TEST(InspectCommand, ExitCodeTellsSoundDamagedOrUnreadable) {
  TempDir dir;
  DbfBuilder table;
  table.Field("NAME", 'C', 10).Record({"x"}).Record({"y"});
  Bytes sound = table.Build();
  WriteFile(dir / "sound.dbf", sound);
  Bytes damaged = sound;
  damaged[4] = 7;
  WriteFile(dir / "damaged.dbf", damaged);

  const CliResult ok = RunCli({"inspect", dir / "sound.dbf"});
  EXPECT_EQ(ok.code, 0) << ok.out;
  const CliResult bad = RunCli({"inspect", "--json", dir / "damaged.dbf"});
  EXPECT_EQ(bad.code, 3);
  const auto json = nlohmann::json::parse(bad.out);
  EXPECT_EQ(json["problems"], nlohmann::json::array({"stored record count 7, found 2"}));
  EXPECT_EQ(json["repair"]["mode"], "normal");
  EXPECT_EQ(json["repair"]["record_count"], 2);
  EXPECT_EQ(json["stored"]["record_count"], 7);
  EXPECT_EQ(json["fields"][0]["name"], "NAME");
  EXPECT_FALSE(json["sound"]);
  EXPECT_EQ(RunCli({"inspect", dir / "missing.dbf"}).code, 1);

  damaged = sound;
  damaged[64] = 0x0A;
  WriteFile(dir / "converted.dbf", damaged);
  const CliResult converted = RunCli({"inspect", dir / "converted.dbf"});
  EXPECT_EQ(converted.code, 3);
  EXPECT_NE(converted.out.find("repair with --mode advance"), std::string::npos) << converted.out;
}

}  // namespace
}  // namespace drelin::testing
