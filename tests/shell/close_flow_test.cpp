// The close flow, from the window manager's close, File > Exit and the
// typed mnemonic: refused during a run, the view's unsaved-results check (a
// failed save refuses the close and keeps the files), the exit question,
// the restored minimised window, and the process's end with status 0 once
// the settings are flushed and the work folder is gone.
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include "FrameHarness.h"
#include "WorkFolder.h"

namespace drelin::testing {
namespace {

using CloseFlowTest = FrameHarness;

constexpr char kAskExit[] = "Do you really want to exit ?";
constexpr char kAskSave[] = "Repaired files have not been saved. Do you want to save it?";

TEST_F(CloseFlowTest, RefusedWhileARepairRuns) {
  ASSERT_TRUE(Start());
  batch::g_bRepairing = true;
  ScopedMessageBoxAnswers answers({1}, FailTest);
  EXPECT_FALSE(frame().close());
  EXPECT_EQ(Texts(answers), (std::vector<QString>{"First stop the reparing of file by clicking the stop button"}));
  EXPECT_EQ(answers.shown()[0].caption, "Tarnova Drelin DBF");
  EXPECT_EQ(answers.shown()[0].style, 0u);
  EXPECT_TRUE(frame().isVisible());
  EXPECT_TRUE(exits.empty());
}

TEST_F(CloseFlowTest, NoToTheQuestionKeepsTheWindowOnItsFirstPageYesEndsTheProcess) {
  ASSERT_TRUE(Start());
  Repair({SampleCopy("wrong_record_count.dbf")});
  ASSERT_EQ(view().m_nPage, 1);
  {
    // Discard the results, then No.
    ScopedMessageBoxAnswers answers({7, 7}, FailTest);
    EXPECT_FALSE(frame().close());
    EXPECT_EQ(Texts(answers), (std::vector<QString>{kAskSave, kAskExit}));
    EXPECT_EQ(answers.shown()[1].style, 0x24u);
  }
  EXPECT_TRUE(frame().isVisible());
  EXPECT_EQ(view().m_nPage, 0);
  EXPECT_TRUE(work.Entries().empty());
  EXPECT_TRUE(exits.empty());
  {
    // Cancelling the unsaved-results question stops before the exit question.
    Repair({});
    ScopedMessageBoxAnswers answers({2}, FailTest);
    EXPECT_FALSE(frame().close());
    EXPECT_EQ(Texts(answers), (std::vector<QString>{kAskSave}));
    EXPECT_EQ(view().m_nPage, 1);
  }
  {
    ScopedMessageBoxAnswers answers({7, 6}, FailTest);
    // The process's own work folder goes before the end.
    const std::string own = platform::ProcessWorkFolder();
    frame().close();
    EXPECT_EQ(exits, (std::vector<int>{0}));
    EXPECT_FALSE(std::filesystem::exists(own));
  }
}

TEST_F(CloseFlowTest, AFailedSaveRefusesTheCloseAndKeepsTheWorkingFiles) {
  ASSERT_TRUE(Start());
  Repair({SampleCopy("wrong_record_count.dbf")});
  const Paths working = work.Entries();
  ASSERT_EQ(working.size(), 1u);
  const std::string missing = saved / "gone";
  ScopedMessageBoxAnswers answers({6, 1}, FailTest);  // save; OK to the failure
  ScopedModalAnswers folder({}, FailTest);
  folder.QueueFolder(missing);
  EXPECT_FALSE(frame().close());
  ASSERT_EQ(answers.shown().size(), 2u);
  const QString failure = answers.shown()[1].text;
  EXPECT_TRUE(failure.startsWith("Saving stopped: ")) << failure.toStdString();
  EXPECT_TRUE(failure.contains(QString::fromStdString(missing))) << failure.toStdString();
  EXPECT_TRUE(failure.contains("No such file or directory")) << failure.toStdString();
  EXPECT_TRUE(frame().isVisible());
  EXPECT_EQ(view().m_nPage, 1);
  EXPECT_EQ(work.Entries(), working);
  EXPECT_TRUE(exits.empty());
}

TEST_F(CloseFlowTest, AMinimisedWindowComesBackBeforeTheQuestion) {
  ASSERT_TRUE(Start());
  frame().showMinimized();
  ASSERT_TRUE(frame().isMinimized());
  ScopedMessageBoxAnswers answers({7}, FailTest);
  EXPECT_FALSE(frame().close());
  EXPECT_EQ(answers.shown().size(), 1u);
  EXPECT_FALSE(frame().isMinimized());
  EXPECT_TRUE(frame().isMaximized());  // as it was before
  // A window of its own size stays as it is.
  frame().showNormal();
  frame().resize(900, 700);
  answers.Add(7);
  frame().close();
  EXPECT_FALSE(frame().isMaximized());
  EXPECT_EQ(frame().size(), QSize(900, 700));
}

TEST_F(CloseFlowTest, ExitFromTheMenuAndItsTypedMnemonicRunTheCloseFlow) {
  ASSERT_TRUE(Start());
  QMenu* file = frame().menuBar()->actions().at(0)->menu();
  ScopedMessageBoxAnswers answers({7, 6}, FailTest);
  file->actions().at(3)->trigger();
  EXPECT_TRUE(exits.empty());
  Activate(frame());
  frame().menuBar()->setActiveAction(file->menuAction());
  ASSERT_TRUE(file->isVisible());
  QTest::keyClick(file, Qt::Key_X);
  EXPECT_EQ(Texts(answers), (std::vector<QString>{kAskExit, kAskExit}));
  EXPECT_EQ(exits, (std::vector<int>{0}));
}

}  // namespace
}  // namespace drelin::testing
