// Stops at random moments of many runs, for ThreadSanitizer: whatever the
// moment, the rows, the log and the work folder agree, and the next run is
// not disturbed by the last one's stop.
#include <gtest/gtest.h>

#include <random>
#include <thread>

#include "BatchHarness.h"

namespace drelin::testing {
namespace {

using StopStressTest = BatchHarness;

TEST_F(StopStressTest, ManyStopsAtRandomMoments) {
  constexpr int kFiles = 4;
  for (int i = 0; i < kFiles; ++i) AddSource("t" + std::to_string(i) + ".dbf", DamagedTable());
  std::mt19937 random(20261206);

  for (int run = 0; run < 150; ++run) {
    SCOPED_TRACE("run " + std::to_string(run));
    messages.answers = {batch::kIdYes};
    commands.OnRepair();
    // Let the worker get somewhere, or nowhere, before Stop.
    const int spins = std::uniform_int_distribution<int>(0, 3000)(random);
    for (int k = 0; k < spins; ++k) std::this_thread::yield();
    commands.OnStop();
    if (random() % 2) commands.OnTimer();  // a tick that may come while the run goes on
    commands.WaitForWorker();
    commands.OnTimer();

    // Rows: finished ones, then at most one failed by the stop, then
    // untouched ones, in that order.
    const auto screen = view.screen();
    const auto& words = screen.statuses;
    ASSERT_EQ(words.size(), static_cast<size_t>(kFiles));
    size_t finished = 0;
    while (finished < words.size() && words[finished] == "Done") ++finished;
    size_t reached = finished;
    if (reached < words.size() && words[reached] == "Failed") ++reached;
    for (size_t row = reached; row < words.size(); ++row) ASSERT_EQ(words[row], "Pending");

    // The log holds one block per reached row; the work folder one file
    // per "Done" row.
    const std::string& log = screen.log;
    for (size_t row = 0; row < words.size(); ++row) {
      const std::string opening = "(" + std::to_string(row + 1) + " of " + std::to_string(kFiles) + ")";
      EXPECT_EQ(log.find(opening) != std::string::npos, row < reached) << row;
    }
    EXPECT_EQ(work.Entries().size(), finished);
    EXPECT_FALSE(batch::g_bRepairing);
    EXPECT_FALSE(batch::g_bStopRequested);
    EXPECT_FALSE(view.screen().stopVisible);

    messages.answers = {batch::kIdNo};  // discard
    commands.OnBack();
    ASSERT_EQ(view.m_nPage, 0);
    EXPECT_TRUE(work.Entries().empty());
  }
}

}  // namespace
}  // namespace drelin::testing
