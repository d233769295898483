// RichMessageBox: buttons and captions, results of Escape, close and Enter,
// remembered answers in the settings store, layout, More, Help through the
// shell launch, Report, countdowns, other threads, and the test seam itself.
#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QThread>
#include <QUrl>

#include <gtest/gtest.h>

#include <tuple>

#include "MarkupTokenizer.h"
#include "MarkupValues.h"
#include "MessageBoxMemory.h"
#include "MessageBoxTestSeam.h"
#include "MessageBoxWindow.h"
#include "RichMessageBox.h"
#include "RichMessageCall.h"
#include "SettingsStore.h"
#include "ShellLaunch.h"

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
void FailTest(const QString& message) { ADD_FAILURE() << message.toStdString(); }

// Shows a live box for `drive` to act on, then ends it with its first button if still open.
int DriveLive(const MessageBoxParams& params, const std::function<void(MessageBoxWindow&)>& drive) {
  const ScopedMessageBoxDriver driver([&](MessageBoxWindow& box) {
    drive(box);
    if (!box.finished()) box.Command(box.buttonRow().empty() ? 1 : box.buttonRow().front().id);
  });
  return RichMessageBox(params.parentWindow, params.text.text(), params.caption, params.style, &params);
}

// What `read` shows before the first of `ticks` countdown ticks and after each.
std::vector<QString> CountDown(MessageBoxWindow& box, int ticks, const std::function<QString()>& read) {
  std::vector<QString> shown{read()};
  for (int tick = 0; tick < ticks; ++tick) {
    box.CountdownStep();
    shown.push_back(read());
  }
  return shown;
}

// Every button set in order; Escape ends only the boxes that may be
// cancelled, and does nothing in the others.
TEST(MessageBoxButtons, SetsAndEscape) {
  const struct { std::vector<int> ids; bool cancellable; } sets[] = {
      {{1}, true},    {{1, 2}, true},     {{3, 4, 5}, false}, {{6, 7, 2}, true},   {{6, 7}, false},
      {{4, 2}, true}, {{2, 4, 11}, true}, {{11, 3}, false},   {{14, 15, 2}, true}, {{5, 16, 2}, true}};
  for (std::uint32_t set = 0; set < std::size(sets); ++set) {
    SCOPED_TRACE(set);
    EXPECT_EQ(Ids(MessageBoxWindow(Params(set))), sets[set].ids);
    EXPECT_EQ(DriveLive(Params(set | 0x20), [](MessageBoxWindow& box) { QTest::keyClick(&box, Qt::Key_Escape); }),
              sets[set].cancellable ? 2 : sets[set].ids.front());
  }
  const std::pair<std::uint32_t, std::vector<int>> more[] = {
      {10, {}}, {0x18000003, {6, 19, 7, 20, 2}}, {0x08000004, {6, 19, 7}}, {0x18000001, {1, 2}}};
  for (const auto& [style, ids] : more) EXPECT_EQ(Ids(MessageBoxWindow(Params(style))), ids) << style;
  MessageBoxParams params = Params(0x4001);
  params.moreText = "Details";
  EXPECT_EQ(Ids(MessageBoxWindow(params)), (std::vector<int>{1, 2, 9, 31}));
}

TEST(MessageBoxButtons, OwnButtonsAndCaptions) {
  // One a line, at most four, empty lines skipped, no cancelling.
  MessageBoxParams params = Params(0x3);
  params.customButtons = "One\n\nTwo\r\nThree\nFour\nFive";
  MessageBoxWindow own(params);
  ASSERT_EQ(Ids(own), (std::vector<int>{23, 24, 25, 26}));
  EXPECT_EQ(own.button(24)->text(), "Two");
  EXPECT_FALSE(own.cancelAllowed());

  // Captions come from the caller's map, then its strings, then the built-ins.
  StringTable strings{{9007, "Oui"}};
  const std::map<std::uint32_t, MessageText> texts{{7, "Non"}, {2, MessageText::Resource(5)}};
  params = Params(0x3);
  params.stringInstance = &strings;
  params.buttonTexts = &texts;
  EXPECT_EQ(MessageBoxCaption(params, 6), "Oui");
  EXPECT_EQ(MessageBoxCaption(params, 7), "Non");
  EXPECT_EQ(MessageBoxCaption(params, 2), "Cancel");  // resource 5 is missing
  params.style |= mb::kNoResources;
  EXPECT_EQ(MessageBoxCaption(params, 6), "Yes");
  params.checkboxText = "Never ask again";
  EXPECT_EQ(MessageBoxCaption(params, mb::kKeyCheckbox), "Never ask again");
}

// The close box follows the rules of Escape; Enter presses the default button.
TEST(MessageBoxResults, CloseBoxEnterAndTab) {
  EXPECT_EQ(DriveLive(Params(0x23), [](MessageBoxWindow& box) { box.close(); }), 2);
  EXPECT_EQ(DriveLive(Params(0x24), [&](MessageBoxWindow& box) {
              EXPECT_FALSE(box.closeEnabled());
              box.close();
              box.Command(2);  // a stray cancel command is ignored too
              QTest::mouseClick(box.button(7), Qt::LeftButton);
            }),
            7);

  // The default-button bits name a button by index; one beyond the row means the first.
  const struct { std::uint32_t style; int result; } defaults[] = {{0x024, 6}, {0x124, 7}, {0x223, 2}, {0x324, 6}};
  for (const auto& c : defaults)
    EXPECT_EQ(DriveLive(Params(c.style), [](MessageBoxWindow& box) { QTest::keyClick(&box, Qt::Key_Return); }),
              c.result)
        << c.style;
  // Tab moves the focus, and the focused button answers Enter.
  EXPECT_EQ(DriveLive(Params(0x024), [](MessageBoxWindow& box) {
              QApplication::setActiveWindow(&box);
              QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
              EXPECT_EQ(QApplication::focusWidget(), box.button(7));
              QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            }),
            7);
}

// The caption falls back to the owner's title, then "Error"; a box asked for on
// another thread is shown on the user-interface thread, unowned, while it waits.
TEST(MessageBoxResults, CaptionOwnerAndOtherThreads) {
  const ScopedMessageBoxAnswers answers({1, 1, 6}, FailTest);
  RichMessageBox(nullptr, "No caption", "", 0x30);
  QWidget owner;
  owner.setWindowTitle("Owner title");
  RichMessageBox(&owner, "Owner's caption", QString(), 0x30);
  int result = 0;
  std::unique_ptr<QThread> worker(
      QThread::create([&] { result = RichMessageBox(&owner, "From the worker", "Worker", 0x24); }));
  QEventLoop loop;
  QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
  worker->start();
  loop.exec();
  worker->wait();
  EXPECT_EQ(result, 6);
  std::vector<std::pair<QString, bool>> shown;  // caption, and whether the box had an owner
  for (const ShownMessageBox& box : answers.shown()) shown.emplace_back(box.caption, box.owned);
  EXPECT_EQ(shown, (std::vector<std::pair<QString, bool>>{{"Error", false}, {"Owner title", true}, {"Worker", false}}));
}

TEST(MessageBoxResults, RememberedAnswersInTheSettingsStore) {
  MessageBoxParams params;
  params.moduleName = "Save";
  params.line = 3;
  const ScopedMessageBoxAnswers answers({7 | mb::kChecked, 6, 6}, FailTest);
  EXPECT_EQ(RichMessageBox(nullptr, "Save the results?", "Saving", 0x01000024, &params), 7);
  const QString key = RememberedAnswerKey(params);
  EXPECT_TRUE(key.endsWith("/RichMessageBox/Save3"));
  // The store is an INI file in the user's configuration folder, written through at once.
  const QString path =
      qEnvironmentVariable("XDG_CONFIG_HOME") + "/Local AppWizard-Generated Applications/Tarnova Drelin DBF.ini";
  EXPECT_EQ(QSettings(path, QSettings::IniFormat).value(key).toUInt(), 7u);
  // The next call answers from memory: no box, nothing consumed.
  EXPECT_EQ(RichMessageBox(nullptr, "Save the results?", "Saving", 0x01000024, &params), 7);
  EXPECT_EQ(answers.shown().size(), 1u);
  SettingsStore::Remove(key);

  // The checked bit comes back only with the style bit and the box checked.
  params.moduleName = "Starts";
  params.companyName = "Tarnova";
  const QString checkedKey = RememberedAnswerKey(params);
  EXPECT_TRUE(checkedKey.startsWith("Software/Tarnova/"));
  EXPECT_EQ(RichMessageBox(nullptr, "Checked from the start", "", 0x03000024, &params), 0x02000006);
  EXPECT_EQ(SettingsStore::ReadDword(checkedKey), std::optional<std::uint32_t>(0x02000006));
  SettingsStore::Remove(checkedKey);
  EXPECT_EQ(RichMessageBox(nullptr, "Not ticked", "", 0x01000024, &params), 6);
  EXPECT_FALSE(SettingsStore::ReadDword(checkedKey).has_value());
}

TEST(MessageBoxLayout, ButtonSizeAndPositions) {
  // The system font is DejaVu Sans 9 pt, loaded by the test main: 14 px lines.
  const QFontMetrics metrics(QApplication::font());
  ASSERT_EQ(QFontInfo(QApplication::font()).family(), "DejaVu Sans");
  ASSERT_EQ(metrics.height(), 14);
  const int height = 25;  // 23 x 14 / 13, rounded; never less than 80 x 23
  for (int alignment : {0, 1, 2}) {
    MessageBoxParams params = Params(0x23, "A question for three buttons");
    params.buttonAlignment = alignment;
    MessageBoxWindow box(params);
    ASSERT_EQ(box.buttonSize(), QSize(80, height));
    const int row = 3 * 80 + 2 * 11;  // three buttons 11 px apart
    int left = alignment == 0 ? 11 : alignment == 1 ? box.width() - 11 - row : (box.width() - row) / 2;
    for (int id : {6, 7, 2}) {
      EXPECT_EQ(box.button(id)->geometry(), QRect(left, box.height() - 11 - height, 80, height)) << alignment;
      left += 80 + 11;
    }
  }
  MessageBoxParams wide = Params(0);
  wide.customButtons = "A rather long caption for a button";
  ASSERT_EQ(metrics.horizontalAdvance(wide.customButtons.text()), 202);
  EXPECT_EQ(MessageBoxWindow(wide).buttonSize().width(), 359);  // 202 x 80 / 45
}

TEST(MessageBoxLayout, WindowSizeFromItsAreasAndMore) {
  MessageBoxWindow box(Params(0, "Hi", "T"));
  EXPECT_EQ(box.width(), 11 + (11 + 80));  // the button row is the widest part
  EXPECT_EQ(box.messageHeight(), 14 + 2 * 14);
  EXPECT_EQ(box.height(), box.messageHeight() + 11 + box.buttonSize().height());
  // A long caption widens the box rather than being cut short.
  const QString caption = "Tarnova Drelin Degital media";
  QFont bold = box.font();
  bold.setBold(true);
  EXPECT_GE(MessageBoxWindow(Params(0, "Hi", caption)).width(), QFontMetrics(bold).horizontalAdvance(caption) + 40);
  MessageBoxParams params = Params(0, "Hi");
  params.controlArea.separatorStyle = 1;
  EXPECT_EQ(MessageBoxWindow(params).controlHeight(), 22 + box.buttonSize().height());
  params.headerHeight = 60;  // the asked height, unless the header's text needs more
  params.headerText = "<h1>Head</h1>";
  EXPECT_EQ(MessageBoxWindow(params).headerHeight(), 60);

  params = Params(0x30, "Short");  // More toggles the height
  params.moreText = "Line one\nLine two\nLine three";
  MessageBoxWindow more(params);
  const int collapsed = more.height();
  EXPECT_GT(more.moreHeight(), 3 * 13);
  EXPECT_EQ(more.button(31)->text(), "More >>");
  more.Command(31);
  EXPECT_EQ(more.height(), collapsed + more.moreHeight());
  EXPECT_EQ(more.button(31)->text(), "<< More");
  EXPECT_FALSE(more.finished());
  more.Command(31);
  EXPECT_EQ(more.height(), collapsed);
}

TEST(MessageBoxLayout, CheckBoxIconAndRightAlignment) {
  MessageBoxWindow above(Params(0x01000000));
  ASSERT_NE(above.checkBox(), nullptr);
  EXPECT_EQ(above.checkLabel()->text(), "Do not show again");
  EXPECT_FALSE(above.checkBox()->isChecked());
  const int buttonHeight = above.buttonSize().height();
  EXPECT_EQ(above.controlHeight(), 11 + 24 + buttonHeight);
  EXPECT_EQ(above.button(1)->y(), above.height() - 11 - buttonHeight);
  EXPECT_EQ(above.checkBox()->geometry().center().y(), above.height() - 22 - buttonHeight - 13 + 6);
  MessageBoxWindow below(Params(0x07000000));
  EXPECT_TRUE(below.checkBox()->isChecked());
  EXPECT_EQ(below.button(1)->y(), below.height() - 11 - buttonHeight - 24);
  EXPECT_EQ(below.checkBox()->geometry().center().y(), below.height() - 11 - 13 + 6);
  EXPECT_EQ(below.checkLabel()->x(), 10 + 13 + 6);

  const QString icon = MessageBoxWindow(Params(0x40, "Hi")).messageMarkup();
  EXPECT_TRUE(icon.startsWith("<table cellpadding=5><tr><td width=32><icon handle=0x"));
  EXPECT_TRUE(icon.endsWith("</td><td>Hi</td></tr></table>"));
  EXPECT_TRUE(
      MessageBoxWindow(Params(0x80040, "Hi")).messageMarkup().endsWith("<td><right>Hi</right></td></tr></table>"));
  EXPECT_EQ(MessageBoxWindow(Params(0x80000, "Hi")).messageMarkup(), "<right>Hi</right>");
}

// Help opens the help page through the replaceable shell launch; Report tells the owner.
TEST(MessageBoxAreas, HelpAndReport) {
  std::vector<QUrl> opened;
  const ScopedShellOpener opener([&](const QUrl& url) { opened.push_back(url); return true; });
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
  EXPECT_EQ(owner.reports, 1);
  params.parentWindow = nullptr;  // Report needs an owner
  EXPECT_EQ(Ids(MessageBoxWindow(params)), (std::vector<int>{1, 9}));
  EXPECT_TRUE(ShellLaunch::OpenHelpPage(12));
  EXPECT_FALSE(ShellLaunch::Open(QUrl()));
  const QUrl page = QUrl::fromLocalFile(QCoreApplication::applicationDirPath() + "/Tarnova Drelin for DBF.html");
  QUrl topic = page;
  topic.setFragment("12");
  EXPECT_EQ(opened, (std::vector<QUrl>{page, topic}));
}

TEST(MessageBoxAreas, MessageAreaIsPaintedLightYellowVBump) {
  QImage image;
  int row = 0;
  const ScopedMessageBoxDriver driver([&](MessageBoxWindow& box) {
    image = box.grab().toImage();
    row = box.messageHeight() - 3;
    box.Command(1);
  });
  ShowMessage("A light yellow message", 0);
  EXPECT_EQ(QColor(image.pixel(0, row)), QColor(247, 253, 134));
  const QColor centre(image.pixel(image.width() / 2, row));
  EXPECT_EQ(centre.red(), 255);
  EXPECT_GE(centre.blue(), 250);
  EXPECT_EQ(driver.shown().front().caption, "Tarnova Drelin DBF");
}

TEST(MessageBoxCountdown, TimeoutAndDisableCountdowns) {
  MessageBoxParams params = Params(0);
  params.timeoutSeconds = 5;
  MessageBoxWindow timeout(params);
  // The fifth tick ends the box with the default button.
  EXPECT_EQ(CountDown(timeout, 5, [&] { return timeout.defaultButton()->text(); }),
            (std::vector<QString>{"OK = 5", "OK = 4", "OK = 3", "OK = 2", "OK = 1", "OK"}));
  EXPECT_TRUE(timeout.finished());
  EXPECT_EQ(timeout.result(), 1);

  // A live box on a fast timer ends by itself with its default button, No.
  MessageBoxWindow::SetCountdownInterval(5);
  params.style = 0x124;
  const ScopedMessageBoxDriver driver([](MessageBoxWindow&) {});
  const int result = RichMessageBox(nullptr, "Ends by itself", "Timeout", params.style, &params);
  MessageBoxWindow::SetCountdownInterval(1000);
  EXPECT_EQ(result, 7);

  // The disable countdown in the title: only Help works until it ends.
  params = Params(0x4001, "Counting", "Backup");
  params.disableSeconds = 3;
  params.countdownInCaption = true;
  MessageBoxWindow box(params);
  EXPECT_FALSE(box.button(1)->isEnabled() || box.button(2)->isEnabled());
  EXPECT_TRUE(box.button(9)->isEnabled());
  EXPECT_FALSE(box.closeEnabled());
  box.reject();  // Escape does nothing while counting
  EXPECT_EQ(CountDown(box, 3, [&] { return box.windowTitle(); }),
            (std::vector<QString>{"Backup (3 seconds remaining)", "Backup (2 seconds remaining)",
                                  "Backup (1 seconds remaining)", "Backup"}));
  EXPECT_TRUE(box.button(1)->isEnabled() && box.button(2)->isEnabled() && box.button(1)->isDefault());
  EXPECT_TRUE(box.closeEnabled());
  box.reject();
  EXPECT_EQ(box.result(), 2);

  params = Params(0x1, "Counting", "Backup");
  params.disableSeconds = 2;
  MessageBoxWindow onButton(params);
  EXPECT_EQ(onButton.windowTitle(), "Backup");
  EXPECT_FALSE(onButton.button(1)->isEnabled() || onButton.button(1)->isDefault());
  EXPECT_TRUE(onButton.button(2)->isEnabled());
  EXPECT_TRUE(onButton.closeEnabled());  // cancelling is allowed and the default is not Cancel
  EXPECT_EQ(CountDown(onButton, 2, [&] { return onButton.button(1)->text(); }),
            (std::vector<QString>{"OK = 2", "OK = 1", "OK"}));
  EXPECT_TRUE(onButton.button(1)->isEnabled() && onButton.button(1)->isDefault() && !onButton.finished());
  params.style = 0x101;  // the close box stays greyed during the count when the default is Cancel
  EXPECT_FALSE(MessageBoxWindow(params).closeEnabled());
}

// The batch's messages reach the box with their style, caption and text
// (UTF-8), and the box's answers come back as the batch's results.
TEST(MessageBoxTestSeam, AnswersTheBatchThroughItsMessageCall) {
  const ScopedMessageBoxAnswers answers({batch::kIdYes, batch::kIdCancel, batch::kIdOk}, FailTest);
  RichMessageCall call;
  batch::MessageCall& messages = call;
  const std::string exit = "Do you really want to exit ?", failed = "Cannot open \"<b>Bücher</b>&amp;.dbf\": €";
  EXPECT_EQ(messages.RichMessageBox(exit, kProductCaption, batch::kMbYesNoQuestion), batch::kIdYes);
  EXPECT_EQ(messages.RichMessageBox("Save?", kProductCaption, batch::kMbYesNoCancelQuestion), batch::kIdCancel);
  EXPECT_EQ(messages.RichMessageBox(failed, "Tarnova Drelin Degital media", batch::kMbExclamationOk), batch::kIdOk);
  std::vector<std::tuple<QString, QString, std::uint32_t, std::vector<int>>> shown;
  for (const ShownMessageBox& box : answers.shown()) shown.emplace_back(box.text, box.caption, box.style, box.buttons);
  EXPECT_EQ(shown, (decltype(shown){{QString::fromStdString(exit), "Tarnova Drelin DBF", 0x24, {6, 7}},
                                    {"Save?", "Tarnova Drelin DBF", 0x23, {6, 7, 2}},
                                    {EscapeMarkup(QString::fromStdString(failed)), "Tarnova Drelin Degital media",
                                     0x30, {1}}}));
}

TEST(MessageBoxTestSeam, FailsLoudlyWhenAnAnswerIsMissingOrWrong) {
  std::vector<QString> failures;
  ScopedMessageBoxAnswers answers({}, [&](const QString& message) { failures.push_back(message); });
  EXPECT_EQ(ShowMessage("Nobody answers", 0x30), 2);
  for (int answer : {6, 2, 1 | static_cast<int>(mb::kChecked)}) answers.Add(answer);
  EXPECT_EQ(ShowMessage("Only OK here", 0x30), 2);
  EXPECT_EQ(ShowMessage("Yes or no", 0x24), 2);
  EXPECT_EQ(ShowMessage("No check box", 0x30), 2);
  ASSERT_EQ(failures.size(), 4u);
  EXPECT_TRUE(failures[0].contains("Nobody answers"));
  EXPECT_TRUE(failures[1].contains("matches no button"));
  answers.Add(1);
  EXPECT_EQ(ShowMessage("Fine", 0x40), 1);
  EXPECT_EQ(answers.pending(), 0u);
}

}  // namespace
}  // namespace drelin
