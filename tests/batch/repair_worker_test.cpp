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

// One file's block of the log, as the user reads it.
std::string Block(int index, int count, const std::string& path, bool done) {
  std::string text = "\r\nSelected File: (" + std::to_string(index) + " of " +
                     std::to_string(count) +
                     ")\r\nRepairing \r\n" + path +
                     "\r\n\r\nRepair Progress...\r\n\tAnalyzing Header\r\n\t\tError found in "
                     "Header\r\n\t\tRepairing Header\r\n\tExtracting data\r\n\tAdding data";
  if (done) {
    return text +
           "\r\nRepair Complete\r\nPlease select the file from the list below, and Double Click "
           "to see the preview or save using \"Save Files\" from toolbar.\r\n\r\n";
  }
  return text + "\r\nRepair Failed";
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

  EXPECT_EQ(view.statuses(), (std::vector<std::string>{"Done", "Failed", "Done"}));
  EXPECT_EQ(view.log(), Block(1, 3, a, true) + Block(2, 3, b, false) + Block(3, 3, c, true));
  EXPECT_EQ(ReadFile(WorkingPath(0, 0, "a.dbf")), EngineOutput(a, kRepairNormal));
  EXPECT_EQ(ReadFile(WorkingPath(2, 0, "c.dbf")), EngineOutput(c, kRepairNormal));
  EXPECT_FALSE(Exists(WorkingPath(1, 0, "b.dbf")));
  ASSERT_EQ(view.failures().count(1), 1u);
  EXPECT_NE(view.failures().at(1).find(b), std::string::npos) << view.failures().at(1);

  // The run is over: hint 2, Stop hidden, flags clear, results unsaved.
  EXPECT_EQ(view.hint(), 2);
  EXPECT_FALSE(view.stopVisible());
  EXPECT_FALSE(g_bRepairing);
  EXPECT_FALSE(g_bStopRequested);
  EXPECT_FALSE(view.m_bSaved);
  EXPECT_EQ(view.m_nPage, 1);
  EXPECT_FALSE(view.filePageVisible());
  EXPECT_TRUE(view.repairPageVisible());

  // Each row shows "Progress" while it is repaired, then its result.
  std::vector<std::string> statusCalls;
  for (const auto& call : view.calls()) {
    if (call.rfind("SetRowStatus", 0) == 0) statusCalls.push_back(call);
  }
  EXPECT_EQ(statusCalls, (std::vector<std::string>{
                             "SetRowStatus 0 Progress", "SetRowStatus 0 Done",
                             "SetRowStatus 1 Progress", "SetRowStatus 1 Failed",
                             "SetRowStatus 2 Progress", "SetRowStatus 2 Done"}));
}

TEST_F(RepairWorkerTest, ExtractionLineShowsOnlyWhileAFileIsRepaired) {
  AddSource("a.dbf", DamagedTable("a"));
  AddSource("b.dbf", DamagedTable("b"));
  RunToEnd();

  const auto texts = view.logTexts();
  // Per file: the opening block, the transient line, the closed block.
  ASSERT_EQ(texts.size(), 1u + 2 * 3);
  EXPECT_EQ(texts[0], "");
  for (int file = 0; file < 2; ++file) {
    const std::string& opened = texts[1 + 3 * file];
    EXPECT_EQ(texts[2 + 3 * file], opened + "\r\n\t\tExtraction Phase 1");
    EXPECT_EQ(texts[3 + 3 * file].find("Extraction Phase 1"), std::string::npos);
  }
  // The log scrolls by 6 and then 12 more per file, to the transient line,
  // and to its end after each file and at the end of the run.
  const int lines1 = 15, lines2 = 29;
  EXPECT_EQ(view.scrolls(), (std::vector<int>{6, 19, lines1, 18, 31, lines2, lines2}));
}

TEST_F(RepairWorkerTest, EmptyRunEndsAtOnce) {
  view.files.push_back({sources / "unchecked.dbf", false});
  RunToEnd();
  EXPECT_EQ(view.log(), "");
  EXPECT_EQ(view.rowCount(), 0u);
  EXPECT_EQ(view.hint(), 2);
  EXPECT_FALSE(view.stopVisible());
  EXPECT_FALSE(g_bRepairing);
}

TEST_F(RepairWorkerTest, RefusedOrCancelledStartChangesNothing) {
  commands.OnRepair();  // empty file list
  AddSource("a.dbf", DamagedTable());
  view.modeDialogAccepted = false;
  commands.OnNext();
  EXPECT_EQ(view.m_nPage, 0);
  EXPECT_EQ(view.rowCount(), 0u);
  EXPECT_TRUE(view.filePageVisible());
  EXPECT_FALSE(g_bRepairing);
}

TEST_F(RepairWorkerTest, StopConfirmedDuringTheSecondOfThree) {
  AddSource("a.dbf", DamagedTable("a"));
  const std::string b = AddSource("b.dbf", DamagedTable("b"));
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

  // The file in hand was repaired, then counted as failed and removed.
  EXPECT_EQ(view.statuses(), (std::vector<std::string>{"Done", "Failed", "Pending"}));
  EXPECT_TRUE(Exists(WorkingPath(0, 0, "a.dbf")));
  EXPECT_FALSE(Exists(WorkingPath(1, 0, "b.dbf")));
  EXPECT_FALSE(Exists(WorkingPath(2, 0, "c.dbf")));
  const std::string log = view.log();
  EXPECT_EQ(log.substr(log.size() - 15), "\r\nRepair Failed");
  EXPECT_EQ(log.find("(3 of 3)"), std::string::npos);
  EXPECT_EQ(view.hint(), 2);
  EXPECT_FALSE(g_bRepairing);

  // The Stop button is left to the timer, which tidies up at its next tick.
  EXPECT_TRUE(view.stopVisible());
  commands.OnTimer();
  EXPECT_FALSE(view.stopVisible());
  EXPECT_FALSE(g_bStopRequested);
  EXPECT_TRUE(timer.running.empty());
}

TEST_F(RepairWorkerTest, StopAnsweredNoOrCancelChangesNothing) {
  AddSource("a.dbf", DamagedTable("a"));
  AddSource("b.dbf", DamagedTable("b"));
  view.PauseAfter([](const std::string& call) { return call == "SetRowStatus 0 Progress"; });
  commands.OnRepair();
  view.WaitUntilPaused();
  messages.answers = {kIdNo, batch::kIdCancel};
  commands.OnStop();
  commands.OnStop();
  EXPECT_FALSE(g_bStopRequested);
  EXPECT_TRUE(timer.starts.empty());
  view.Resume();
  commands.WaitForWorker();
  EXPECT_EQ(view.statuses(), (std::vector<std::string>{"Done", "Done"}));

  // With no run going on, Stop asks nothing.
  commands.OnStop();
  EXPECT_EQ(messages.shown.size(), 2u);
}

TEST_F(RepairWorkerTest, CommandsWhileRepairingAreRefused) {
  AddSource("a.dbf", DamagedTable("a"));
  view.PauseAfter([](const std::string& call) { return call == "SetRowStatus 0 Progress"; });
  commands.OnRepair();
  view.WaitUntilPaused();

  commands.OnBack();
  commands.OnSave();
  commands.OnRepair();  // not on the file page: no second run
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(messages.shown[0].text, "Firstly stop the repairing of the file to go back");
  EXPECT_EQ(messages.shown[0].style, 0x30u);
  EXPECT_EQ(messages.shown[1].text, "Firstly stop the Repairing to save the file");
  EXPECT_EQ(messages.shown[1].style, 0x30u);
  EXPECT_EQ(view.m_nPage, 1);
  EXPECT_TRUE(folders.titles.empty());

  view.Resume();
  commands.WaitForWorker();
  EXPECT_EQ(view.statuses(), (std::vector<std::string>{"Done"}));
}

TEST_F(RepairWorkerTest, StaleAndPlantedWorkingEntriesAreReplacedNeverFollowed) {
  const std::string a = AddSource("a.dbf", DamagedTable("a"));
  const std::string b = AddSource("b.dbf", DamagedTable("b"));
  WriteFile(WorkingPath(0, 0, "a.dbf"), Bytes(100000, 'x'));  // an earlier run's file
  const std::string victim = sources / "victim.txt";
  WriteFile(victim, {'m', 'i', 'n', 'e'});
  ASSERT_EQ(symlink(victim.c_str(), WorkingPath(1, 0, "b.dbf").c_str()), 0);

  RunToEnd();

  EXPECT_EQ(view.statuses(), (std::vector<std::string>{"Done", "Done"}));
  EXPECT_EQ(ReadFile(WorkingPath(0, 0, "a.dbf")), EngineOutput(a, kRepairNormal));
  EXPECT_EQ(ReadFile(WorkingPath(1, 0, "b.dbf")), EngineOutput(b, kRepairNormal));
  struct stat status {};
  ASSERT_EQ(lstat(WorkingPath(1, 0, "b.dbf").c_str(), &status), 0);
  EXPECT_TRUE(S_ISREG(status.st_mode));
  EXPECT_EQ(ReadFile(victim), (Bytes{'m', 'i', 'n', 'e'}));
}

TEST_F(RepairWorkerTest, TheChosenModeRepairsEveryRow) {
  // The terminator became a line feed: only Advance repair puts it back.
  Bytes table = DamagedTable("a");
  table[32 * 3] = 0x0A;
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
  EXPECT_EQ(view.statuses(), (std::vector<std::string>{"Done", "Done"}));

  // Back before the timer ticks stops the timer; the flag must not live on.
  commands.OnBack();
  ASSERT_EQ(view.m_nPage, 0);
  RunToEnd();
  EXPECT_EQ(view.statuses(), (std::vector<std::string>{"Done", "Done"}));
}

TEST_F(RepairWorkerTest, TimerAfterBackReturnsToTheFilePage) {
  AddSource("a.dbf", DamagedTable("a"));
  view.PauseAfter([](const std::string& call) { return call == "SetRowStatus 0 Progress"; });
  commands.OnRepair();
  view.WaitUntilPaused();
  commands.OnTimer();  // a run going on: nothing
  EXPECT_TRUE(view.repairPageVisible());
  view.Resume();
  commands.WaitForWorker();

  messages.answers = {kIdNo};
  commands.OnBack();
  EXPECT_EQ(view.m_nPage, 0);
  EXPECT_TRUE(view.filePageVisible());
  EXPECT_FALSE(view.repairPageVisible());
  EXPECT_EQ(view.rowCount(), 0u);
  EXPECT_EQ(view.hint(), 0);
  commands.OnBack();  // on the file page: nothing
  EXPECT_EQ(messages.shown.size(), 1u);
}

TEST_F(RepairWorkerTest, NoWorkFolderMeansNoRun) {
  AddSource("a.dbf", DamagedTable("a"));
  FakeView otherView;
  otherView.files = view.files;
  batch::RepairCommands failing(otherView, messages, folders, timer, [] { return "Rep"; },
                                []() -> std::string {
                                  throw FileError("use the temporary folder", "/tmp/x",
                                                  "it is a symbolic link");
                                });
  failing.OnRepair();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text,
            "cannot use the temporary folder '/tmp/x': it is a symbolic link");
  EXPECT_EQ(otherView.m_nPage, 0);
  EXPECT_EQ(otherView.rowCount(), 0u);
  EXPECT_FALSE(g_bRepairing);
}

}  // namespace
}  // namespace drelin::testing
