// drelin-repair preview and inspect: the output formats, the decoding of a
// table's bytes, the escaping that keeps a hostile table from driving the
// terminal, and the exit codes.
#include <pty.h>
#include <termios.h>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <sstream>

#include "CliRunner.h"
#include "Commands.h"
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
    table.Record({"lone\rcr", "x"});
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
            "3,caf\u00E9        ,\x1B[31mred\n"
            "4,\"lone\rcr     \",x       \n");
  const CliResult first = RunCli({"preview", "--format", "csv", "--rows", "1", table()});
  EXPECT_EQ(first.out, "Index,NAME,NOTE\n1,\"a,b         \",\"say \"\"hi\"\"\"\n");
}

TEST_F(PreviewCommand, JsonHasTheGridShape) {
  const CliResult result = RunCli({"preview", "--format", "json", "--encoding", "CP437", table()});
  ASSERT_EQ(result.code, 0) << result.err;
  const auto json = nlohmann::json::parse(result.out);
  EXPECT_EQ(json["columns"][0], (nlohmann::json{{"title", "Index"}, {"width", 100}}));
  EXPECT_EQ(json["columns"][1], (nlohmann::json{{"title", "NAME"}, {"width", 160}}));
  ASSERT_EQ(json["rows"].size(), 4u);
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
  EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 6);
}

// Written to a terminal, CSV escapes what could drive it, as the text table
// does (and so needs no quotes for line breaks); to a pipe it stays raw.
TEST_F(PreviewCommand, CsvToATerminalIsEscaped) {
  int terminal = -1, program = -1;
  ASSERT_EQ(openpty(&terminal, &program, nullptr, nullptr, nullptr), 0);
  termios mode {};
  tcgetattr(program, &mode);
  cfmakeraw(&mode);
  tcsetattr(program, TCSANOW, &mode);
  cli::PreviewArguments arguments;
  arguments.format = "csv";
  arguments.file = table();
  std::ostringstream err;
  EXPECT_EQ(cli::RunPreview(SystemFileIo(), arguments, program, err), 0) << err.str();
  close(program);
  std::string shown;
  char buffer[4096];
  for (ssize_t got; (got = read(terminal, buffer, sizeof buffer)) > 0;) shown.append(buffer, size_t(got));
  close(terminal);
  EXPECT_EQ(shown,
            "Index,NAME,NOTE\n"
            "1,\"a,b         \",\"say \"\"hi\"\"\"\n"
            "2,line\\nbreak  ,\\x81\\x8D\\x8F\\x90\\x9D   \n"
            "3,caf\u00E9        ,\\x1B[31mred\n"
            "4,lone\\rcr     ,x       \n");
}

// Text is decoded one cell at a time and tables keep their names, numbers
// and padding in ASCII: an encoding that reads those bytes otherwise is
// refused; the single-byte and East-Asian double-byte pages are not.
TEST_F(PreviewCommand, EncodingsMustReadAsciiAsAscii) {
  for (const std::string refused : {"", "NO-SUCH-CODE", "UTF-16", "UTF-16LE", "UTF-32", "IBM037", "ISO-2022-JP"}) {
    for (const std::string command : {"preview", "inspect"}) {
      const CliResult result = RunCli({command, "--encoding", refused, table()});
      EXPECT_EQ(result.code, 2) << command << " " << refused;
      EXPECT_NE(result.err.find("(--encoding; try names such as"), std::string::npos) << result.err;
      EXPECT_EQ(result.out, "");
    }
  }
  EXPECT_NE(RunCli({"preview", "--encoding", "UTF-16", table()}).err.find("does not decode each byte"),
            std::string::npos);
  for (const std::string accepted : {"CP437", "KOI8-R", "UTF-8", "CP932", "CP936", "CP949", "CP950", "EUC-KR"}) {
    const CliResult result = RunCli({"preview", "--format", "json", "--encoding", accepted, table()});
    EXPECT_EQ(result.code, 0) << accepted << result.err;
    EXPECT_EQ(nlohmann::json::parse(result.out)["rows"][0][1], "a,b         ") << accepted;
  }
}

TEST_F(PreviewCommand, BadArgumentsAndFiles) {
  EXPECT_EQ(RunCli({"preview", "--rows", "-1", table()}).code, 2);
  EXPECT_EQ(RunCli({"preview", "--format", "xml", table()}).code, 2);
  const CliResult missing = RunCli({"preview", dir_ / "missing.dbf"});
  EXPECT_EQ(missing.code, 1);
  EXPECT_NE(missing.err.find("No such file or directory"), std::string::npos);
  // What repair refuses, preview refuses alike.
  WriteFile(dir_ / "short.dbf", Bytes(31, ' '));
  const CliResult shortFile = RunCli({"preview", dir_ / "short.dbf"});
  EXPECT_EQ(shortFile.code, 1);
  EXPECT_EQ(shortFile.err, "drelin-repair: '" + dir_ / "short.dbf" + "': too short to be a dBASE table\n");
  EXPECT_EQ(shortFile.out, "");
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

}

// Inspect recommends the repair that fits, and its numbers and notes are
// what that repair then writes.
TEST(InspectCommand, RecommendsTheRepairThatFitsAndTellsWhatItWrites) {
  TempDir dir;
  DbfBuilder table;
  table.Field("NAME", 'C', 10).Field("QTY", 'N', 3);
  for (int i = 0; i < 5; ++i) table.Record({"n" + std::to_string(i), std::to_string(i)});
  const Bytes sound = table.EndOfFileByte(false).Build();
  struct Case {
    const char* name;
    Bytes bytes;
    const char* mode;
    const char* note;  // a note expected, or not expected with a leading '!'
  };
  Bytes converted = sound;
  converted[96] = 0x0A;
  Bytes pastTheEnd = sound;
  pastTheEnd[8] = pastTheEnd[9] = 0xFF;
  Bytes overField = sound;
  overField[8] = 33;  // Advance repair would put a terminator over NAME
  overField[9] = 0;
  Bytes cutInField(sound.begin(), sound.end() - 5);
  const Case cases[] = {
      {"converted", converted, "advance", "a repair adds one"},
      {"past", pastTheEnd, "normal", "a repair adds one"},
      {"over", overField, "normal", "a repair adds one"},
      {"cut", cutInField, "normal", "!a repair adds one"},
  };
  for (const Case& c : cases) {
    const std::string path = dir / (std::string(c.name) + ".dbf");
    WriteFile(path, c.bytes);
    const CliResult inspect = RunCli({"inspect", "--json", path});
    EXPECT_EQ(inspect.code, 3) << c.name;
    const auto json = nlohmann::json::parse(inspect.out);
    EXPECT_EQ(json["repair"]["mode"], c.mode) << c.name;
    const std::string notes = json["notes"].dump();
    const bool absent = c.note[0] == '!';
    EXPECT_EQ(notes.find(c.note + (absent ? 1 : 0)) == std::string::npos, absent) << c.name << notes;

    const std::string out = dir / (std::string(c.name) + ".out");
    ASSERT_EQ(RunCli({"repair", "--mode", c.mode, "-o", out, path}).code, 0) << c.name;
    const Bytes repaired = ReadFile(out);
    EXPECT_EQ(json["repair"]["output_size"], repaired.size()) << c.name;
    EXPECT_EQ(json["repair"]["record_count"], repaired[4]) << c.name;
    EXPECT_EQ(repaired.back() == 0x1A, !absent) << c.name;
  }
}

}  // namespace
}  // namespace drelin::testing
