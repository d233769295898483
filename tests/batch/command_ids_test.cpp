// The command router's way into the batch: each of the batch's numbered
// commands reaches its handler, and every other id is left to the view.
#include "BatchHarness.h"
#include "ResourceIds.h"

namespace drelin::testing {
namespace {

using CommandIdTest = BatchHarness;

TEST_F(CommandIdTest, IdsReachTheirCommands) {
  for (const int id : {res::kIdAddFiles, res::kIdPreview, res::kCmdSettings, res::kStopTimerId, 0})
    EXPECT_FALSE(commands.OnCommand(id)) << id;
  AddSource("a.dbf", DamagedTable("a"));
  EXPECT_TRUE(commands.OnCommand(res::kIdBack));  // on the file page: nothing
  EXPECT_EQ(view.m_nPage, 0);

  ASSERT_TRUE(commands.OnCommand(res::kIdRepairFile));
  commands.WaitForWorker();
  EXPECT_TRUE(view.m_nPage == 1 && view.screen().statuses == Words{"Done"});
  EXPECT_TRUE(commands.OnCommand(res::kIdSave));  // saved, back to the file page
  EXPECT_TRUE(folderAsks == 1 && view.screen().saved.size() == 1 && view.m_nPage == 0);

  AddSource("b.dbf", DamagedTable("b"));
  ASSERT_TRUE(view.HoldAfter("0 Progress", [&] { commands.OnCommand(res::kIdNext); }));
  answers = {kIdYes};
  EXPECT_TRUE(commands.OnCommand(res::kIdStop));
  EXPECT_EQ(timers, (std::map<int, int>{{61463, 1000}}));
  view.Resume();
  commands.WaitForWorker();
  EXPECT_EQ(shown, (Shown{{"Are you sure that you want to stop the reparing of the file", 0x23}}));
}

}  // namespace
}  // namespace drelin::testing
