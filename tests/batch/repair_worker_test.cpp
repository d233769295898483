// The repair worker and the commands around a run: statuses, the exact log,
// Stop, the stop timer, Back, what stands in the work folder afterwards, and
// many stops at random moments, for ThreadSanitizer.
#include <random>
#include <thread>

#include "BatchHarness.h"

namespace drelin::testing {
namespace {

using batch::g_bRepairing;
using batch::g_bStopRequested;

std::string Opening(size_t index, size_t count, const std::string& path) {
  return "\r\nSelected File: (" + std::to_string(index) + " of " + std::to_string(count) +
         ")\r\nRepairing \r\n" + path + "\r\n\r\nRepair Progress...\r\n\tAnalyzing Header\r\n\t\t"
         "Error found in Header\r\n\t\tRepairing Header\r\n\tExtracting data";
}
std::string Closing(bool done) {
  return std::string("\r\n\tAdding data\r\nRepair ") +
         (done ? "Complete\r\nPlease select the file from the list below, and Double Click to "
                 "see the preview or save using \"Save Files\" from toolbar.\r\n\r\n"
               : "Failed");
}

using RepairWorkerTest = BatchHarness;

TEST_F(RepairWorkerTest, ThreeRowsWithTheSecondFailing) {
  const Words paths = {AddSource("a.dbf", DamagedTable("a")), AddSource("b.dbf", Bytes(10, ' ')),
                       AddSource("c.dbf", DamagedTable("c"))};
  // An earlier run's file under a's working name; a link planted under c's.
  WriteFile(WorkingPath(0, "a.dbf"), Bytes(100000, 'x'));
  WriteFile(sources / "victim", {'m', 'i', 'n', 'e'});
  std::filesystem::create_symlink(sources / "victim", WorkingPath(2, "c.dbf"));
  RunToEnd();
  const Screen screen = view.screen();

  EXPECT_EQ(screen.statusChanges,
            (Words{"0 Progress", "0 Done", "1 Progress", "1 Failed", "2 Progress", "2 Done"}));
  // Each block opens, shows the transient line while repairing, and closes;
  // the view is handed each piece once, never the log again.
  Words texts{""};
  const std::string transient = "\r\n\t\tExtraction Phase 1";
  for (size_t row = 0; row < 3; ++row) {
    const std::string opened = texts.back() + Opening(row + 1, 3, paths[row]);
    texts.insert(texts.end(), {opened, opened + transient, opened + Closing(row != 1)});
  }
  EXPECT_EQ(screen.logTexts, texts);
  EXPECT_EQ(screen.logHanded, screen.log.size() + 3 * transient.size());
  EXPECT_EQ(work.Entries(),
            (Words{"0ozn_aqf_xrj_196_temp_1_a.dbf", "2ozn_aqf_xrj_196_temp_1_c.dbf"}));
  EXPECT_EQ(ReadFile(WorkingPath(0, "a.dbf")), *ReferenceRepair(DamagedTable("a"), 0));
  EXPECT_EQ(ReadFile(WorkingPath(2, "c.dbf")), *ReferenceRepair(DamagedTable("c"), 0));
  EXPECT_EQ(ReadFile(sources / "victim"), (Bytes{'m', 'i', 'n', 'e'}));
  // The run is over: hint 2, Stop hidden, flags clear, results unsaved.
  EXPECT_TRUE(screen.hint == 2 && screen.repairPage && !screen.filePage && !screen.stopVisible);
  EXPECT_FALSE(g_bRepairing || g_bStopRequested || view.m_bSaved);
}

TEST_F(RepairWorkerTest, StopAnsweredNoThenYesDuringTheSecondOfThree) {
  const std::string a = AddSource("a.dbf", DamagedTable("a"));
  const std::string b = AddSource("b.dbf", DamagedTable("b"));
  AddSource("c.dbf", DamagedTable("c"));
  ASSERT_TRUE(view.HoldAfter("0 Progress", [&] { commands.OnRepair(); }));
  // Stop answered No or Cancel, Repair, a tick, Back and Save change nothing.
  answers = {kIdNo, kIdCancel};
  commands.OnStop();
  commands.OnStop();
  commands.OnRepair();
  commands.OnTimer();
  commands.OnBack();
  commands.OnSave();
  EXPECT_TRUE(view.m_nPage == 1 && view.screen().stopVisible && timers.empty());

  ASSERT_TRUE(view.HoldAfter("1 Progress", [&] { view.Resume(); }));
  answers = {kIdYes};
  commands.OnStop();
  EXPECT_EQ(timers, (std::map<int, int>{{61463, 1000}}));
  view.Resume();
  commands.WaitForWorker();
  commands.OnStop();  // no run: no question
  const std::string ask = "Are you sure that you want to stop the reparing of the file";
  EXPECT_EQ(shown, (Shown{{ask, 0x23}, {ask, 0x23},
                          {"Firstly stop the repairing of the file to go back", 0x30},
                          {"Firstly stop the Repairing to save the file", 0x30}, {ask, 0x23}}));

  // The file in hand was repaired to the end, then failed and removed.
  const Screen screen = view.screen();
  EXPECT_EQ(screen.statuses, (Words{"Done", "Failed", "Pending"}));
  EXPECT_EQ(screen.log, Opening(1, 3, a) + Closing(true) + Opening(2, 3, b) + Closing(false));
  EXPECT_EQ(work.Entries(), (Words{"0ozn_aqf_xrj_196_temp_1_a.dbf"}));
  // The Stop button is left to the timer, which tidies up at its tick.
  EXPECT_TRUE(screen.hint == 2 && screen.stopVisible);
  commands.OnTimer();
  EXPECT_TRUE(!view.screen().stopVisible && timers.empty());
}

TEST_F(RepairWorkerTest, StopConfirmedAsTheRunEndsSparesTheNextRun) {
  Bytes table = DamagedTable("a");
  table[32 * 3] = 0x0A;  // the terminator, turned into a line feed
  ASSERT_NE(ReferenceRepair(table, 0), ReferenceRepair(table, 1));
  AddSource("a.dbf", table);
  AddSource("b.dbf", table);
  view.m_bNormalMode = false;
  ASSERT_TRUE(view.HoldAfter("0 Progress", [&] { commands.OnRepair(); }));
  answers = {kIdYes, kIdNo};
  whileShown = [&] { view.Resume(); commands.WaitForWorker(); };  // the run ends meanwhile
  commands.OnStop();
  EXPECT_EQ(view.screen().statuses, (Words{"Done", "Done"}));
  EXPECT_EQ(ReadFile(WorkingPath(1, "b.dbf")), *ReferenceRepair(table, 1));

  // Back before the timer ticks, discarding; the stop must not live on.
  commands.OnBack();
  EXPECT_TRUE(view.m_nPage == 0 && view.screen().filePage && !view.screen().repairPage);
  view.m_bNormalMode = true;
  RunToEnd();
  EXPECT_EQ(view.screen().statuses, (Words{"Done", "Done"}));
  EXPECT_EQ(ReadFile(WorkingPath(1, "b.dbf")), *ReferenceRepair(table, 0));
}

TEST_F(RepairWorkerTest, NoWorkFolderOrNoRows) {
  AddSource("a.dbf", DamagedTable());
  auto refuse = []() -> std::string { throw FileError("use", "/tmp/x", "a link"); };
  batch::RepairCommands failing(view, *this, *this, *this, [] { return "Rep"; }, refuse);
  failing.OnRepair();
  EXPECT_EQ(shown, (Shown{{"cannot use '/tmp/x': a link", 0x30}}));
  EXPECT_TRUE(view.m_nPage == 0 && view.screen().statuses.empty());

  view.files.clear();  // a run without rows ends at once
  RunToEnd();
  EXPECT_EQ(view.screen().logTexts, (Words{""}));
  EXPECT_TRUE(view.screen().hint == 2 && !view.screen().stopVisible && !g_bRepairing);
}

// Whatever the moment of a stop, the rows, the log and the work folder
// agree, and the stop does not disturb the next run.
using StopStressTest = BatchHarness;

TEST_F(StopStressTest, ManyStopsAtRandomMoments) {
  for (int i = 0; i < 4; ++i) AddSource("t" + std::to_string(i) + ".dbf", DamagedTable());
  std::mt19937 random(20261206);
  for (int run = 0; run < 150; ++run) {
    SCOPED_TRACE("run " + std::to_string(run));
    answers = {kIdYes};
    commands.OnRepair();
    // Let the worker get somewhere, or nowhere, before Stop.
    for (unsigned spins = random() % 3000; spins > 0; --spins) std::this_thread::yield();
    commands.OnStop();
    if (random() % 2) commands.OnTimer();  // a tick that may come while the run goes on
    commands.WaitForWorker();
    commands.OnTimer();

    // Done rows, at most one failed by the stop, then untouched ones.
    const Screen screen = view.screen();
    const Words& words = screen.statuses;
    const size_t done = std::count(words.begin(), words.end(), "Done");
    const size_t reached = done + std::count(words.begin(), words.end(), "Failed");
    ASSERT_LE(reached, done + 1);
    for (size_t row = 0; row < 4; ++row) {
      EXPECT_EQ(words.at(row), row < done ? "Done" : row < reached ? "Failed" : "Pending") << row;
      const std::string opening = "(" + std::to_string(row + 1) + " of 4)";
      EXPECT_EQ(screen.log.find(opening) != std::string::npos, row < reached) << row;
    }
    EXPECT_EQ(work.Entries().size(), done);
    EXPECT_FALSE(batch::g_bRepairing || batch::g_bStopRequested || screen.stopVisible);

    answers = {kIdNo};  // discard
    commands.OnBack();
    ASSERT_EQ(view.m_nPage, 0);
    EXPECT_TRUE(work.Entries().empty());
  }
}

}  // namespace
}  // namespace drelin::testing
