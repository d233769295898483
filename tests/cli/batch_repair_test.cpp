// drelin-repair repair without --output: the batch form's output, exit codes
// and saved files, Ctrl+C as Stop, and two runs at once.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <thread>

#include "BatchRepair.h"
#include "CliRunner.h"
#include "DbfBuilder.h"
#include "SimulatedIo.h"
#include "ReferenceModel.h"
#include "RepairFlags.h"
#include "TempDir.h"

namespace drelin::testing {
namespace {

Bytes DamagedTable(const std::string& name) {
  DbfBuilder table;
  table.Field("NAME", 'C', 10).Field("QTY", 'N', 4);
  table.Record({name, "3"}).Record({name + "2", "12"});
  Bytes bytes = table.Build();
  bytes[4] = 0x99;  // wrong record count
  return bytes;
}

std::string Block(int index, int count, const std::string& path, bool done) {
  const std::string text = "\nSelected File: (" + std::to_string(index) + " of " +
                           std::to_string(count) + ")\nRepairing \n" + path +
                           "\n\nRepair Progress...\n\tAnalyzing Header\n\t\tError found in "
                           "Header\n\t\tRepairing Header\n\tExtracting data\n\tAdding data\n";
  return text + (done ? "Repair Complete\nPlease select the file from the list below, and Double "
                        "Click to see the preview or save using \"Save Files\" from toolbar.\n\n"
                      : "Repair Failed");
}

// Points TMPDIR, and so the private working folder, at a test's own folder.
class PrivateTmp {
 public:
  PrivateTmp() {
    if (const char* old = std::getenv("TMPDIR")) old_ = old;
    setenv("TMPDIR", dir_.path().c_str(), 1);
  }
  ~PrivateTmp() {
    if (old_) {
      setenv("TMPDIR", old_->c_str(), 1);
    } else {
      unsetenv("TMPDIR");
    }
  }
  // Entries left in the private folder.
  std::vector<std::string> Left() const {
    const std::string folder = dir_ / ("tarnova-drelin-" + std::to_string(geteuid()));
    std::vector<std::string> names;
    if (!std::filesystem::exists(folder)) return names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }

 private:
  TempDir dir_;
  std::optional<std::string> old_;
};

TEST(BatchRepairCommand, RepairsReportsAndSavesEveryRow) {
  PrivateTmp tmp;
  TempDir dir;
  const Bytes a = DamagedTable("a");
  WriteFile(dir / "a.dbf", a);
  WriteFile(dir / "b.dbf", Bytes(5, 'x'));
  std::filesystem::create_directory(dir / "sub");
  WriteFile(dir / "sub/a.dbf", DamagedTable("suba"));
  std::filesystem::create_directory(dir / "out");
  WriteFile(dir / "out/Rep_1_a.dbf", {'o', 'l', 'd'});

  const CliResult result = RunCli(
      {"repair", "--out-dir", dir / "out", dir / "a.dbf", dir / "b.dbf", dir / "sub/a.dbf"});

  EXPECT_EQ(result.code, 1);
  EXPECT_EQ(result.out, Block(1, 3, dir / "a.dbf", true) + Block(2, 3, dir / "b.dbf", false) +
                            Block(3, 3, dir / "sub/a.dbf", true) + "Done " + dir / "a.dbf" + "\nFailed " + dir / "b.dbf" + "\nDone " +
                            dir / "sub/a.dbf" + "\n" +
                            dir / "a.dbf" + " -> " + dir / "out/Rep_(1)_1_a.dbf\n" +
                            dir / "sub/a.dbf" + " -> " + dir / "out/Rep_(1)_(1)_1_a.dbf\n");
  EXPECT_EQ(result.err, "drelin-repair: '" + dir / "b.dbf" + "': too short to be a dBASE table\n");
  EXPECT_EQ(ReadFile(dir / "out/Rep_(1)_1_a.dbf"), *ReferenceRepair(a, 0));
  EXPECT_EQ(ReadFile(dir / "out/Rep_(1)_(1)_1_a.dbf"), *ReferenceRepair(DamagedTable("suba"), 0));
  EXPECT_EQ(ReadFile(dir / "out/Rep_1_a.dbf"), (Bytes{'o', 'l', 'd'}));
  EXPECT_EQ(ReadFile(dir / "a.dbf"), a);
  // The run's working folder went with the process.
  EXPECT_TRUE(tmp.Left().empty());
}

TEST(BatchRepairCommand, ModePrefixAndDefaultFolder) {
  PrivateTmp tmp;
  TempDir dir;
  Bytes table = DamagedTable("x");
  table[32 * 3] = 0x0A;  // the terminator, turned into a line feed
  WriteFile(dir / "x.dbf", table);

  const CliResult result =
      RunCli({"repair", "--mode", "advance", "--prefix", "Arch\"v", dir / "x.dbf"}, dir.path());
  EXPECT_EQ(result.code, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(ReadFile(dir / "Arch\"v_1_x.dbf"), *ReferenceRepair(table, 1));
  EXPECT_NE(result.out.find("Done " + dir / "x.dbf" + "\n"), std::string::npos);
  EXPECT_EQ(result.out.find("Extraction Phase 1"), std::string::npos);
}

TEST(BatchRepairCommand, RefusesBadPrefixesAndMissingFoldersBeforeStarting) {
  PrivateTmp tmp;
  TempDir dir;
  WriteFile(dir / "a.dbf", DamagedTable("a"));
  WriteFile(dir / "file", {1});
  struct Case {
    std::vector<std::string> arguments;
    std::string message;
  };
  const std::vector<Case> cases = {
      {{"--prefix", ""}, "Please fill prefix (--prefix '')"},
      {{"--prefix", "a:b"}, "Illegal character found in file pre fix (--prefix 'a:b')"},
      {{"--prefix", "it's"}, "Illegal character found in file pre fix (--prefix 'it's')"},
      {{"--prefix", "a/b"}, "Illegal character found in file pre fix (--prefix 'a/b')"},
      {{"--prefix", std::string(51, 'p')}, "the prefix is longer than 50 characters"},
      {{"--out-dir", dir / "missing"}, "the output folder '" + dir / "missing" + "' does not exist"},
      {{"--out-dir", dir / "file"}, "is not a folder"},
  };
  for (const auto& test : cases) {
    std::vector<std::string> arguments{"repair"};
    arguments.insert(arguments.end(), test.arguments.begin(), test.arguments.end());
    arguments.push_back(dir / "a.dbf");
    const CliResult result = RunCli(arguments, dir.path());
    EXPECT_EQ(result.code, 2) << test.message;
    EXPECT_NE(result.err.find(test.message), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "");
  }
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"a.dbf", "file"}));
  EXPECT_TRUE(tmp.Left().empty());
}

// Two runs started at once over sources of the same names must never see
// each other's working files.
TEST(BatchRepairCommand, TwoRunsAtOnceKeepTheirResultsApart) {
  PrivateTmp tmp;
  TempDir dir;
  constexpr int kFiles = 150;
  std::vector<std::string> runs[2];
  for (int run = 0; run < 2; ++run) {
    const std::string folder = dir / ("run" + std::to_string(run));
    std::filesystem::create_directories(folder + "/out");
    runs[run] = {"repair", "--out-dir", folder + "/out"};
    for (int i = 0; i < kFiles; ++i) {
      const std::string path = folder + "/t" + std::to_string(i) + ".dbf";
      WriteFile(path, DamagedTable(std::to_string(run) + "/" + std::to_string(i)));
      runs[run].push_back(path);
    }
  }
  CliResult results[2];
  std::thread other([&] { results[1] = RunCli(runs[1]); });
  results[0] = RunCli(runs[0]);
  other.join();

  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE("run " + std::to_string(run));
    EXPECT_EQ(results[run].code, 0) << results[run].err;
    for (int i = 0; i < kFiles; ++i) {
      const std::string saved =
          dir / ("run" + std::to_string(run) + "/out/Rep_1_t" + std::to_string(i) + ".dbf");
      EXPECT_EQ(ReadFile(saved),
                *ReferenceRepair(DamagedTable(std::to_string(run) + "/" + std::to_string(i)), 0));
    }
  }
  EXPECT_TRUE(tmp.Left().empty());
}

// Raises Ctrl+C while the second source is being repaired, and goes on
// only once the stop has been taken.
class InterruptingIo : public SimulatedIo {
 public:
  explicit InterruptingIo(std::string trigger) : trigger_(std::move(trigger)) {}
  int Open(const char* path, int flags, mode_t mode) override {
    if (!raised_ && path == trigger_) {
      raised_ = true;
      kill(getpid(), SIGINT);
      while (!batch::g_bStopRequested) std::this_thread::yield();
    }
    return SimulatedIo::Open(path, flags, mode);
  }

 private:
  std::string trigger_;
  bool raised_ = false;
};

TEST(BatchRepairCommand, CtrlCStopsAfterTheFileInHandAndSavesTheFinished) {
  PrivateTmp tmp;
  TempDir dir;
  std::filesystem::create_directory(dir / "out");
  cli::RepairArguments arguments;
  arguments.outDir = dir / "out";
  for (const std::string name : {"a", "b", "c"}) {
    WriteFile(dir / (name + ".dbf"), DamagedTable(name));
    arguments.sources.push_back(dir / (name + ".dbf"));
  }
  InterruptingIo io(dir / "b.dbf");
  std::ostringstream out, err;

  EXPECT_EQ(cli::RunBatchRepair(io, arguments, out, err), 1);

  const std::string text = out.str();
  EXPECT_NE(text.find("Done " + dir / "a.dbf" + "\nFailed " + dir / "b.dbf" + "\nPending " +
                      dir / "c.dbf" + "\n" + dir / "a.dbf" + " -> " + dir / "out/Rep_1_a.dbf\n"),
            std::string::npos)
      << text;
  EXPECT_EQ(text.find("(3 of 3)"), std::string::npos);
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"a.dbf", "b.dbf", "c.dbf", "out"}));
  EXPECT_EQ(std::filesystem::directory_iterator(dir / "out")->path().filename(), "Rep_1_a.dbf");
  EXPECT_NE(err.str().find(dir / "c.dbf" + ": not repaired, the run was stopped"),
            std::string::npos)
      << err.str();
  EXPECT_TRUE(tmp.Left().empty());
}

}  // namespace
}  // namespace drelin::testing
