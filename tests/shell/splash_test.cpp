// The start-up splash: off until enabled, shown once, centred, consuming the
// first key or mouse-button press, gone at its timer's tick, and the owner's
// window repainted when it goes.
#include <QAction>
#include <QCoreApplication>
#include <QScreen>
#include <QTest>
#include <QTimerEvent>

#include "ResourceIds.h"
#include "ShellTestUtil.h"
#include "StartupSplash.h"

namespace drelin::testing {
namespace {

// A main window with a Ctrl+P command, whose view counts the presses that
// reach it.
class Window : public QWidget {
 public:
  Window() {
    setGeometry(50, 40, 900, 700);
    view = new QWidget(this);
    view->setGeometry(0, 0, 900, 700);
    view->setFocusPolicy(Qt::StrongFocus);
    view->installEventFilter(&presses);
    auto* print = new QAction(this);
    print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    addAction(print);
    QObject::connect(print, &QAction::triggered, [this] { ++presses.commands; });
  }
  void ShowActive() {
    show();
    activateWindow();
    view->setFocus();
    QCoreApplication::processEvents();
  }
  int reached() const { return presses.keys + presses.buttons + presses.commands; }

  class Counter : public QObject {
   public:
    int keys = 0, buttons = 0, commands = 0;

   protected:
    bool eventFilter(QObject*, QEvent* event) override {
      keys += event->type() == QEvent::KeyPress;
      buttons += event->type() == QEvent::MouseButtonPress;
      return false;
    }
  } presses;
  QWidget* view;
};

class SplashTest : public ::testing::Test {
 protected:
  void SetUp() override { CStartupSplash::EnableSplash(true); }
  void TearDown() override {
    CStartupSplash::EnableSplash(false);
    delete CStartupSplash::Current();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
};

// Off, or without its picture: refused. Then once, centred on the owner if
// shown, else on the screen.
TEST_F(SplashTest, ShownOnceCentredAndOnlyWhenOnWithItsPicture) {
  Window window;
  CStartupSplash::EnableSplash(false);
  EXPECT_FALSE(CStartupSplash::ShowSplash(4000, res::kBmpSplash, window.view));
  CStartupSplash::EnableSplash(true);
  EXPECT_FALSE(CStartupSplash::ShowSplash(4000, 9999, window.view));
  EXPECT_TRUE(window.findChildren<CStartupSplash*>().isEmpty());
  ASSERT_TRUE(CStartupSplash::ShowSplash(4000, res::kBmpSplash, window.view));
  EXPECT_EQ(CStartupSplash::Current()->geometry().center(),
            QGuiApplication::primaryScreen()->availableGeometry().center());
  delete CStartupSplash::Current();

  window.show();
  ASSERT_TRUE(CStartupSplash::ShowSplash(4000, res::kBmpSplash, window.view));
  CStartupSplash* splash = CStartupSplash::Current();
  EXPECT_TRUE(splash->isVisible());
  EXPECT_EQ(splash->size(), QSize(359, 182));
  EXPECT_EQ(splash->geometry().center(), window.geometry().center());
  EXPECT_EQ(splash->period(), 4000);
  EXPECT_FALSE(CStartupSplash::ShowSplash(4000, res::kBmpSplash, window.view));  // already shown
  EXPECT_EQ(CStartupSplash::Current(), splash);
}

TEST_F(SplashTest, TheFirstPressIsConsumedAndEndsTheSplash) {
  const std::vector<std::pair<const char*, std::function<void(QWidget*)>>> presses = {
      {"key", [](QWidget* view) { QTest::keyClick(view, Qt::Key_A); }},
      // One key event with Ctrl held: the shortcut query comes first, and
      // the command must not run either.
      {"Ctrl+P", [](QWidget* view) { QTest::simulateEvent(view, true, Qt::Key_P, Qt::ControlModifier, "p", false); }},
      {"left button", [](QWidget* view) { QTest::mouseClick(view, Qt::LeftButton); }},
      {"right button", [](QWidget* view) { QTest::mouseClick(view, Qt::RightButton); }},
  };
  for (const auto& [name, press] : presses) {
    Window window;
    window.ShowActive();
    const PaintCounter paints(&window);
    ASSERT_TRUE(CStartupSplash::ShowSplash(4000, res::kBmpSplash, window.view)) << name;
    QPointer<CStartupSplash> splash = CStartupSplash::Current();
    // The offscreen platform activates every window shown; the keyboard
    // belongs to the main window, as it does where the splash takes no focus.
    window.ShowActive();
    ASSERT_EQ(QApplication::activeWindow(), &window);
    const int before = paints.paints;
    press(window.view);
    EXPECT_EQ(window.reached(), 0) << name;
    EXPECT_EQ(CStartupSplash::Current(), nullptr) << name;
    ASSERT_FALSE(splash.isNull());
    EXPECT_FALSE(splash->isVisible()) << name;
    EXPECT_GT(paints.paints, before) << name;  // repainted at once
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(splash.isNull()) << name;
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), &window) << name;
    press(window.view);  // the next one goes through
    EXPECT_EQ(window.reached(), 1) << name;
    if (std::string(name) == "Ctrl+P") {
      EXPECT_EQ(window.presses.commands, 1);  // the command is live without a splash
    }
  }
}

// Releases, wheels and other timers pass; its own timer's tick ends it.
TEST_F(SplashTest, OtherEventsPassAndItsTimerEndsIt) {
  Window window;
  window.show();
  const PaintCounter paints(&window);
  ASSERT_TRUE(CStartupSplash::ShowSplash(4000, res::kBmpSplash, window.view));
  CStartupSplash* splash = CStartupSplash::Current();
  QTest::mouseMove(window.view, QPoint(10, 10));
  QEvent release(QEvent::KeyRelease), wheel(QEvent::Wheel);
  EXPECT_FALSE(CStartupSplash::SplashPreTranslate(&release) || CStartupSplash::SplashPreTranslate(&wheel));
  QTimerEvent other(splash->timerId() + 1000);
  QCoreApplication::sendEvent(splash, &other);
  EXPECT_EQ(CStartupSplash::Current(), splash);
  const int before = paints.paints;
  QTimerEvent tick(splash->timerId());
  QCoreApplication::sendEvent(splash, &tick);
  EXPECT_EQ(CStartupSplash::Current(), nullptr);
  EXPECT_FALSE(splash->isVisible());
  EXPECT_GT(paints.paints, before);
  QCoreApplication::processEvents();
  EXPECT_EQ(QApplication::activeWindow(), &window);  // the activation came back
  QTest::keyClick(window.view, Qt::Key_A);
  EXPECT_EQ(window.presses.keys, 1);
}

}  // namespace
}  // namespace drelin::testing
