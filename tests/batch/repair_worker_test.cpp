// The repair worker and the commands around a run: statuses, the exact log,
// Stop, the stop timer, Back, and what stands in the work folder afterwards.
#include <gtest/gtest.h>
#include <unistd.h>

#include "BatchHarness.h"
#include "FileError.h"

namespace drelin::testing {
namespace {

using batch::g_bRepairing;
using batch::g_bStopRequested;
using batch::kIdNo;
using batch::kIdYes;
using Words = std::vector<std::string>;

// One file's block of the log, as the user reads it.
std::string Block(int index, int count, const std::string& path, bool done) {
  const std::string text =
      "\r\nSelected File: (" + std::to_string(index) + " of " + std::to_string(count) +
      ")\r\nRepairing \r\n" + path +
      "\r\n\r\nRepair Progress...\r\n\tAnalyzing Header\r\n\t\tError found in "
      "Header\r\n\t\tRepairing Header\r\n\tExtracting data\r\n\tAdding data";
  return text + (done ? "\r\nRepair Complete\r\nPlease select the file from the list below, and "
                        "Double Click to see the preview or save using \"Save Files\" from "
                        "toolbar.\r\n\r\n"
                      : "\r\nRepair Failed");
}

bool Exists(const std::string& path) {
  struct stat status {};
  return lstat(path.c_str(), &status) == 0;
}

using RepairWorkerTest = BatchHarness;

TEST_F(RepairWorkerTest, ThreeRowsWithTheSecondFailing) {
  const std::string a = AddSource("a.dbf", DamagedTable("a"));
  const std::string b = AddBrokenSource("b.dbf");
  const std::string c = AddSource("c.dbf", DamagedTable("c"));
  RunToEnd();
  const auto screen = view.screen();

  EXPECT_EQ(screen.statuses, (Words{"Done", "Failed", "Done"}));
  EXPECT_EQ(screen.log, Block(1, 3, a, true) + Block(2, 3, b, false) + Block(3, 3, c, true));
  EXPECT_EQ(ReadFile(WorkingPath(0, 0, "a.dbf")), EngineOutput(a, kRepairNormal));
  EXPECT_EQ(ReadFile(WorkingPath(2, 0, "c.dbf")), EngineOutput(c, kRepairNormal));
  EXPECT_FALSE(Exists(WorkingPath(1, 0, "b.dbf")));
  EXPECT_NE(screen.failures.at(1).find(b), std::string::npos) << screen.failures.at(1);
  // Each row shows "Progress" while it is repaired.
  Words statusCalls;
  for (const auto& call : screen.calls) {
    if (call.rfind("SetRowStatus", 0) == 0) statusCalls.push_back(call.substr(13));
  }
  EXPECT_EQ(statusCalls, (Words{"0 Progress", "0 Done", "1 Progress", "1 Failed", "2 Progress",
                                "2 Done"}));
  // The run is over: hint 2, Stop hidden, flags clear, results unsaved.
  EXPECT_EQ(screen.hint, 2);
  EXPECT_FALSE(screen.stopVisible);
  EXPECT_TRUE(screen.repairPage && !screen.filePage);
  EXPECT_FALSE(g_bRepairing || g_bStopRequested || view.m_bSaved);
}

TEST_F(RepairWorkerTest, ExtractionLineShowsOnlyWhileAFileIsRepaired) {
  AddSource("a.dbf", DamagedTable("a"));
  AddSource("b.dbf", DamagedTable("b"));
  RunToEnd();
  const auto screen = view.screen();

  // Per file: the opening block, the transient line, the closed block.
  ASSERT_EQ(screen.logTexts.size(), 1u + 2 * 3);
  for (int file = 0; file < 2; ++file) {
    const std::string& opened = screen.logTexts[1 + 3 * file];
    EXPECT_EQ(screen.logTexts[2 + 3 * file], opened + "\r\n\t\tExtraction Phase 1");
    EXPECT_EQ(screen.logTexts[3 + 3 * file].find("Extraction"), std::string::npos);
  }
  // Down by 6, then 12 more per file; to the transient line; to the end
  // after each file (15 and 29 lines) and after the run.
  EXPECT_EQ(screen.scrolls, (std::vector<int>{6, 19, 15, 18, 31, 29, 29}));
}

TEST_F(RepairWorkerTest, EmptyRunEndsAtOnce) {
  view.files.push_back({sources / "unchecked.dbf", false});
  RunToEnd();
  const auto screen = view.screen();
  EXPECT_EQ(screen.log, "");
  EXPECT_TRUE(screen.statuses.empty());
  EXPECT_EQ(screen.hint, 2);
  EXPECT_FALSE(screen.stopVisible);
  EXPECT_FALSE(g_bRepairing);
}

TEST_F(RepairWorkerTest, StopConfirmedDuringTheSecondOfThree) {
  AddSource("a.dbf", DamagedTable("a"));
  AddSource("b.dbf", DamagedTable("b"));
  AddSource("c.dbf", DamagedTable("c"));
  view.PauseAfter([](const std::string& call) { return call == "SetRowStatus 1 Progress"; });
  commands.OnRepair();
  view.WaitUntilPaused();

  messages.answers = {kIdYes};
  commands.OnStop();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "Are you sure that you want to stop the reparing of the file");
  EXPECT_EQ(messages.shown[0].caption, "Tarnova Drelin DBF");
  EXPECT_EQ(messages.shown[0].style, 0x23u);
  EXPECT_EQ(timer.starts, (std::vector<std::pair<int, int>>{{61463, 1000}}));
  EXPECT_EQ(view.m_nTimerId, 61463);
  view.Resume();
  commands.WaitForWorker();

  // The file in hand was repaired to the end, then failed and removed.
  auto screen = view.screen();
  EXPECT_EQ(screen.statuses, (Words{"Done", "Failed", "Pending"}));
  EXPECT_TRUE(Exists(WorkingPath(0, 0, "a.dbf")));
  EXPECT_FALSE(Exists(WorkingPath(1, 0, "b.dbf")));
  EXPECT_EQ(screen.log.substr(screen.log.size() - 15), "\r\nRepair Failed");
  EXPECT_EQ(screen.log.find("(3 of 3)"), std::string::npos);
  EXPECT_EQ(screen.hint, 2);
  EXPECT_FALSE(g_bRepairing);

  // The Stop button is left to the timer, which tidies up at its tick.
  EXPECT_TRUE(screen.stopVisible);
  commands.OnTimer();
  EXPECT_FALSE(view.screen().stopVisible);
  EXPECT_FALSE(g_bStopRequested);
  EXPECT_TRUE(timer.running.empty());
}

TEST_F(RepairWorkerTest, CommandsWhileRepairingAreRefusedOrDeclined) {
  AddSource("a.dbf", DamagedTable("a"));
  AddSource("b.dbf", DamagedTable("b"));
  view.PauseAfter([](const std::string& call) { return call == "SetRowStatus 0 Progress"; });
  commands.OnRepair();
  view.WaitUntilPaused();

  messages.answers = {kIdNo, batch::kIdCancel};
  commands.OnStop();
  commands.OnStop();
  commands.OnBack();
  commands.OnSave();
  commands.OnRepair();  // not on the file page: no second run
  commands.OnTimer();   // a run going on: nothing
  ASSERT_EQ(messages.shown.size(), 4u);
  EXPECT_EQ(messages.shown[2].text, "Firstly stop the repairing of the file to go back");
  EXPECT_EQ(messages.shown[2].style, 0x30u);
  EXPECT_EQ(messages.shown[3].text, "Firstly stop the Repairing to save the file");
  EXPECT_EQ(messages.shown[3].style, 0x30u);
  EXPECT_FALSE(g_bStopRequested);
  EXPECT_TRUE(timer.starts.empty());
  EXPECT_EQ(view.m_nPage, 1);
  EXPECT_TRUE(view.screen().repairPage);

  view.Resume();
  commands.WaitForWorker();
  EXPECT_EQ(view.screen().statuses, (Words{"Done", "Done"}));
  commands.OnStop();  // no run: no question
  EXPECT_EQ(messages.shown.size(), 4u);
}

TEST_F(RepairWorkerTest, StaleAndPlantedWorkingEntriesAreReplacedNeverFollowed) {
  const std::string a = AddSource("a.dbf", DamagedTable("a"));
  const std::string b = AddSource("b.dbf", DamagedTable("b"));
  WriteFile(WorkingPath(0, 0, "a.dbf"), Bytes(100000, 'x'));  // an earlier run's file
  const std::string victim = sources / "victim.txt";
  WriteFile(victim, {'m', 'i', 'n', 'e'});
  ASSERT_EQ(symlink(victim.c_str(), WorkingPath(1, 0, "b.dbf").c_str()), 0);

  RunToEnd();

  EXPECT_EQ(view.screen().statuses, (Words{"Done", "Done"}));
  EXPECT_EQ(ReadFile(WorkingPath(0, 0, "a.dbf")), EngineOutput(a, kRepairNormal));
  EXPECT_EQ(ReadFile(WorkingPath(1, 0, "b.dbf")), EngineOutput(b, kRepairNormal));
  EXPECT_EQ(ReadFile(victim), (Bytes{'m', 'i', 'n', 'e'}));
}

TEST_F(RepairWorkerTest, TheChosenModeRepairsEveryRow) {
  Bytes table = DamagedTable("a");
  table[32 * 3] = 0x0A;  // the terminator, turned into a line feed
  const std::string a = AddSource("a.dbf", table);
  const std::string b = AddSource("b.dbf", table);
  ASSERT_NE(EngineOutput(a, kRepairNormal), EngineOutput(a, kRepairAdvance));

  view.chooseNormalMode = false;
  RunToEnd();
  EXPECT_EQ(ReadFile(WorkingPath(0, 0, "a.dbf")), EngineOutput(a, kRepairAdvance));
  EXPECT_EQ(ReadFile(WorkingPath(1, 0, "b.dbf")), EngineOutput(b, kRepairAdvance));

  messages.answers = {kIdNo};  // discard, and back to the file page
  commands.OnBack();
  view.chooseNormalMode = true;
  RunToEnd();
  EXPECT_EQ(ReadFile(WorkingPath(0, 0, "a.dbf")), EngineOutput(a, kRepairNormal));
}

TEST_F(RepairWorkerTest, StopConfirmedAfterTheRunEndedDoesNotStopTheNextRun) {
  AddSource("a.dbf", DamagedTable("a"));
  AddSource("b.dbf", DamagedTable("b"));
  view.PauseAfter([](const std::string& call) { return call == "SetRowStatus 0 Progress"; });
  commands.OnRepair();
  view.WaitUntilPaused();
  // The run ends while the question is up.
  messages.answers = {kIdYes, kIdNo};
  messages.whileShown = [&] {
    messages.whileShown = nullptr;
    view.Resume();
    commands.WaitForWorker();
  };
  commands.OnStop();
  EXPECT_EQ(view.screen().statuses, (Words{"Done", "Done"}));

  // Back before the timer ticks stops the timer; the flag must not live on.
  commands.OnBack();
  ASSERT_EQ(view.m_nPage, 0);
  EXPECT_TRUE(view.screen().filePage && !view.screen().repairPage);
  RunToEnd();
  EXPECT_EQ(view.screen().statuses, (Words{"Done", "Done"}));
}

TEST_F(RepairWorkerTest, NoWorkFolderMeansNoRun) {
  AddSource("a.dbf", DamagedTable("a"));
  batch::RepairCommands failing(view, messages, folders, timer, [] { return "Rep"; },
                                []() -> std::string {
                                  throw FileError("use the temporary folder", "/tmp/x",
                                                  "it is a symbolic link");
                                });
  failing.OnRepair();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text,
            "cannot use the temporary folder '/tmp/x': it is a symbolic link");
  EXPECT_EQ(view.m_nPage, 0);
  EXPECT_TRUE(view.screen().statuses.empty());
  EXPECT_FALSE(g_bRepairing);
}

}  // namespace
}  // namespace drelin::testing
