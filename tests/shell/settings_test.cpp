// The Settings dialog: it shows the prefix in force, holds 50 characters,
// refuses an empty prefix and the nine forbidden characters with their
// messages while staying open, accepts the double quote, and Cancel keeps
// the prefix.
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "MessageBoxTestSeam.h"
#include "ModalSeam.h"
#include "ResourceIds.h"
#include "SettingsDlg.h"
#include "ShellTestUtil.h"

namespace drelin::testing {
namespace {

using namespace drelin::res;

const QString kCaption = "Tarnova Drelin Degital media";
const QString kIllegal = "Illegal character found in file pre fix ";

// Opens the live dialog over `prefix`, types `typed` into the emptied field
// and presses Enter (OK); if the dialog is still open, puts a good prefix in
// and presses Cancel. Returns the dialog's result, what the field showed on
// opening, and the messages.
struct Outcome {
  int result = -1;
  QString opened;
  bool openAfterOk = false;
  std::vector<ShownMessageBox> messages;
};

Outcome TypeAndConfirm(FakePrefix& prefix, const QString& typed) {
  Outcome outcome;
  ScopedMessageBoxAnswers messages({1, 1}, FailTest);
  const ScopedModalDriver driver(
      [&](QDialog& dialog) {
        auto& settings = dynamic_cast<CSettingsDlg&>(dialog);
        auto* edit = settings.ControlAs<QLineEdit>(kIdPrefixEdit);
        outcome.opened = edit->text();
        EXPECT_EQ(QApplication::focusWidget(), edit);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, typed);
        QTest::keyClick(edit, Qt::Key_Return);
        outcome.openAfterOk = dialog.isVisible();
        if (outcome.openAfterOk) {
          // Cancel takes nothing over, even a prefix that would pass.
          edit->setText("New");
          settings.ControlAs<QPushButton>(kIdCancel)->click();
        }
      },
      FailTest);
  CSettingsDlg dialog(prefix);
  outcome.result = ExecModal(dialog);
  outcome.messages = messages.shown();
  return outcome;
}

// The field holds 50 characters: the fifty-first typed is refused.
TEST(SettingsDialog, FirstOpeningShowsRepAndAnAcceptedPrefixIsWrittenBack) {
  FakePrefix prefix;
  const QString fifty = QString("p").repeated(50);
  const std::pair<QString, QString> cases[] = {
      {"Fixed", "Fixed"}, {"say \"hi\"", "say \"hi\""}, {"   ", "   "}, {fifty + "q", fifty}};
  for (const auto& [typed, kept] : cases) {
    const QString before = QString::fromStdString(prefix.prefix);
    const Outcome outcome = TypeAndConfirm(prefix, typed);
    EXPECT_EQ(outcome.opened, before);
    EXPECT_EQ(outcome.result, QDialog::Accepted) << typed.toStdString();
    EXPECT_FALSE(outcome.openAfterOk);
    EXPECT_TRUE(outcome.messages.empty()) << typed.toStdString();
    EXPECT_EQ(prefix.prefix, kept.toStdString());
  }
  EXPECT_EQ(prefix.writes, 4);
  // A paste is cut at the limit as well.
  CSettingsDlg dialog(prefix);
  auto* edit = dialog.ControlAs<QLineEdit>(kIdPrefixEdit);
  edit->clear();
  edit->insert(QString("z").repeated(60));
  EXPECT_EQ(edit->text(), QString("z").repeated(50));
}

TEST(SettingsDialog, RefusedPrefixesKeepTheDialogOpenAndCancelKeepsThePrefix) {
  struct Case {
    QString typed;
    QString message;
  };
  std::vector<Case> cases = {{"", "Please fill prefix"}, {"a:b", kIllegal}, {"it's", kIllegal}};
  for (const QChar forbidden : QString("/\\|*?<>")) cases.push_back({QString("x") + forbidden, kIllegal});
  for (const Case& c : cases) {
    FakePrefix prefix;
    const Outcome outcome = TypeAndConfirm(prefix, c.typed);
    EXPECT_TRUE(outcome.openAfterOk) << c.typed.toStdString();
    EXPECT_EQ(outcome.result, QDialog::Rejected);
    ASSERT_EQ(outcome.messages.size(), 1u) << c.typed.toStdString();
    EXPECT_EQ(outcome.messages[0].text, c.message);
    EXPECT_EQ(outcome.messages[0].caption, kCaption);
    EXPECT_EQ(outcome.messages[0].style, 0x40u);
    EXPECT_TRUE(outcome.messages[0].owned);
    EXPECT_EQ(prefix.prefix, "Rep");
    EXPECT_EQ(prefix.writes, 0);
  }
}

}  // namespace
}  // namespace drelin::testing
