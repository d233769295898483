// The main frame as the program starts it: caption, maximised window, the
// splash, the menu bar with its items, prompts and images, the shortcuts,
// the lock indicators, the window's icon and smallest size, and the prefix
// the view and the Settings dialog share with it.
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTest>

#include <algorithm>

#include "CommandRouter.h"
#include "FlatMenu.h"
#include "FrameHarness.h"
#include "MarkupImages.h"
#include "SettingsDlg.h"

namespace drelin::testing {
namespace {

using MainFrameTest = FrameHarness;

QMenu* MenuOf(CMainFrame& frame, int index) { return frame.menuBar()->actions().at(index)->menu(); }

QString Message(CMainFrame& frame) { return frame.statusBar()->currentMessage(); }

TEST_F(MainFrameTest, OpensMaximisedUnderItsCaptionWithIconAndSmallestSize) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(frame().windowTitle(), "Tarnova Drelin - DBF");
  EXPECT_TRUE(frame().isVisible());
  EXPECT_TRUE(frame().isMaximized());
  EXPECT_EQ(frame().centralWidget(), &view());
  frame().showNormal();
  frame().resize(300, 200);
  EXPECT_EQ(frame().size(), QSize(712, 600));
  const QImage icon = frame().windowIcon().pixmap(48, 48).toImage();
  EXPECT_EQ(icon.convertToFormat(QImage::Format_ARGB32),
            LoadProgramImage(128).convertToFormat(QImage::Format_ARGB32));
  EXPECT_TRUE(reports.empty());
}

TEST_F(MainFrameTest, TheSplashShowsOverTheStartingWindowUntilAKey) {
  ASSERT_TRUE(Start({}, true));
  QPointer<CStartupSplash> splash = CStartupSplash::Current();
  ASSERT_FALSE(splash.isNull());
  EXPECT_TRUE(splash->isVisible());
  EXPECT_EQ(splash->period(), 4000);
  EXPECT_EQ(splash->parentWidget(), &view());
  Activate(frame());
  QTest::keyClick(view().fileList(), Qt::Key_A);
  EXPECT_EQ(CStartupSplash::Current(), nullptr);
  app.reset();
  // "--no-splash" starts without one.
  ASSERT_TRUE(Start({}, false));
  EXPECT_EQ(CStartupSplash::Current(), nullptr);
}

TEST_F(MainFrameTest, MenusHoldExactlyTheirItemsWithCommandsAndImages) {
  ASSERT_TRUE(Start());
  struct Item {
    const char* text;
    int command;
    int image;  // index in the frame's image list
  };
  const std::vector<std::pair<QString, std::vector<Item>>> menus = {
      {"&File", {{"Add Files...", 32781, 1}, {"Remove All Files", 32782, 8}, {"Remove Selected Files", 32783, 9},
                 {"E&xit", 57665, 3}}},
      {"Tools", {{"Setting", 32784, 7}, {"Liveupdate", 32785, 5}}},
      {"&Help", {{"Help", 32786, 4}, {"&About Tarnova Drelin DBF...", 57664, 2}, {"Software Home Page...", 32773, 5}}},
  };
  const QList<QAction*> bar = frame().menuBar()->actions();
  ASSERT_EQ(bar.size(), int(menus.size()));
  const auto& images = *frame().menuImages();
  ASSERT_EQ(images.count(), 11);
  const int icons[] = {159, 159, 158, 162, 160, 161, 157, 163, 165, 166, 166};
  for (int index = 0; index < 11; ++index) EXPECT_EQ(images.image(index), LoadProgramImage(icons[index])) << index;
  EXPECT_EQ(FlatMenu::CommandImage(61452), images.image(6));  // Next, for menus that carry it
  for (size_t m = 0; m < menus.size(); ++m) {
    EXPECT_EQ(bar[int(m)]->text(), menus[m].first);
    const QList<QAction*> items = bar[int(m)]->menu()->actions();
    ASSERT_EQ(items.size(), int(menus[m].second.size())) << m;
    for (size_t i = 0; i < menus[m].second.size(); ++i) {
      const Item& expected = menus[m].second[i];
      EXPECT_FALSE(items[int(i)]->isSeparator());
      EXPECT_EQ(items[int(i)]->text(), expected.text);
      EXPECT_EQ(FlatMenu::CommandId(items[int(i)]), expected.command);
      EXPECT_EQ(FlatMenu::CommandImage(expected.command), images.image(expected.image)) << expected.text;
      EXPECT_TRUE(frame().router().Handles(expected.command)) << expected.text;
    }
  }
  EXPECT_EQ(frame().property(FlatMenu::kFrameProperty).toInt(), 1);
}

TEST_F(MainFrameTest, TheHighlightedItemsPromptShowsElseReady) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(Message(frame()), "Ready");
  QMenu* file = MenuOf(frame(), 0);
  QMenu* help = MenuOf(frame(), 2);
  frame().menuBar()->setActiveAction(file->menuAction());
  ASSERT_TRUE(file->isVisible());
  file->setActiveAction(file->actions().at(0));
  EXPECT_EQ(Message(frame()), "Add File(s) in the list to repair...");
  file->setActiveAction(file->actions().at(3));
  EXPECT_EQ(Message(frame()), "Quit the application; prompts to save documents");
  frame().menuBar()->setActiveAction(help->menuAction());
  ASSERT_TRUE(help->isVisible());
  help->setActiveAction(help->actions().at(0));
  EXPECT_EQ(Message(frame()), "Help");  // its short name is empty
  help->setActiveAction(help->actions().at(2));
  EXPECT_EQ(Message(frame()), "Go to software Home Page");
  help->hide();
  QCoreApplication::processEvents();
  EXPECT_EQ(Message(frame()), "Ready");
}

TEST_F(MainFrameTest, CtrlPPrintsAndNoOtherKeyOfTheFrameHasACommand) {
  ASSERT_TRUE(Start());
  Activate(frame());
  {
    ScopedModalAnswers dialogs([](QDialog& dialog) {
      dialog.reject();
      return int(QDialog::Rejected);
    }, FailTest);
    QTest::keyClick(view().fileList(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(dialogs.shown(), (std::vector<QString>{"Print"}));
  }
  // The keys of commands nobody handles stay free, so the log box keeps Ctrl+C.
  std::vector<QKeySequence> bound;
  for (const QShortcut* shortcut : frame().findChildren<QShortcut*>()) bound.push_back(shortcut->key());
  for (const QAction* action : frame().findChildren<QAction*>()) {
    if (!action->shortcut().isEmpty()) bound.push_back(action->shortcut());
  }
  std::sort(bound.begin(), bound.end());
  EXPECT_EQ(bound, (std::vector<QKeySequence>{QKeySequence(Qt::Key_F1), QKeySequence(Qt::CTRL | Qt::Key_P),
                                              QKeySequence(Qt::CTRL | Qt::Key_S)}));
}

TEST_F(MainFrameTest, LockIndicatorsShowTheirTextWhileTheLockIsOn) {
  locks = {true, false, true};
  ASSERT_TRUE(Start());
  CLockIndicators& indicators = frame().indicators();
  auto texts = [&indicators] {
    return std::vector<QString>{indicators.pane(59137)->text(), indicators.pane(59138)->text(),
                                indicators.pane(59139)->text()};
  };
  EXPECT_EQ(texts(), (std::vector<QString>{"CAP", "", "SCRL"}));
  const int width = indicators.pane(59137)->width();
  // A lock key read anew; other keys do not ask the server.
  locks = {false, true, false};
  QTest::keyClick(view().fileList(), Qt::Key_A);
  EXPECT_EQ(texts(), (std::vector<QString>{"CAP", "", "SCRL"}));
  QTest::keyClick(view().fileList(), Qt::Key_NumLock);
  EXPECT_EQ(texts(), (std::vector<QString>{"", "NUM", ""}));
  EXPECT_EQ(indicators.pane(59137)->width(), width);
  // Coming back to the program reads them too.
  locks = {true, true, true};
  QApplicationStateChangeEvent active(Qt::ApplicationActive);
  QCoreApplication::sendEvent(qApp, &active);
  EXPECT_EQ(texts(), (std::vector<QString>{"CAP", "NUM", "SCRL"}));
  for (QLabel* pane : {indicators.pane(59137), indicators.pane(59138), indicators.pane(59139)}) {
    EXPECT_EQ(pane->parentWidget(), frame().statusBar());
    EXPECT_TRUE(pane->isVisible());
  }
  // Without an X server every lock reads as off.
  EXPECT_EQ(ReadKeyLocks(), KeyLocks());
}

TEST_F(MainFrameTest, CtrlSSavesUnderTheFramesPrefixThatSettingsEdits) {
  ASSERT_TRUE(Start());
  {
    ScopedModalAnswers answers([](QDialog& dialog) {
      auto& settings = dynamic_cast<CSettingsDlg&>(dialog);
      EXPECT_EQ(settings.ControlAs<QLineEdit>(1016)->text(), "Rep");
      settings.ControlAs<QLineEdit>(1016)->setText("Fixed");
      settings.ControlAs<QPushButton>(1)->click();
      return dialog.result();
    }, FailTest);
    MenuOf(frame(), 1)->actions().at(0)->trigger();  // Tools > Setting
    EXPECT_EQ(answers.shown(), (std::vector<QString>{"Settings"}));
  }
  EXPECT_EQ(frame().Prefix(), "Fixed");
  Repair({SampleCopy("wrong_record_count.dbf")});
  Activate(frame());
  ScopedModalAnswers folder({}, FailTest);
  folder.QueueFolder(saved.path().string());
  QTest::keyClick(view().statusList(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(folder.shown(), (std::vector<QString>{"Folder"}));
  // The sample names Windows-1252 in its header: a .cpg beside the saved
  // table keeps saying so.
  EXPECT_EQ(saved.Entries(), (Paths{"Fixed_1_wrong_record_count.cpg", "Fixed_1_wrong_record_count.dbf"}));
  EXPECT_EQ(view().m_nPage, 0);
}

}  // namespace
}  // namespace drelin::testing
