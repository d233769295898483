// RichMessageBox: results of every button set, cancelling, default buttons,
// own buttons, remembered answers, layout numbers, More, Help and Report,
// callers on other threads, and the test seam itself.
#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QUrl>

#include <gtest/gtest.h>

#include "MarkupValues.h"
#include "MessageBoxMemory.h"
#include "MessageBoxTestSeam.h"
#include "MessageBoxWindow.h"
#include "RichMessageBox.h"
#include "SettingsStore.h"
#include "ShellLaunch.h"
#include "ToolkitTestSupport.h"

namespace drelin {
namespace {

MessageBoxParams Params(std::uint32_t style, const QString& text = "Message", const QString& caption = "Caption") {
  MessageBoxParams params = DefaultMessageParams();
  params.style = style;
  params.text = text;
  params.caption = caption;
  return params;
}

std::vector<int> Ids(const MessageBoxWindow& box) {
  std::vector<int> ids;
  for (const MessageBoxButton& button : box.buttonRow()) ids.push_back(button.id);
  return ids;
}

// Fails the running test instead of aborting the process.
ScopedMessageBoxAnswers::FailureHandler FailTest() {
  return [](const QString& message) { ADD_FAILURE() << message.toStdString(); };
}

// Shows a live box and lets `drive` act on it; the box is ended with its
// first button afterwards if the actions did not end it.
int DriveLive(const MessageBoxParams& params, const std::function<void(MessageBoxWindow&)>& drive) {
  const ScopedMessageBoxDriver driver([&](MessageBoxWindow& box) {
    drive(box);
    if (!box.finished()) box.Command(box.buttonRow().empty() ? 1 : box.buttonRow().front().id);
  });
  return RichMessageBox(params.parentWindow, params.text.text(), params.caption, params.style, &params);
}

TEST(MessageBoxButtons, SetsInOrderWithTheirIds) {
  const std::vector<std::vector<int>> expected = {
      {1}, {1, 2}, {3, 4, 5}, {6, 7, 2}, {6, 7}, {4, 2}, {2, 4, 11}, {11, 3}, {14, 15, 2}, {5, 16, 2}, {}};
  for (std::uint32_t set = 0; set < expected.size(); ++set)
    EXPECT_EQ(Ids(MessageBoxWindow(Params(set))), expected[set]) << "set " << set;
  EXPECT_EQ(Ids(MessageBoxWindow(Params(0x18000003))), (std::vector<int>{6, 19, 7, 20, 2}));
  EXPECT_EQ(Ids(MessageBoxWindow(Params(0x08000004))), (std::vector<int>{6, 19, 7}));
  EXPECT_EQ(Ids(MessageBoxWindow(Params(0x18000001))), (std::vector<int>{1, 2}));
  MessageBoxParams withExtras = Params(0x4001);
  withExtras.moreText = "Details";
  EXPECT_EQ(Ids(MessageBoxWindow(withExtras)), (std::vector<int>{1, 2, 9, 31}));
}

TEST(MessageBoxButtons, CaptionsComeFromTheMapThenStringsThenBuiltIns) {
  StringTable strings{{9007, "Oui"}};
  const std::map<std::uint32_t, MessageText> texts{{7, "Non"}, {2, MessageText::Resource(5)}};
  MessageBoxParams params = Params(0x3);
  params.stringInstance = &strings;
  params.buttonTexts = &texts;
  EXPECT_EQ(MessageBoxCaption(params, 6), "Oui");
  EXPECT_EQ(MessageBoxCaption(params, 7), "Non");
  EXPECT_EQ(MessageBoxCaption(params, 2), "Cancel");  // resource 5 is missing
  params.style |= mb::kNoResources;
  EXPECT_EQ(MessageBoxCaption(params, 6), "Yes");
  EXPECT_EQ(MessageBoxCaption(params, mb::kKeyCheckbox), "Do not show again");
  params.checkboxText = "Never ask again";
  EXPECT_EQ(MessageBoxCaption(params, mb::kKeyCheckbox), "Never ask again");
  EXPECT_EQ(MessageBoxCaption(params, mb::kKeyCountdownTitle), "%s (%d seconds remaining)");
}

TEST(MessageBoxButtons, OwnButtonsFromLines) {
  MessageBoxParams params = Params(0x3);
  params.customButtons = "One\nTwo\r\nThree\nFour\nFive";
  MessageBoxWindow box(params);
  EXPECT_EQ(Ids(box), (std::vector<int>{23, 24, 25, 26}));
  EXPECT_EQ(box.button(24)->text(), "Two");
  EXPECT_FALSE(box.cancelAllowed());
  params.customButtons = "A\n\nB";
  MessageBoxWindow two(params);
  ASSERT_EQ(Ids(two), (std::vector<int>{23, 24}));
  EXPECT_EQ(two.button(24)->text(), "B");
}

TEST(MessageBoxResults, EscapeEndsOnlyBoxesThatMayBeCancelled) {
  const std::vector<bool> cancellable = {true, true, false, true, false, true, true, false, true, true};
  for (std::uint32_t set = 0; set < cancellable.size(); ++set) {
    int first = 0;
    const int result = DriveLive(Params(set | 0x20), [&](MessageBoxWindow& box) {
      first = box.buttonRow().front().id;
      QTest::keyClick(&box, Qt::Key_Escape);
    });
    EXPECT_EQ(result, cancellable[set] ? 2 : first) << "set " << set;
  }
}

TEST(MessageBoxResults, CloseBoxFollowsTheSameRules) {
  EXPECT_EQ(DriveLive(Params(0x23), [](MessageBoxWindow& box) { box.close(); }), 2);
  EXPECT_EQ(DriveLive(Params(0x30), [](MessageBoxWindow& box) { box.close(); }), 2);
  bool closeEnabled = true;
  EXPECT_EQ(DriveLive(Params(0x24), [&](MessageBoxWindow& box) {
              closeEnabled = box.closeEnabled();
              box.close();
              EXPECT_FALSE(box.finished());
              box.Command(2);  // a stray cancel command is ignored too
              EXPECT_FALSE(box.finished());
              QTest::mouseClick(box.button(7), Qt::LeftButton);
            }),
            7);
  EXPECT_FALSE(closeEnabled);
}

TEST(MessageBoxResults, DefaultButtonBitsAndEnter) {
  EXPECT_EQ(DriveLive(Params(0x124), [](MessageBoxWindow& box) { QTest::keyClick(&box, Qt::Key_Return); }), 7);
  EXPECT_EQ(DriveLive(Params(0x024), [](MessageBoxWindow& box) { QTest::keyClick(&box, Qt::Key_Return); }), 6);
  // Tab moves the focus, and the focused button answers Enter.
  EXPECT_EQ(DriveLive(Params(0x024), [](MessageBoxWindow& box) {
              QApplication::setActiveWindow(&box);
              QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
              EXPECT_EQ(QApplication::focusWidget(), box.button(7));
              QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            }),
            7);
  // An index beyond the row means the first button.
  MessageBoxWindow beyond(Params(0x324));
  EXPECT_EQ(beyond.defaultButton(), beyond.button(6));
  EXPECT_TRUE(beyond.button(6)->isDefault());
  MessageBoxWindow third(Params(0x223));
  EXPECT_EQ(third.defaultButton(), third.button(2));
}

TEST(MessageBoxResults, CaptionFallsBackToTheOwnerThenError) {
  const ScopedMessageBoxAnswers answers({1, 1}, FailTest());
  RichMessageBox(nullptr, "No caption", "", 0x30);
  QWidget owner;
  owner.setWindowTitle("Owner title");
  RichMessageBox(&owner, "Owner's caption", QString(), 0x30);
  ASSERT_EQ(answers.shown().size(), 2u);
  EXPECT_EQ(answers.shown()[0].caption, "Error");
  EXPECT_EQ(answers.shown()[1].caption, "Owner title");
  EXPECT_TRUE(answers.shown()[1].owned);
}

TEST(MessageBoxResults, RememberedAnswers) {
  MessageBoxParams params;
  params.moduleName = "Save";
  params.line = 3;
  const ScopedMessageBoxAnswers answers({7 | mb::kChecked}, FailTest());
  EXPECT_EQ(RichMessageBox(nullptr, "Save the results?", "Saving", 0x01000024, &params), 7);
  const QString key = RememberedAnswerKey(params);
  EXPECT_TRUE(key.endsWith("/RichMessageBox/Save3"));
  EXPECT_TRUE(key.startsWith("Software/"));
  EXPECT_EQ(SettingsStore::ReadDword(key), std::optional<std::uint32_t>(7));
  EXPECT_TRUE(SettingsStore::FilePath().startsWith(qEnvironmentVariable("XDG_CONFIG_HOME")));
  // The next call answers from memory: no box, nothing consumed.
  EXPECT_EQ(RichMessageBox(nullptr, "Save the results?", "Saving", 0x01000024, &params), 7);
  EXPECT_EQ(answers.shown().size(), 1u);
  SettingsStore::Remove(key);
}

TEST(MessageBoxResults, CheckedBitOnlyWithTheStyleBit) {
  MessageBoxParams params;
  params.moduleName = "Starts";
  params.companyName = "Tarnova";
  const ScopedMessageBoxAnswers answers({6, 6}, FailTest());
  EXPECT_EQ(RichMessageBox(nullptr, "Checked from the start", "", 0x03000024, &params), 0x02000006);
  EXPECT_EQ(SettingsStore::ReadDword(RememberedAnswerKey(params)), std::optional<std::uint32_t>(0x02000006));
  EXPECT_TRUE(RememberedAnswerKey(params).startsWith("Software/Tarnova/"));
  SettingsStore::Remove(RememberedAnswerKey(params));
  // Unchecked: the plain id, and nothing remembered.
  EXPECT_EQ(RichMessageBox(nullptr, "Not ticked", "", 0x01000024, &params), 6);
  EXPECT_FALSE(SettingsStore::ReadDword(RememberedAnswerKey(params)).has_value());
}

TEST(MessageBoxLayout, ButtonSizeAndPositions) {
  const QFontMetrics metrics(QApplication::font());
  const int height = std::max(23, MulDiv(metrics.height(), 23, 13));
  for (int alignment : {0, 1, 2}) {
    MessageBoxParams params = Params(0x23, "A question for three buttons");
    params.buttonAlignment = alignment;
    MessageBoxWindow box(params);
    const QSize size = box.buttonSize();
    EXPECT_EQ(size, QSize(80, height));
    const int cw = box.width();
    const int total = 3 * (size.width() + 11) - 11;
    const int left = alignment == 0 ? 11 : alignment == 1 ? cw - 11 - total : (cw - total) / 2;
    const int top = box.height() - 11 - size.height();
    const std::vector<int> ids = {6, 7, 2};
    for (int i = 0; i < 3; ++i)
      EXPECT_EQ(box.button(ids[i])->geometry(), QRect(left + i * (size.width() + 11), top, size.width(), size.height()));
  }
  MessageBoxParams wide = Params(0);
  wide.customButtons = "A rather long caption for a button";
  MessageBoxWindow box(wide);
  EXPECT_EQ(box.buttonSize().width(), MulDiv(metrics.horizontalAdvance("A rather long caption for a button"), 80, 45));
}

TEST(MessageBoxLayout, WindowSizeFromItsAreas) {
  MessageBoxWindow box(Params(0, "Hi", "T"));
  EXPECT_EQ(box.width(), 11 + (11 + 80));  // the button row is the widest part
  // A long caption widens the box rather than being cut short.
  const QString caption = "Tarnova Drelin Degital media";
  QFont bold = box.font();
  bold.setBold(true);
  EXPECT_GE(MessageBoxWindow(Params(0, "Hi", caption)).width(), QFontMetrics(bold).horizontalAdvance(caption) + 40);
  EXPECT_EQ(box.messageHeight(), 14 + 2 * 14);
  EXPECT_EQ(box.height(), box.messageHeight() + 11 + box.buttonSize().height());
  MessageBoxParams framed = Params(0, "Hi");
  framed.controlArea.separatorStyle = 1;
  EXPECT_EQ(MessageBoxWindow(framed).controlHeight(), 22 + box.buttonSize().height());
  MessageBoxParams header = Params(0, "Hi");
  header.headerHeight = 60;
  header.headerText = "<h1>Head</h1>";
  EXPECT_EQ(MessageBoxWindow(header).headerHeight(), 60);
}

TEST(MessageBoxLayout, CheckBoxAboveOrBelowTheButtons) {
  MessageBoxWindow above(Params(0x01000000));
  ASSERT_NE(above.checkBox(), nullptr);
  EXPECT_EQ(above.checkLabel()->text(), "Do not show again");
  EXPECT_FALSE(above.checkBox()->isChecked());
  EXPECT_EQ(above.controlHeight(), 11 + 24 + above.buttonSize().height());
  const int ch = above.height();
  EXPECT_EQ(above.button(1)->y(), ch - 11 - above.buttonSize().height());
  EXPECT_EQ(above.checkBox()->geometry().center().y(), ch - 22 - above.buttonSize().height() - 13 + 6);
  MessageBoxWindow below(Params(0x07000000));
  EXPECT_TRUE(below.checkBox()->isChecked());
  EXPECT_EQ(below.button(1)->y(), below.height() - 11 - below.buttonSize().height() - 24);
  EXPECT_EQ(below.checkBox()->geometry().center().y(), below.height() - 11 - 13 + 6);
  EXPECT_EQ(below.checkLabel()->x(), 10 + 13 + 6);
}

TEST(MessageBoxLayout, IconAndRightAlignmentMarkup) {
  MessageBoxWindow icon(Params(0x40, "Hi"));
  EXPECT_TRUE(icon.messageMarkup().startsWith("<table cellpadding=5><tr><td width=32><icon handle=0x"));
  EXPECT_TRUE(icon.messageMarkup().endsWith("</td><td>Hi</td></tr></table>"));
  MessageBoxWindow right(Params(0x80040, "Hi"));
  EXPECT_TRUE(right.messageMarkup().endsWith("<td><right>Hi</right></td></tr></table>"));
  EXPECT_EQ(MessageBoxWindow(Params(0x80000, "Hi")).messageMarkup(), "<right>Hi</right>");
}

TEST(MessageBoxAreas, MoreTogglesTheHeight) {
  MessageBoxParams params = Params(0x30, "Short");
  params.moreText = "Line one\nLine two\nLine three";
  MessageBoxWindow box(params);
  const int collapsed = box.height();
  EXPECT_GT(box.moreHeight(), 3 * 13);
  EXPECT_EQ(box.button(31)->text(), "More >>");
  box.Command(31);
  EXPECT_EQ(box.height(), collapsed + box.moreHeight());
  EXPECT_EQ(box.button(31)->text(), "<< More");
  EXPECT_FALSE(box.finished());
  box.Command(31);
  EXPECT_EQ(box.height(), collapsed);
  EXPECT_EQ(box.button(31)->text(), "More >>");
}

TEST(MessageBoxAreas, HelpOpensTheHelpPageAndReportTellsTheOwner) {
  std::vector<QUrl> opened;
  const ScopedShellOpener opener([&](const QUrl& url) {
    opened.push_back(url);
    return true;
  });
  struct Owner : QWidget {
    bool event(QEvent* event) override {
      if (event->type() == QEvent::User + 7) ++reports;
      return QWidget::event(event);
    }
    int reports = 0;
  } owner;
  MessageBoxParams params = Params(0x4000);
  params.parentWindow = &owner;
  params.reportMessage = QEvent::User + 7;
  MessageBoxWindow box(params);
  EXPECT_EQ(Ids(box), (std::vector<int>{1, 9, 21}));
  box.Command(9);
  box.Command(21);
  EXPECT_FALSE(box.finished());
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_TRUE(opened[0].isLocalFile());
  EXPECT_EQ(opened[0].toLocalFile(), QCoreApplication::applicationDirPath() + "/Tarnova Drelin for DBF.html");
  EXPECT_EQ(owner.reports, 1);
  params.parentWindow = nullptr;  // Report needs an owner
  EXPECT_EQ(Ids(MessageBoxWindow(params)), (std::vector<int>{1, 9}));
}

TEST(MessageBoxAreas, MessageAreaIsPaintedLightYellowVBump) {
  MessageBoxParams params = DefaultMessageParams();
  EXPECT_EQ(params.messageArea.backgroundEffect, 12);
  EXPECT_EQ(params.messageArea.startColor, ColorRef(0x86FDF7));
  EXPECT_EQ(params.messageArea.midColor, ColorRef(0xFFFFFF));
  EXPECT_EQ(params.messageArea.endColor, ColorRef(0x86FDF7));
  QImage image;
  int middle = 0;
  const ScopedMessageBoxDriver driver([&](MessageBoxWindow& box) {
    image = box.grab().toImage();
    middle = box.messageHeight() - 3;
    box.Command(1);
  });
  ShowMessage("A light yellow message", 0);
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(QColor(image.pixel(0, middle)), QColor(247, 253, 134));
  const QColor centre(image.pixel(image.width() / 2, middle));
  EXPECT_EQ(centre.red(), 255);
  EXPECT_GE(centre.blue(), 250);
  EXPECT_EQ(driver.shown().front().caption, "Tarnova Drelin DBF");
}

TEST(MessageBoxThreads, AnotherThreadWaitsForTheUserInterfaceThread) {
  const ScopedMessageBoxAnswers answers({6}, FailTest());
  QWidget owner;
  int result = 0;
  std::unique_ptr<QThread> worker(QThread::create([&] {
    result = RichMessageBox(&owner, "From the worker", "Worker", 0x24, nullptr);
  }));
  QEventLoop loop;
  QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
  worker->start();
  loop.exec();
  worker->wait();
  EXPECT_EQ(result, 6);
  ASSERT_EQ(answers.shown().size(), 1u);
  EXPECT_FALSE(answers.shown()[0].owned);
}

TEST(MessageBoxTestSeam, FailsLoudlyWhenAnAnswerIsMissingOrWrong) {
  std::vector<QString> failures;
  ScopedMessageBoxAnswers answers({}, [&](const QString& message) { failures.push_back(message); });
  EXPECT_EQ(ShowMessage("Nobody answers", 0x30), 2);
  answers.Add(6);
  EXPECT_EQ(ShowMessage("Only OK here", 0x30), 2);
  answers.Add(2);
  EXPECT_EQ(ShowMessage("Yes or no", 0x24), 2);
  answers.Add(1 | mb::kChecked);
  EXPECT_EQ(ShowMessage("No check box", 0x30), 2);
  ASSERT_EQ(failures.size(), 4u);
  EXPECT_TRUE(failures[0].contains("Nobody answers"));
  EXPECT_TRUE(failures[1].contains("matches no button"));
  answers.Add(1);
  EXPECT_EQ(ShowMessage("Fine", 0x40), 1);
  EXPECT_EQ(answers.shown().back().style, 0x40u);
  EXPECT_EQ(answers.shown().back().buttons, (std::vector<int>{1}));
  EXPECT_EQ(answers.pending(), 0u);
}

}  // namespace
}  // namespace drelin
