// The countdowns of the message box: a timeout that presses the default
// button, and a disable period shown on the default button or in the
// title. Ticks are driven directly, except for one run on a fast timer.
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "MessageBoxTestSeam.h"
#include "MessageBoxWindow.h"
#include "RichMessageBox.h"

namespace drelin {
namespace {

MessageBoxParams Params(std::uint32_t style, const QString& caption = "Backup") {
  MessageBoxParams params = DefaultMessageParams();
  params.style = style;
  params.text = "Counting";
  params.caption = caption;
  return params;
}

TEST(MessageBoxCountdown, TimeoutCountsOnTheDefaultButtonAndPressesIt) {
  MessageBoxParams params = Params(0);
  params.timeoutSeconds = 5;
  MessageBoxWindow box(params);
  std::vector<QString> captions{box.defaultButton()->text()};
  for (int tick = 0; tick < 4; ++tick) {
    box.CountdownStep();
    captions.push_back(box.defaultButton()->text());
  }
  EXPECT_EQ(captions, (std::vector<QString>{"OK = 5", "OK = 4", "OK = 3", "OK = 2", "OK = 1"}));
  EXPECT_FALSE(box.finished());
  box.CountdownStep();  // the fifth tick ends the box with the default button
  EXPECT_TRUE(box.finished());
  EXPECT_EQ(box.result(), 1);
  EXPECT_EQ(box.defaultButton()->text(), "OK");
}

TEST(MessageBoxCountdown, TimeoutEndsALiveBoxByItself) {
  MessageBoxWindow::SetCountdownInterval(5);
  MessageBoxParams params = Params(0x124);
  params.timeoutSeconds = 3;
  const ScopedMessageBoxDriver driver([](MessageBoxWindow&) {});
  const int result = RichMessageBox(nullptr, "Ends by itself", "Timeout", params.style, &params);
  MessageBoxWindow::SetCountdownInterval(1000);
  EXPECT_EQ(result, 7);  // the default button, No
}

TEST(MessageBoxCountdown, DisableCountdownInTheTitle) {
  MessageBoxParams params = Params(0x4001);
  params.disableSeconds = 3;
  params.countdownInCaption = true;
  MessageBoxWindow box(params);
  EXPECT_EQ(box.windowTitle(), "Backup (3 seconds remaining)");
  EXPECT_FALSE(box.button(1)->isEnabled());
  EXPECT_FALSE(box.button(2)->isEnabled());
  EXPECT_TRUE(box.button(9)->isEnabled());
  EXPECT_FALSE(box.closeEnabled());
  box.reject();  // Escape does nothing while counting
  EXPECT_FALSE(box.finished());
  box.CountdownStep();
  EXPECT_EQ(box.windowTitle(), "Backup (2 seconds remaining)");
  box.CountdownStep();
  EXPECT_EQ(box.windowTitle(), "Backup (1 seconds remaining)");
  box.CountdownStep();
  EXPECT_EQ(box.windowTitle(), "Backup");
  EXPECT_TRUE(box.button(1)->isEnabled());
  EXPECT_TRUE(box.button(2)->isEnabled());
  EXPECT_TRUE(box.button(1)->isDefault());
  EXPECT_TRUE(box.closeEnabled());
  EXPECT_FALSE(box.finished());
  box.reject();
  EXPECT_EQ(box.result(), 2);
}

TEST(MessageBoxCountdown, DisableCountdownOnTheDefaultButton) {
  MessageBoxParams params = Params(0x1);
  params.disableSeconds = 2;
  MessageBoxWindow box(params);
  EXPECT_EQ(box.windowTitle(), "Backup");
  EXPECT_FALSE(box.button(1)->isEnabled());
  EXPECT_FALSE(box.button(1)->isDefault());
  EXPECT_EQ(box.button(1)->text(), "OK = 2");
  EXPECT_TRUE(box.button(2)->isEnabled());
  EXPECT_TRUE(box.closeEnabled());  // cancelling is allowed and the default is not Cancel
  box.CountdownStep();
  EXPECT_EQ(box.button(1)->text(), "OK = 1");
  box.CountdownStep();
  EXPECT_EQ(box.button(1)->text(), "OK");
  EXPECT_TRUE(box.button(1)->isEnabled());
  EXPECT_TRUE(box.button(1)->isDefault());
  EXPECT_FALSE(box.finished());
  // The close box stays greyed during the count when the default is Cancel.
  MessageBoxParams cancelFirst = Params(0x101);
  cancelFirst.disableSeconds = 2;
  EXPECT_FALSE(MessageBoxWindow(cancelFirst).closeEnabled());
}

}  // namespace
}  // namespace drelin
