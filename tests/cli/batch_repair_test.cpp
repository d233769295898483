// drelin-repair repair without --output: the batch form's output, exit codes
// and saved files, Ctrl+C as Stop, and two runs at once.
#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <sstream>
#include <thread>

#include "BatchRepair.h"
#include "CliRunner.h"
#include "DbfBuilder.h"
#include "ReferenceModel.h"
#include "RepairFlags.h"
#include "SimulatedIo.h"
#include "TempDir.h"

namespace drelin::testing {
namespace {

Bytes DamagedTable(const std::string& name) {
  Bytes bytes = DbfBuilder().Field("NAME", 'C', 10).Field("QTY", 'N', 4)
                    .Record({name, "3"}).Record({name + "2", "12"}).Build();
  bytes[4] = 0x99;  // wrong record count
  return bytes;
}

std::string Block(int index, int count, const std::string& path, bool done) {
  return "\nSelected File: (" + std::to_string(index) + " of " + std::to_string(count) +
         ")\nRepairing \n" + path +
         "\n\nRepair Progress...\n\tAnalyzing Header\n\t\tError found in Header\n\t\tRepairing "
         "Header\n\tExtracting data\n\tAdding data\n" +
         (done ? "Repair Complete\nPlease select the file from the list below, and Double Click "
                 "to see the preview or save using \"Save Files\" from toolbar.\n\n"
               : "Repair Failed");
}

// Points TMPDIR, and so the private working folder, elsewhere while it lives.
struct PrivateTmp {
  PrivateTmp() { setenv("TMPDIR", dir.path().c_str(), 1); }
  ~PrivateTmp() { old.empty() ? unsetenv("TMPDIR") : setenv("TMPDIR", old.c_str(), 1); }
  bool Empty() const {
    const std::string folder = dir / ("tarnova-drelin-" + std::to_string(geteuid()));
    return !std::filesystem::exists(folder) || std::filesystem::is_empty(folder);
  }

  const std::string old = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
  TempDir dir;
};

TEST(BatchRepairCommand, RepairsReportsAndSavesEveryRow) {
  PrivateTmp tmp;
  TempDir dir;
  const std::string a = dir / "a.dbf", b = dir / "b.dbf", subA = dir / "sub/a.dbf";
  std::filesystem::create_directories(dir / "sub");
  std::filesystem::create_directory(dir / "out");
  WriteFile(a, DamagedTable("a"));
  WriteFile(b, Bytes(5, 'x'));
  WriteFile(subA, DamagedTable("suba"));
  WriteFile(dir / "out/Rep_1_a.dbf", {'o', 'l', 'd'});

  const CliResult result = RunCli({"repair", "--out-dir", dir / "out", a, b, subA});

  EXPECT_EQ(result.code, 1);
  EXPECT_EQ(result.out, Block(1, 3, a, true) + Block(2, 3, b, false) + Block(3, 3, subA, true) +
                            "Done " + a + "\nFailed " + b + "\nDone " + subA + "\n" + a + " -> " +
                            dir / "out/Rep_(1)_1_a.dbf\n" + subA + " -> " +
                            dir / "out/Rep_(1)_(1)_1_a.dbf\n");
  EXPECT_EQ(result.err, "drelin-repair: '" + b + "': too short to be a dBASE table\n");
  EXPECT_EQ(ReadFile(dir / "out/Rep_(1)_1_a.dbf"), *ReferenceRepair(DamagedTable("a"), 0));
  EXPECT_EQ(ReadFile(dir / "out/Rep_(1)_(1)_1_a.dbf"), *ReferenceRepair(DamagedTable("suba"), 0));
  EXPECT_EQ(ReadFile(dir / "out/Rep_1_a.dbf"), (Bytes{'o', 'l', 'd'}));
  EXPECT_EQ(ReadFile(a), DamagedTable("a"));
  EXPECT_TRUE(tmp.Empty());  // the run's working folder went with the process
}

TEST(BatchRepairCommand, RefusesBadPrefixesAndUnusableFoldersBeforeStarting) {
  PrivateTmp tmp;
  TempDir dir;
  WriteFile(dir / "a.dbf", DamagedTable("a"));
  WriteFile(dir / "file", {1});
  std::filesystem::create_directory(dir / "locked");
  std::filesystem::permissions(dir / "locked", std::filesystem::perms(0555));
  const std::string illegal = "Illegal character found in file pre fix ";
  for (const auto& [option, value, message] : std::vector<std::array<std::string, 3>>{
           {"--prefix", "", "Please fill prefix (--prefix '')"},
           {"--prefix", "it's", illegal + "(--prefix 'it's')"},
           {"--prefix", "a/b", illegal + "(--prefix 'a/b')"},
           {"--prefix", std::string(51, 'p'), "the prefix is longer than 50 characters"},
           {"--out-dir", dir / "no", "the output folder '" + dir / "no" + "' does not exist"},
           {"--out-dir", dir / "file", "is not a folder"},
           {"--out-dir", dir / std::string(300, 'x'), "cannot be used: File name too long"},
           {"--out-dir", geteuid() ? dir / "locked" : "", "cannot be written to: Permission denied"}}) {
    if (value.empty()) continue;  // permissions do not bind the superuser
    const CliResult result = RunCli({"repair", option, value, dir / "a.dbf"}, dir.path());
    EXPECT_EQ(result.code, 2) << message;
    EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "");
  }
  // A folder that cannot be written to, whoever runs the test: a read-only
  // file system.
  SimulatedIo io;
  io.FailAt(2, EROFS, {SimulatedIo::kOpen});  // the first is the folder itself
  cli::RepairArguments arguments;
  arguments.outDir = dir.path();
  arguments.sources = {dir / "a.dbf"};
  std::ostringstream out, err;
  EXPECT_EQ(cli::RunBatchRepair(io, arguments, out, err), 2);
  EXPECT_EQ(err.str(), "drelin-repair: the output folder '" + dir.path().string() +
                           "' cannot be written to: Read-only file system (--out-dir)\n");
  EXPECT_EQ(out.str(), "");

  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"a.dbf", "file", "locked"}));
  EXPECT_TRUE(std::filesystem::is_empty(dir / "locked"));
  EXPECT_TRUE(tmp.Empty());
}

// Two runs started at once over sources of the same names must never see
// each other's working files; the second, in Advance mode with its own
// prefix, saves into the current folder.
TEST(BatchRepairCommand, TwoRunsAtOnceKeepTheirResultsApart) {
  PrivateTmp tmp;
  TempDir dir;
  auto name = [](int run, int i) { return "run" + std::to_string(run) + "/t" + std::to_string(i); };
  auto table = [](int run, int i) {
    Bytes bytes = DamagedTable(std::to_string(run) + "/" + std::to_string(i));
    bytes[32 * 3] = 0x0A;  // the terminator, turned into a line feed: the modes differ
    return bytes;
  };
  std::vector<std::string> arguments[2] = {{"repair", "--out-dir", dir / "run0"},
                                           {"repair", "--mode", "advance", "--prefix", "Arch\"v"}};
  for (int run = 0; run < 2; ++run) {
    std::filesystem::create_directory(dir / ("run" + std::to_string(run)));
    for (int i = 0; i < 150; ++i) {
      arguments[run].push_back(dir / (name(run, i) + ".dbf"));
      WriteFile(arguments[run].back(), table(run, i));
    }
  }
  CliResult results[2];
  std::thread other([&] { results[1] = RunCli(arguments[1], dir / "run1"); });
  results[0] = RunCli(arguments[0]);
  other.join();

  for (int run = 0; run < 2; ++run) {
    EXPECT_EQ(results[run].code, 0) << results[run].err;
    EXPECT_EQ(results[run].out.find("Extraction Phase 1"), std::string::npos);
    for (int i = 0; i < 150; ++i) {
      std::string saved = name(run, i);
      saved.insert(saved.rfind('/') + 1, run ? "Arch\"v_1_" : "Rep_1_");
      EXPECT_EQ(ReadFile(dir / (saved + ".dbf")), *ReferenceRepair(table(run, i), run)) << saved;
    }
  }
  EXPECT_EQ(results[1].err, "");  // no advice to use Advance mode
  EXPECT_TRUE(tmp.Empty());
}

// A signal at an exact moment of a run over a, b and c: the latched program
// holds right after the first file call naming `latch`, takes `signals` in
// turn (each answered on stderr with its notice; an empty one is only waited
// to be taken) and then goes on, unless the last signal ends it.
struct SignalCase {
  std::string name, latch;
  std::vector<std::pair<int, std::string>> signals;
  int code;
  std::string outEnd;   // how stdout ends: the status lines and the saved files
  std::string message;  // a part of stderr
  std::vector<std::string> saved;
};

// Whatever the moment, a signal never leaves a working folder or a
// half-written file behind, and nothing repaired is discarded unannounced.
TEST(BatchRepairCommand, SignalsStopTheRunCleanlyAtAnyMoment) {
  const std::string stop = "stopping after the table in hand", save = "stopping the save";
  const std::string stoppedInB = "Done a.dbf\nFailed b.dbf\nPending c.dbf\na.dbf -> out/Rep_1_a.dbf\n";
  const std::vector<SignalCase> cases = {
      {"before the first file", "out/.drelin-", {{SIGINT, stop}}, 1,
       "Pending a.dbf\nPending b.dbf\nPending c.dbf\n", "a.dbf: not repaired, the run was stopped",
       {}},
      {"Ctrl+C during a repair", "_1_b.dbf", {{SIGINT, stop}}, 1, stoppedInB,
       "c.dbf: not repaired, the run was stopped", {"Rep_1_a.dbf"}},
      {"terminal closed during a repair", "_1_b.dbf", {{SIGHUP, stop}}, 1, stoppedInB,
       "b.dbf: the repair was stopped", {"Rep_1_a.dbf"}},
      {"SIGTERM during a repair", "_1_b.dbf", {{SIGTERM, stop}}, 1, stoppedInB, "", {"Rep_1_a.dbf"}},
      {"a second signal", "_1_b.dbf", {{SIGINT, stop}, {SIGHUP, ""}}, 129, "",
       "ended at once; nothing was saved", {}},
      {"signals while saving", "Rep_1_a.dbf", {{SIGHUP, save}, {SIGINT, ""}}, 1,
       "Done a.dbf\nDone b.dbf\nDone c.dbf\na.dbf -> out/Rep_1_a.dbf\n",
       "b.dbf: repaired but not saved", {"Rep_1_a.dbf"}},
  };
  for (const SignalCase& test : cases) {
    SCOPED_TRACE(test.name);
    PrivateTmp tmp;
    TempDir dir;
    std::filesystem::create_directory(dir / "out");
    for (const std::string name : {"a", "b", "c"}) WriteFile(dir / (name + ".dbf"), DamagedTable(name));
    CliProcess run({"repair", "--out-dir", "out", "a.dbf", "b.dbf", "c.dbf"}, dir.path(), test.latch);
    ASSERT_TRUE(run.WaitForLatch()) << run.result().err;
    for (const auto& [signal, notice] : test.signals) {
      run.Signal(signal);
      notice.empty() ? run.WaitUntilTaken() : void(run.WaitForError(notice));
    }
    const CliResult& result = run.Finish(test.code < 128);

    EXPECT_EQ(result.code, test.code) << result.err;
    const std::string& out = result.out;
    EXPECT_TRUE(out.size() >= test.outEnd.size() &&
                out.compare(out.size() - test.outEnd.size(), std::string::npos, test.outEnd) == 0)
        << out;
    EXPECT_NE(result.err.find(test.message), std::string::npos) << result.err;
    std::vector<std::string> saved;
    for (const auto& entry : std::filesystem::directory_iterator(dir / "out")) {
      saved.push_back(entry.path().filename());
    }
    EXPECT_EQ(saved, test.saved);
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"a.dbf", "b.dbf", "c.dbf", "out"}));
    EXPECT_TRUE(tmp.Empty());
  }
}

}  // namespace
}  // namespace drelin::testing
