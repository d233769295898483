// drelin-repair repair --output: the contract a user and a script rely on,
// and every kind of bad input a new user tries.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "CliRunner.h"
#include "DbfBuilder.h"
#include "ReferenceModel.h"
#include "TempDir.h"

namespace drelin::testing {
namespace {

Bytes DamagedTable() {
  DbfBuilder table;
  table.Field("NAME", 'C', 10).Field("QTY", 'N', 4);
  table.Record({"apples", "3"}).Record({"pears", "12"});
  Bytes bytes = table.Build();
  bytes[4] = 0x99;  // wrong record count
  bytes[10] = 0;    // wrong record length
  return bytes;
}

mode_t ModeOf(const std::string& path) {
  struct stat status {};
  stat(path.c_str(), &status);
  return status.st_mode & 07777;
}

TEST(RepairCommand, WritesExactlyTheNamedFileAndSaysSo) {
  TempDir dir;
  const Bytes source = DamagedTable();
  WriteFile(dir / "in.dbf", source);
  for (mode_t mask : {022, 077}) {
    const mode_t old = umask(mask);
    const std::string out = dir / ("out" + std::to_string(mask) + ".dbf");
    const CliResult result = RunCli({"repair", "--output", out, dir / "in.dbf"});
    umask(old);
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.out, dir / "in.dbf" + " -> " + out + "\n");
    EXPECT_EQ(ReadFile(out), *ReferenceRepair(source, 0));
    EXPECT_EQ(ModeOf(out), 0666 & ~mask);
  }
  EXPECT_EQ(ReadFile(dir / "in.dbf"), source);
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"in.dbf", "out18.dbf", "out63.dbf"}));

  const CliResult advance = RunCli({"repair", "--mode", "advance", "-o", dir / "adv.dbf", dir / "in.dbf"});
  EXPECT_EQ(advance.code, 0) << advance.err;
  EXPECT_EQ(ReadFile(dir / "adv.dbf"), *ReferenceRepair(source, 1));
}

TEST(RepairCommand, RefusesAnExistingOutputAndTouchesNothing) {
  TempDir dir;
  WriteFile(dir / "in.dbf", DamagedTable());
  WriteFile(dir / "out.dbf", Bytes{'k', 'e', 'e', 'p'});
  ASSERT_EQ(symlink("nowhere", (dir / "dangling.dbf").c_str()), 0);
  for (const char* name : {"out.dbf", "dangling.dbf", "in.dbf"}) {
    const CliResult result = RunCli({"repair", "--output", dir / name, dir / "in.dbf"});
    EXPECT_EQ(result.code, 1) << name;
    EXPECT_NE(result.err.find("already exists"), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "");
  }
  EXPECT_EQ(ReadFile(dir / "out.dbf"), (Bytes{'k', 'e', 'e', 'p'}));
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"dangling.dbf", "in.dbf", "out.dbf"}));
}

TEST(RepairCommand, BadSourcesFailWithTheFileAndTheReason) {
  TempDir dir;
  std::filesystem::create_directory(dir / "folder.dbf");
  ASSERT_EQ(mkfifo((dir / "pipe.dbf").c_str(), 0600), 0);
  WriteFile(dir / "empty.dbf", {});
  WriteFile(dir / "short.dbf", Bytes(20, ' '));
  DbfBuilder wide;
  for (int i = 0; i < 300; ++i) wide.Field("F" + std::to_string(i), 'C', 250);
  WriteFile(dir / "wide.dbf", wide.Record({"x"}).Build());
  {
    const int fd = open((dir / "huge.dbf").c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, (off_t{1} << 32) + 10), 0);  // sparse
    close(fd);
  }
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"missing.dbf", "No such file or directory"},
      {"folder.dbf", "Is a directory"},
      {"pipe.dbf", "not a regular file"},
      {"empty.dbf", "too short to be a dBASE table"},
      {"short.dbf", "too short to be a dBASE table"},
      {"huge.dbf", "too large"},
      {"wide.dbf", "the records would be 75001 bytes long, more than the 65535 a dBASE table can record"},
  };
  for (const auto& [name, reason] : cases) {
    const CliResult result = RunCli({"repair", "--output", dir / "out.dbf", dir / name}, "", 20);
    EXPECT_FALSE(result.timedOut) << name;
    EXPECT_EQ(result.code, 1) << name;
    EXPECT_NE(result.err.find("'" + dir / name + "'"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find(reason), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "out.dbf")) << name;
  }
  if (geteuid() != 0) {
    WriteFile(dir / "locked.dbf", DamagedTable());
    chmod((dir / "locked.dbf").c_str(), 0);
    const CliResult result = RunCli({"repair", "--output", dir / "out.dbf", dir / "locked.dbf"});
    EXPECT_EQ(result.code, 1);
    EXPECT_NE(result.err.find("Permission denied"), std::string::npos) << result.err;
  }
}

TEST(RepairCommand, UnwritableOutputLeavesNothingBehind) {
  TempDir dir;
  WriteFile(dir / "in.dbf", DamagedTable());
  std::filesystem::create_directory(dir / "sub");
  for (const auto& [out, reason] : std::vector<std::pair<std::string, std::string>>{
           {dir / "no/such/folder/out.dbf", "No such file or directory"},
           {dir / "sub/", "Is a directory"},
           {"/dev/null/x.dbf", "Not a directory"}}) {
    const CliResult result = RunCli({"repair", "--output", out, dir / "in.dbf"});
    EXPECT_EQ(result.code, 1) << out;
    EXPECT_EQ(result.err, "drelin-repair: cannot create '" + out + "': " + reason + "\n");
  }
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"in.dbf", "sub"}));
  EXPECT_TRUE(std::filesystem::is_empty(dir.path() / "sub"));
}

TEST(RepairCommand, MalformedCommandLinesExitTwoAndTouchNothing) {
  TempDir dir;
  WriteFile(dir / "in.dbf", DamagedTable());
  const std::vector<std::vector<std::string>> cases = {
      {"repair", "--mode", "fast", "--output", dir / "out.dbf", dir / "in.dbf"},
      {"repair", "--output", dir / "out.dbf", dir / "in.dbf", dir / "in.dbf"},
      {"repair", "--output"},
      {"repair", "--output", "", dir / "in.dbf"},
      {"repair", "--bogus", dir / "in.dbf"},
      {"repair"},
      {"fix", dir / "in.dbf"},
      {},
  };
  for (const auto& arguments : cases) {
    const CliResult result = RunCli(arguments);
    EXPECT_EQ(result.code, 2) << (arguments.empty() ? "" : arguments[0]) << result.err;
    EXPECT_FALSE(result.err.empty());
  }
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"in.dbf"});
  EXPECT_EQ(RunCli({"--help"}).code, 0);
  EXPECT_EQ(RunCli({"repair", "--help"}).code, 0);
  const CliResult version = RunCli({"--version"});
  EXPECT_EQ(version.code, 0);
  EXPECT_NE(version.out.find("4.03"), std::string::npos);
}

// Ctrl+C, SIGTERM or a closed terminal while the output is being written
// leaves nothing behind; so does a second signal, which ends the program at
// once. The latched program holds once its private file exists.
TEST(RepairCommand, SignalsWhileWritingLeaveNothingBehind) {
  const std::vector<std::vector<int>> cases = {{SIGINT}, {SIGTERM}, {SIGHUP}, {SIGINT, SIGHUP}};
  for (const std::vector<int>& signals : cases) {
    SCOPED_TRACE("signals " + std::to_string(signals.front()) + " of " + std::to_string(signals.size()));
    TempDir dir;
    WriteFile(dir / "in.dbf", DamagedTable());
    CliProcess run({"repair", "--output", dir / "out.dbf", dir / "in.dbf"}, "", ".drelin-");
    ASSERT_TRUE(run.WaitForLatch()) << run.result().err;
    ASSERT_EQ(dir.Entries().size(), 2u);
    for (const int signal : signals) {
      run.Signal(signal);
      run.WaitUntilTaken();
    }
    const bool atOnce = signals.size() > 1;
    const CliResult& result = run.Finish(!atOnce);
    EXPECT_EQ(result.code, 128 + signals.back());
    EXPECT_EQ(result.err, atOnce ? "" : "drelin-repair: interrupted; nothing was written\n");
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"in.dbf"});
  }
}

// Normal repair suggests Advance repair where it would restore a lost
// terminator; Advance repair says when it did not use the stored header
// length, and refuses, creating nothing, where it cannot mark the header's
// end. In both forms of the command.
TEST(RepairCommand, AdvanceModeTellsWhatItDidWithTheStoredHeaderLength) {
  TempDir dir;
  DbfBuilder table;
  table.Field("NAME", 'C', 10).Record({"x"});
  const Bytes sound = table.Build();
  Bytes converted = sound;
  converted[64] = 0x0A;  // the 0x0D became a line feed
  Bytes pastTheEnd = sound;
  pastTheEnd[8] = pastTheEnd[9] = 0xFF;  // 65535
  Bytes overField = sound;
  overField[8] = 33;  // the terminator would go over the NAME descriptor
  WriteFile(dir / "converted.dbf", converted);
  WriteFile(dir / "past.dbf", pastTheEnd);
  WriteFile(dir / "over.dbf", overField);

  const CliResult normal = RunCli({"repair", "-o", dir / "n.dbf", dir / "converted.dbf"});
  EXPECT_EQ(normal.code, 0);
  EXPECT_NE(normal.err.find("--mode advance"), std::string::npos) << normal.err;
  CliResult advance = RunCli({"repair", "--mode", "advance", "-o", dir / "a.dbf", dir / "converted.dbf"});
  EXPECT_EQ(advance.err, "");
  EXPECT_EQ(ReadFile(dir / "a.dbf"), *ReferenceRepair(sound, 0));

  advance = RunCli({"repair", "--mode", "advance", "-o", dir / "p.dbf", dir / "past.dbf"});
  EXPECT_EQ(advance.code, 0);
  EXPECT_EQ(advance.err, "drelin-repair: " + dir / "past.dbf" +
                             ": header terminator found at 64; the stored header length 65535 was not used\n");
  EXPECT_EQ(ReadFile(dir / "p.dbf"), *ReferenceRepair(pastTheEnd, 0));

  advance = RunCli({"repair", "--mode", "advance", "-o", dir / "o.dbf", dir / "over.dbf"});
  EXPECT_EQ(advance.code, 1);
  EXPECT_EQ(advance.err, "drelin-repair: '" + dir / "over.dbf" +
                             "': Advance repair cannot use the stored header length 33: it puts the header "
                             "terminator at offset 32, which would overwrite the descriptor of field 'NAME'\n");
  EXPECT_FALSE(std::filesystem::exists(dir / "o.dbf"));

  std::filesystem::create_directory(dir / "out");
  const CliResult batch = RunCli({"repair", "--mode", "advance", "--out-dir", dir / "out", dir / "past.dbf",
                                  dir / "over.dbf"});
  EXPECT_EQ(batch.code, 1);
  EXPECT_NE(batch.err.find("past.dbf: header terminator found at 64; the stored header length 65535 was not used"),
            std::string::npos) << batch.err;
  EXPECT_NE(batch.err.find("over.dbf': Advance repair cannot use the stored header length 33"), std::string::npos)
      << batch.err;
  EXPECT_EQ(ReadFile(dir / "out/Rep_1_past.dbf"), *ReferenceRepair(pastTheEnd, 0));
}

}  // namespace
}  // namespace drelin::testing
