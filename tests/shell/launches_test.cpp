// Help, Live Update and the home page from the start folder: the missing
// companions' messages, the help page opened by its menu item and by F1
// anywhere in the view, the updater started with its argument in the start
// folder only after the close flow's checks, the program kept when the
// user says No or the updater does not start, and the home page's address.
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QUrl>

#include "FrameHarness.h"
#include "LogoButton.h"
#include "Launches.h"
#include "ProgramStart.h"
#include "ShellLaunch.h"

namespace drelin::testing {
namespace {

constexpr char kAskUpdate[] =
    "The application will be closed if you want to run Live Update of the software. Continue ?";

class LaunchesTest : public FrameHarness {
 protected:
  std::string Companion(const char* name) {
    WriteFile(start / name, Bytes{'x'});
    return start / name;
  }
  std::vector<QUrl> opened;
  ScopedShellOpener opener{[this](const QUrl& url) {
    opened.push_back(url);
    return true;
  }};
  struct Launch {
    QString program;
    QStringList arguments;
    QString folder;
  };
  std::vector<Launch> starts;
  ProgramStart::Result startResult{true, QString()};
  ScopedProgramStarter starter{[this](const QString& program, const QStringList& arguments) {
    starts.push_back({program, arguments, QDir::currentPath()});
    return startResult;
  }};
};

TEST_F(LaunchesTest, HelpOpensThePageOrSaysItIsMissing) {
  ASSERT_TRUE(Start());
  {
    ScopedMessageBoxAnswers answers({1, 1}, FailTest);
    frame().router().Dispatch(32786);
    frame().router().Dispatch(32771);
    EXPECT_EQ(Texts(answers), std::vector<QString>(2, " Help file for Tarnova Drelin DBF not found."));
    EXPECT_EQ(answers.shown()[0].style, 0x40u);
    EXPECT_EQ(answers.shown()[0].caption, "Tarnova Drelin DBF");
  }
  EXPECT_TRUE(opened.empty());
  const std::string page = Companion("Tarnova Drelin for DBF.html");
  frame().menuBar()->actions().at(2)->menu()->actions().at(0)->trigger();  // Help > Help
  Activate(frame());
  for (QWidget* target : {static_cast<QWidget*>(view().fileList()), static_cast<QWidget*>(view().checkAllBox()),
                          static_cast<QWidget*>(&view())}) {
    QTest::keyClick(target, Qt::Key_F1);
  }
  EXPECT_EQ(opened, std::vector<QUrl>(4, QUrl::fromLocalFile(QString::fromStdString(page))));
}

TEST_F(LaunchesTest, CompanionsAreLookedForWithOneSeparator) {
  for (const char* folder : {"/opt/drelin", "/opt/drelin/"}) {
    const Launches launches(QString::fromLatin1(folder), {});
    EXPECT_EQ(launches.CompanionPath("Drelin Live Update"), "/opt/drelin/Drelin Live Update");
  }
}

// A missing updater is told; with it there, No keeps the program as it was.
TEST_F(LaunchesTest, AMissingUpdaterOrNoKeepsTheProgramInTheStartFolder) {
  ASSERT_TRUE(Start());
  ScopedMessageBoxAnswers answers({1, 7}, FailTest);
  frame().router().Dispatch(32785);
  Companion("Drelin Live Update");
  frame().router().Dispatch(61450);
  EXPECT_EQ(Texts(answers), (std::vector<QString>{"Live Update file not found. Please re-install the software.",
                                                  kAskUpdate}));
  EXPECT_EQ(answers.shown()[0].style, 0x40u);
  EXPECT_EQ(answers.shown()[1].style, 0x24u);
  EXPECT_TRUE(starts.empty());
  EXPECT_TRUE(exits.empty());
  EXPECT_TRUE(frame().isVisible());
  EXPECT_EQ(QDir::currentPath(), QString::fromStdString(start.path().string()));
}

TEST_F(LaunchesTest, RefusedWhileARepairRunsAndAfterTheUnsavedResultsAreKept) {
  ASSERT_TRUE(Start());
  Companion("Drelin Live Update");
  batch::g_bRepairing = true;
  {
    ScopedMessageBoxAnswers answers({1}, FailTest);
    frame().router().Dispatch(32785);
    EXPECT_EQ(Texts(answers), (std::vector<QString>{"First stop the reparing of file by clicking the stop button"}));
  }
  batch::g_bRepairing = false;
  Repair({SampleCopy("wrong_record_count.dbf")});
  {
    ScopedMessageBoxAnswers answers({6, 2}, FailTest);  // Yes, then Cancel the unsaved results
    frame().router().Dispatch(32785);
    EXPECT_EQ(Texts(answers),
              (std::vector<QString>{kAskUpdate, "Repaired files have not been saved. Do you want to save it?"}));
  }
  EXPECT_TRUE(starts.empty());
  EXPECT_TRUE(exits.empty());
  EXPECT_EQ(work.Entries().size(), 1u);
}

TEST_F(LaunchesTest, TheProgramEndsOnlyOnceTheUpdaterStarted) {
  ASSERT_TRUE(Start());
  const std::string updater = Companion("Drelin Live Update");
  Repair({SampleCopy("wrong_record_count.dbf")});
  QDir::setCurrent(QString::fromStdString(sources.path().string()));
  startResult = {false, "execv: Permission denied"};
  {
    ScopedMessageBoxAnswers answers({6, 7, 1}, FailTest);  // Yes, discard, OK
    frame().router().Dispatch(32785);
    ASSERT_EQ(answers.shown().size(), 3u);
    EXPECT_EQ(answers.shown()[2].text, "Live Update could not be started: execv: Permission denied");
    EXPECT_EQ(answers.shown()[2].style, 0x30u);
  }
  EXPECT_TRUE(exits.empty());
  EXPECT_TRUE(frame().isVisible());
  startResult = {true, QString()};
  {
    ScopedMessageBoxAnswers answers({6}, FailTest);  // nothing left unsaved
    frame().router().Dispatch(61450);
  }
  ASSERT_EQ(starts.size(), 2u);
  EXPECT_EQ(starts[1].program, QString::fromStdString(updater));
  EXPECT_EQ(starts[1].arguments, QStringList{"<TQMB>"});
  EXPECT_EQ(starts[1].folder, QString::fromStdString(start.path().string()));
  EXPECT_EQ(exits, (std::vector<int>{0}));
}

TEST_F(LaunchesTest, TheRealStarterGivesTheReasonOfAFailure) {
  // A file that is not a program: it is found, but cannot be started.
  const std::string updater = Companion("Drelin Live Update");
  const ProgramStart::Starter fake = ProgramStart::SetStarter({});
  const ProgramStart::Result result =
      ProgramStart::StartDetached(QString::fromStdString(updater), {QStringLiteral("<TQMB>")});
  ProgramStart::SetStarter(fake);
  EXPECT_FALSE(result.started);
  EXPECT_FALSE(result.reason.isEmpty());
}

TEST_F(LaunchesTest, TheHomePageOpensFromTheMenuAndTheViewsButton) {
  ASSERT_TRUE(Start());
  frame().menuBar()->actions().at(2)->menu()->actions().at(2)->trigger();
  view().homePageButton()->click();
  EXPECT_EQ(opened, std::vector<QUrl>(2, QUrl("http://www.tarnova-drelin.example")));
}

}  // namespace
}  // namespace drelin::testing
