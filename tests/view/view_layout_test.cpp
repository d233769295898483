// The view's surface: the controls at their places for two client sizes,
// the buttons' pictures and tips, the two pages, the fonts
// and the hint that fits its label, the control colours and the skin as they
// come out in a rendered picture.
#include <QFontInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QImage>

#include "BatchTexts.h"
#include "HintLabel.h"
#include "LogEdit.h"
#include "LogoButton.h"
#include "MarkupImages.h"
#include "SkinButton.h"
#include "ViewHarness.h"

namespace drelin::testing {
namespace {

using ViewLayoutTest = ViewHarness;

struct Place {
  const char* name;
  QRect rect;
};

void ExpectPlaces(CCorvantilexView& view, const std::vector<Place>& places) {
  for (const Place& place : places) {
    auto* control = view.findChild<QWidget*>(QString::fromLatin1(place.name));
    ASSERT_NE(control, nullptr) << place.name;
    EXPECT_EQ(control->geometry(), place.rect) << place.name;
  }
}

TEST_F(ViewLayoutTest, ControlsStandAtTheirPlacesForTwoClientSizes) {
  // The top row and the check-all box keep the places they are created at.
  const std::vector<Place> fixed = {
      {"Button61464", {14, 0, 58, 50}},  {"Button61466", {103, 0, 58, 50}}, {"Button61460", {199, 0, 58, 50}},
      {"Button61449", {288, 0, 58, 50}}, {"Button61450", {385, 0, 58, 50}}, {"CheckAll", {40, 210, 13, 13}}};
  ExpectPlaces(*view, fixed);
  ExpectPlaces(*view, {{"FileList", {40, 225, 720, 275}},
                       {"Button61447", {710, 182, 50, 38}},
                       {"Button61448", {650, 182, 50, 38}},
                       {"HintLabel", {180, 82, 608, 33}},
                       {"LogBox", {40, 225, 720, 137}},
                       {"StatusList", {40, 362, 720, 138}},
                       {"Button61452", {745, 560, 50, 38}},
                       {"Button61455", {690, 560, 50, 38}},
                       {"Button61461", {635, 560, 50, 38}},
                       {"HomePage", {667, 0, 133, 62}}});
  // An odd list height: the log box takes the smaller half.
  view->resize(1001, 702);
  ExpectPlaces(*view, {{"FileList", {40, 225, 921, 377}},
                       {"LogBox", {40, 225, 921, 188}},
                       {"StatusList", {40, 413, 921, 189}},
                       {"Button61447", {911, 182, 50, 38}},
                       {"Button61452", {946, 662, 50, 38}},
                       {"HomePage", {868, 0, 133, 62}},
                       {"HintLabel", {180, 82, 809, 33}}});
  ExpectPlaces(*view, fixed);
}

TEST_F(ViewLayoutTest, TheButtonsShowPicturesAndTheirTips) {
  const struct {
    int id;
    const char* tip;
  } tips[] = {{61452, "Next"},
              {61455, "Back"},
              {61461, "Stop"},
              {61447, "Remove selected file(s) from the list."},
              {61448, "Remove All files from the list."},
              {61464, "Add File(s) to repair"},
              {61466, "Repair File(s) selected in the list"},
              {61460, "Select location for save repaired file"},
              {61449, "Settings for repaired file name."},
              {61450, "Update the software from latest changes from Internet"}};
  for (const auto& entry : tips) {
    CSkinButton* button = view->button(entry.id);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->accessibleName(), entry.tip);
    EXPECT_TRUE(button->hasImages()) << entry.id;
    EXPECT_TRUE(button->text().isEmpty());
  }
  EXPECT_EQ(view->homePageButton()->hoverText(), "Go to the software Homepage");
}

TEST_F(ViewLayoutTest, EachPageShowsItsControlsAndItsHint) {
  const std::vector<const char*> filePage = {"FileList", "CheckAll", "Button61447", "Button61448"};
  const std::vector<const char*> repairPage = {"StatusList", "LogBox", "Button61455", "Button61461"};
  auto visible = [this](const char* name) { return view->findChild<QWidget*>(name)->isVisible(); };
  for (const char* name : filePage) EXPECT_TRUE(visible(name)) << name;
  for (const char* name : repairPage) EXPECT_FALSE(visible(name)) << name;
  EXPECT_EQ(view->hintLabel()->text(), batch::kHintTexts[0]);
  view->HideFilePage();
  view->ShowRepairPage();
  for (const char* name : filePage) EXPECT_FALSE(visible(name)) << name;
  for (const char* name : repairPage) EXPECT_TRUE(visible(name)) << name;
  EXPECT_EQ(view->hintLabel()->text(), batch::kHintTexts[1]);
  for (const char* name : {"Button61464", "Button61466", "Button61460", "Button61449", "Button61450",
                           "Button61452", "HomePage", "HintLabel"}) {
    EXPECT_TRUE(visible(name)) << name;
  }
}

TEST_F(ViewLayoutTest, TheHintsFitTheirLabelInTheViewsFont) {
  const QFont font = view->hintLabel()->font();
  EXPECT_EQ(QFontInfo(font).family(), "Liberation Serif");  // Times New Roman's metric twin
  EXPECT_EQ(QFontMetrics(font).height(), 16);
  EXPECT_EQ(view->hintLabel()->linePitch(), 16);
  EXPECT_EQ(view->button(61448)->font(), font);
  for (int index = 0; index < 3; ++index) {
    view->SetHint(index);
    EXPECT_EQ(view->hintLabel()->text(), batch::kHintTexts[index]);
    const QSize extent = view->hintLabel()->TextExtent();
    EXPECT_EQ(extent.height(), 32) << index;  // two lines, in the label's 33
    EXPECT_LE(extent.width(), view->hintLabel()->width()) << index;
  }
}

TEST_F(ViewLayoutTest, HeadingsAndTimesFitTheirColumns) {
  for (QTreeWidget* list : {static_cast<QTreeWidget*>(&files()), static_cast<QTreeWidget*>(&statuses())}) {
    EXPECT_EQ(QFontInfo(list->font()).family(), "Liberation Sans");
    for (int column = 0; column < list->columnCount(); ++column) {
      EXPECT_LE(list->header()->sectionSizeHint(column), list->columnWidth(column))
          << list->headerItem()->text(column).toStdString();
    }
  }
  // The widest time: two-digit fields throughout, and the wider marker.
  const int margins = 2 * files().style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &files()) + 2;
  for (int column = 3; column <= 5; ++column) {
    EXPECT_LE(files().fontMetrics().horizontalAdvance("28-08-2028 08:08 AM") + margins, files().columnWidth(column));
  }
}

TEST_F(ViewLayoutTest, TheRenderedViewShowsTheSkinAndTheControlColours) {
  view->SetHint(0);
  const QImage shot = view->grab().toImage();
  const QImage topLeft = LoadProgramImage(251), topRight = LoadProgramImage(172);
  ASSERT_FALSE(topLeft.isNull() || topRight.isNull());
  // Unscaled pieces: the top-left from its row 0, the top-right from row 1.
  EXPECT_EQ(shot.pixel(450, 150), topLeft.pixel(450, 150));
  EXPECT_EQ(shot.pixel(800 - 138 + 28, 150), topRight.pixel(28, 151));
  // The hint label's background beyond its text, and the log box's.
  EXPECT_EQ(QColor(shot.pixel(180 + 600, 82 + 30)), QColor(255, 252, 179));
  EXPECT_EQ(view->logBox()->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Base));
}

}  // namespace
}  // namespace drelin::testing
