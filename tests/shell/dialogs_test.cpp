// The small dialogs: places from the dialog units, every text inside its
// control, the pictures behind them at 1x and 2x, Repair Mode's choice,
// About's texts and the Saving window's line.
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QTest>

#include <functional>
#include <memory>
#include <sstream>
#include <tuple>

#include "AboutBox.h"
#include "MarkupImages.h"
#include "ModalSeam.h"
#include "RepairModeDlg.h"
#include "ResourceIds.h"
#include "SavingDlg.h"
#include "SettingsDlg.h"
#include "ShellTestUtil.h"

namespace drelin::testing {
namespace {

using namespace drelin::res;

struct DialogCase {
  const char* name;
  std::function<std::unique_ptr<CPictureDialog>()> make;
  QSize size;
  std::vector<std::pair<int, QRect>> controls;
};

FakePrefix g_prefix;

std::vector<DialogCase> AllDialogs() {
  return {
      {"RepairMode", [] { return std::make_unique<CRepairModeDlg>(); }, {369, 179},
       {{kIdModeGroup, {41, 26, 300, 85}},
        {kIdNormalMode, {59, 52, 122, 16}},
        {kIdAdvanceMode, {59, 81, 131, 16}},
        {kIdOk, {186, 145, 75, 23}},
        {kIdCancel, {266, 145, 75, 23}}}},
      {"Settings", [] { return std::make_unique<CSettingsDlg>(g_prefix); }, {369, 179},
       {{kIdPrefixLabel, {53, 59, 78, 13}},
        {kIdPrefixEdit, {156, 55, 107, 23}},
        {kIdOk, {89, 145, 75, 23}},
        {kIdCancel, {210, 145, 75, 23}}}},
      {"Saving",
       [] {
         auto saving = std::make_unique<CSavingDlg>();
         saving->SetText("/home/anna/Documents/Customer tables/" + QString("2019/").repeated(20) + "orders.dbf");
         return saving;
       },
       {396, 148},
       {{kIdSavingText, {11, 50, 375, 29}}, {kIdOk, {224, 114, 75, 23}}, {kIdCancel, {311, 114, 75, 23}}}},
      {"About", [] { return std::make_unique<CAboutBox>(); }, {359, 335},
       {{kIdAboutVersion, {80, 115, 245, 13}},
        {kIdAboutText, {80, 137, 246, 15}},
        {kIdAboutContact, {80, 158, 215, 138}},
        {kIdOk, {140, 301, 75, 23}}}},
  };
}

TEST(DialogLayout, ControlsStandAtTheirTemplatePlacesInPixels) {
  for (const DialogCase& c : AllDialogs()) {
    const auto dialog = c.make();
    EXPECT_EQ(dialog->objectName(), c.name);
    EXPECT_EQ(dialog->size(), c.size) << c.name;
    EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize()) << c.name;
    for (const auto& [id, place] : c.controls) {
      const QWidget* control = dialog->Control(id);
      ASSERT_NE(control, nullptr) << c.name << " " << id;
      EXPECT_EQ(control->geometry(), place) << c.name << " " << id;
    }
  }
}

// The text of `control` against the room it has, as "need/room" pixels;
// empty when the control shows no text.
struct Fit {
  QSize need, room;
  bool fits() const { return need.width() <= room.width() && need.height() <= room.height(); }
};

bool Measure(QWidget* control, Fit& fit) {
  const QFontMetrics metrics(control->font());
  QStyle* style = control->style();
  if (auto* label = qobject_cast<QLabel*>(control)) {
    const int flags = int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
    const QRect room = label->contentsRect();
    fit = {metrics.boundingRect(room, flags, label->text()).size(), room.size()};
  } else if (auto* radio = qobject_cast<QRadioButton*>(control)) {
    QStyleOptionButton option;
    option.initFrom(radio);
    option.text = radio->text();
    const QRect indicator = style->subElementRect(QStyle::SE_RadioButtonIndicator, &option, radio);
    EXPECT_TRUE(radio->rect().contains(indicator)) << radio->text().toStdString();
    fit = {metrics.size(0, radio->text()), style->subElementRect(QStyle::SE_RadioButtonContents, &option, radio).size()};
  } else if (auto* button = qobject_cast<QPushButton*>(control)) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    fit = {metrics.size(0, button->text()), style->subElementRect(QStyle::SE_PushButtonContents, &option, button).size()};
  } else if (auto* box = qobject_cast<QGroupBox*>(control)) {
    if (box->title().isEmpty()) return false;
    // The title stands 8 pixels in from the left and should keep as much
    // room on the right.
    fit = {metrics.size(0, box->title()), QSize(box->width() - 16, box->height())};
  } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth = style->pixelMetric(QStyle::PM_DefaultFrameWidth);
    const QRect room = style->subElementRect(QStyle::SE_LineEditContents, &option, edit);
    fit = {QSize(0, metrics.height()), room.size()};
  } else {
    return false;
  }
  return true;
}

TEST(DialogLayout, EveryTextFitsItsControlInTheDialogFont) {
  const QFontInfo face(DialogFont());
  EXPECT_EQ(face.family(), "Liberation Sans");
  EXPECT_EQ(face.pixelSize(), 10);
  int measured = 0;
  for (const DialogCase& c : AllDialogs()) {
    const auto dialog = c.make();
    dialog->ensurePolished();
    for (QWidget* control : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      Fit fit;
      if (!Measure(control, fit)) continue;
      ++measured;
      EXPECT_EQ(QFontInfo(control->font()).family(), "Liberation Sans");
      EXPECT_TRUE(fit.fits()) << c.name << " control " << control->objectName().toStdString() << ": needs "
                              << fit.need.width() << "x" << fit.need.height() << ", has " << fit.room.width()
                              << "x" << fit.room.height();
    }
  }
  EXPECT_EQ(measured, 16);  // the group box without a title shows no text
}

// The pixels of `picture` (at its own resolution) and of `dialog` rendered
// at `ratio` agree over `area` (logical pixels), where no control stands.
void ExpectPictureBehind(CPictureDialog& dialog, int picture, qreal ratio, const QRect& area) {
  QImage rendered(dialog.size() * ratio, QImage::Format_ARGB32_Premultiplied);
  rendered.setDevicePixelRatio(ratio);
  rendered.fill(Qt::magenta);
  dialog.render(&rendered);
  const QImage expected = LoadProgramImage(picture, ratio).convertToFormat(QImage::Format_ARGB32_Premultiplied);
  ASSERT_EQ(expected.devicePixelRatio(), ratio);
  const QRect physical(area.topLeft() * ratio, area.size() * ratio);
  EXPECT_EQ(rendered.copy(physical), expected.copy(physical)) << dialog.objectName().toStdString() << " at " << ratio;
}

TEST(DialogLayout, PicturesPaintCrispBehindTheControls) {
  CAboutBox about;
  CSavingDlg saving;
  CRepairModeDlg mode;
  for (const qreal ratio : {1.0, 2.0}) {
    ExpectPictureBehind(about, kBmpAbout, ratio, {0, 0, 359, 110});  // exactly the picture's size
    ExpectPictureBehind(saving, kBmpSaving, ratio, {0, 0, 396, 48});
    ExpectPictureBehind(mode, kBmpDialog, ratio, {0, 0, 369, 24});
  }
}

// Each opening starts at Normal with the focus on it; the Down key chooses
// Advance, which OK (clicked, or Enter) takes and Cancel, Escape and the
// close box do not.
TEST(RepairModeDialog, OkTakesTheChosenModeAndEveryOtherEndNothing) {
  auto click = [](int id) { return [id](CRepairModeDlg& d) { d.ControlAs<QPushButton>(id)->click(); }; };
  const std::vector<std::tuple<const char*, std::function<void(CRepairModeDlg&)>, int>> ways = {
      {"OK", click(kIdOk), QDialog::Accepted},
      {"Enter", [](CRepairModeDlg& d) { QTest::keyClick(d.focusWidget(), Qt::Key_Return); }, QDialog::Accepted},
      {"Cancel", click(kIdCancel), QDialog::Rejected},
      {"Escape", [](CRepairModeDlg& d) { QTest::keyClick(&d, Qt::Key_Escape); }, QDialog::Rejected},
      {"close box", [](CRepairModeDlg& d) { d.close(); }, QDialog::Rejected},
  };
  for (const auto& [name, end, result] : ways) {
    const ScopedModalDriver driver(
        [&end = end](QDialog& dialog) {
          auto& mode = dynamic_cast<CRepairModeDlg&>(dialog);
          EXPECT_TRUE(mode.ControlAs<QRadioButton>(kIdNormalMode)->isChecked());
          ASSERT_EQ(QApplication::focusWidget(), mode.Control(kIdNormalMode));
          QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
          ASSERT_TRUE(mode.ControlAs<QRadioButton>(kIdAdvanceMode)->isChecked());
          end(mode);
        },
        FailTest);
    CRepairModeDlg dialog;
    EXPECT_EQ(ExecModal(dialog), result) << name;
    EXPECT_EQ(dialog.m_nMode, result == QDialog::Accepted ? 1 : 0) << name;
  }
}

TEST(AboutBox, ShowsTheVersionLineAndTheContactBlock) {
  CAboutBox about;
  const ScopedModalAnswers answers([](QDialog& dialog) { return dialog.objectName() == "About" ? 1 : 0; }, FailTest);
  EXPECT_EQ(about.DoModal(), 1);
  EXPECT_EQ(about.windowTitle(), "About Tarnova Drelin DBF");
  EXPECT_EQ(about.ControlAs<QLabel>(kIdAboutVersion)->text(), "Tarnova Drelin for  DBF  Version 4.03");
  const QStringList contact = about.m_strContact.split("\r\n");
  ASSERT_EQ(contact.size(), 5);
  EXPECT_EQ(contact[0], "www.tarnova-drelin.example");
  EXPECT_TRUE(contact[1].isEmpty() && contact[3].isEmpty());
  EXPECT_TRUE(contact[2].startsWith("sales@tarnova-drelin.example") && contact[4].startsWith("support@"));
  EXPECT_EQ(about.ControlAs<QLabel>(kIdAboutContact)->text().split('\n'), contact);
  for (const int id : {kIdAboutVersion, kIdAboutText, kIdAboutContact})
    EXPECT_EQ(about.ControlAs<QLabel>(id)->textFormat(), Qt::PlainText) << id;
}

TEST(SavingWindow, EachTextIsPaintedAtOnceAndShownAsWritten) {
  QWidget owner;
  owner.setGeometry(100, 100, 800, 600);
  owner.show();
  CSavingDlg saving(&owner);
  saving.Open();
  EXPECT_TRUE(saving.isVisible());
  EXPECT_FALSE(saving.isModal());
  EXPECT_EQ(saving.frameGeometry().center(), owner.frameGeometry().center());
  auto* label = saving.ControlAs<QLabel>(kIdSavingText);
  EXPECT_EQ(label->text(), "");
  const PaintCounter counter(label);
  for (const QString& text : {QString("/home/anna/tables/orders.dbf"), QString("/tmp/<b>x</b> &amp;.dbf"), QString()}) {
    const int before = counter.paints;
    saving.SetText(text);  // no event loop in between: saving does not return to it
    EXPECT_GT(counter.paints, before) << text.toStdString();
    EXPECT_EQ(label->text(), text);
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
  }
}

TEST(SavingWindow, LongPathsBreakAnywhereAndKeepTheFileName) {
  const QFontMetrics metrics(DialogFont());
  const QSize box(375, 29);  // two lines
  const QString folder = "/home/anna/" + QString(20, 'd') + "/";
  const QString name = "orders_2019_final.dbf";
  struct Case {
    QString text;
    int lines;
    bool whole;  // every character shown
  };
  const std::vector<Case> cases = {
      {folder + name, 1, true},
      {folder.repeated(2) + name, 2, true},
      {QString(120, 'x') + ".dbf", 2, true},  // nothing to break at
      {folder.repeated(8) + name, 2, false},
      {QString::fromUtf8("/tmp/") + QString::fromUtf8("\xF0\x9F\x93\x81").repeated(150) + "/" + name, 2, false},
  };
  for (const Case& c : cases) {
    const QString shown = FittedLines(c.text, metrics, box);
    const QStringList lines = shown.split('\n');
    EXPECT_EQ(lines.size(), c.lines) << shown.toStdString();
    for (const QString& line : lines) {
      EXPECT_LE(metrics.horizontalAdvance(line), box.width()) << line.toStdString();
      EXPECT_FALSE(line.isEmpty() || line.back().isHighSurrogate() || line.front().isLowSurrogate())
          << line.toStdString();
    }
    EXPECT_EQ(lines.join(QString()) == c.text, c.whole) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(c.text.right(12))) << shown.toStdString();
  }
  CSavingDlg saving;
  saving.SetText(folder.repeated(8) + name);
  EXPECT_EQ(saving.ControlAs<QLabel>(kIdSavingText)->text(), FittedLines(folder.repeated(8) + name, metrics, box));
}

}  // namespace
}  // namespace drelin::testing
