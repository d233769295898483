// The status list: the queue taken from the file list's checked rows, the
// icon and colours of each status as they come out in a rendered picture
// (the highlighted row in the selection's colours), the headings, and the
// ways to the preview: double-click, Enter and the one-item context menu.
#include <QMenu>
#include <QTest>

#include "BatchTexts.h"
#include "FlatMenu.h"
#include "ViewHarness.h"

namespace drelin::testing {
namespace {

using StatusListTest = ViewHarness;

// A double-click as the mouse makes it: a click, then the second press.
void DoubleClick(QWidget* widget, const QPoint& at) {
  QTest::mouseClick(widget, Qt::LeftButton, {}, at);
  QTest::mouseDClick(widget, Qt::LeftButton, {}, at);
  QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
}

TEST_F(StatusListTest, TheQueueTakesTheCheckedRowsInOrderWithTheModesText) {
  AddThroughDialog({Source("0.dbf"), Source("1.dbf"), Source("2.dbf"), Source("3.dbf"), Source("4.dbf")});
  for (int row = 0; row < 5; ++row) files().SetChecked(row, row % 2 == 0);
  statuses().FillQueue(files(), false);
  ASSERT_EQ(statuses().RowCount(), 3);
  for (int row = 0; row < 3; ++row) {
    EXPECT_EQ(statuses().RowText(row, 0), sources / (std::to_string(2 * row) + ".dbf"));
    EXPECT_EQ(statuses().RowText(row, 1), "Pending");
    EXPECT_EQ(statuses().RowText(row, 2), "Advance Repair Mode");
    EXPECT_EQ(statuses().RowText(row, 3), "");
  }
  EXPECT_EQ(files().RowCount(), 5);
  EXPECT_FALSE(files().IsChecked(1));
  statuses().clear();
  statuses().FillQueue(files(), true);
  EXPECT_EQ(statuses().RowText(2, 2), "Normal Repair Mode");

  const char* headings[] = {"File Name", "Status", "Repair Mode", "     "};
  const int widths[] = {500, 100, 140, 200};
  for (int column = 0; column < 4; ++column) {
    EXPECT_EQ(statuses().headerItem()->text(column), headings[column]);
    EXPECT_EQ(statuses().columnWidth(column), widths[column]);
  }
}

TEST_F(StatusListTest, EachStatusHasItsIconAndColours) {
  const QColor backgrounds[] = {{245, 243, 178}, {248, 233, 243}, {220, 242, 226}, {248, 233, 243}};
  const struct {
    const char* status;
    int image;
    std::optional<QColor> text;
    bool black;
  } cases[] = {{"Pending", 0, QColor(0, 0, 0), false},   {"Progress", 1, QColor(0, 255, 0), true},
               {"Done", 2, QColor(0, 0, 255), false},    {"Failed", 3, QColor(255, 0, 0), false},
               {"Fail", -1, QColor(255, 0, 0), false},   {"Done!", -1, QColor(0, 0, 255), false},
               {"Waiting", -1, std::nullopt, false},     {"", -1, std::nullopt, false}};
  for (const auto& c : cases) {
    EXPECT_EQ(StatusImageIndex(c.status), c.image) << c.status;
    for (int column = 0; column < 4; ++column) {
      const StatusCellColors colors = CellColorsFor(column, c.status);
      EXPECT_EQ(colors.background, c.black ? QColor(0, 0, 0) : backgrounds[column]) << c.status << column;
      EXPECT_EQ(colors.text, c.text) << c.status << column;
    }
  }
}

// The colours of a cell's pixels: its background (the most common colour)
// and its text (the pixel farthest from the background).
struct CellPixels {
  QColor background, text;
};
CellPixels SampleCell(const QImage& image, const QRect& cell) {
  std::map<QRgb, int> counts;
  for (int y = cell.top() + 2; y < cell.bottom() - 1; ++y)
    for (int x = cell.left() + 2; x < cell.right() - 1; ++x) ++counts[image.pixel(x, y)];
  const QRgb common = std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
                        return a.second < b.second;
                      })->first;
  QRgb farthest = common;
  int distance = 0;
  for (const auto& [colour, count] : counts) {
    const int d = std::abs(qRed(colour) - qRed(common)) + std::abs(qGreen(colour) - qGreen(common)) +
                  std::abs(qBlue(colour) - qBlue(common));
    if (d > distance) distance = d, farthest = colour;
  }
  return {QColor(common), QColor(farthest)};
}

// Whether two colours are the same up to the shading of a glyph's edge.
::testing::AssertionResult Near(const QColor& actual, const QColor& expected) {
  const int distance = std::abs(actual.red() - expected.red()) + std::abs(actual.green() - expected.green()) +
                       std::abs(actual.blue() - expected.blue());
  if (distance <= 12) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << actual.name().toStdString() << " is not " << expected.name().toStdString();
}

TEST_F(StatusListTest, TheRenderedRowsShowTheirStatusColoursAndTheSelectionStays) {
  view->resize(1100, 1000);
  AddThroughDialog({Source("a.dbf"), Source("b.dbf"), Source("c.dbf"), Source("d.dbf"), Source("e.dbf")});
  view->HideFilePage();
  view->ShowRepairPage();
  statuses().FillQueue(files(), true);
  const char* words[] = {"Pending", "Progress", "Done", "Failed", "Done"};
  for (int row = 0; row < 5; ++row) view->SetRowStatus(row, words[row]);
  statuses().setCurrentItem(statuses().topLevelItem(4));
  statuses().setFocus();
  statuses().scrollToTop();
  QApplication::processEvents();
  const QImage shot = statuses().viewport()->grab().toImage();
  auto cell = [this](int row, int column) {  // column 0 without its icon
    const QRect line = statuses().visualItemRect(statuses().topLevelItem(row));
    const int skip = column == 0 ? 30 : 0;
    return QRect(statuses().columnViewportPosition(column) + skip, line.top(),
                 statuses().columnWidth(column) - skip, line.height());
  };
  const QColor green(0, 255, 0), black(0, 0, 0), blue(0, 0, 255), red(255, 0, 0);
  EXPECT_EQ(SampleCell(shot, cell(0, 1)).background, QColor(248, 233, 243));
  EXPECT_TRUE(Near(SampleCell(shot, cell(0, 1)).text, black));
  for (int column = 0; column < 3; ++column) {  // in progress: green on black across the row
    EXPECT_EQ(SampleCell(shot, cell(1, column)).background, black) << column;
    EXPECT_TRUE(Near(SampleCell(shot, cell(1, column)).text, green)) << column;
  }
  EXPECT_EQ(SampleCell(shot, cell(2, 2)).background, QColor(220, 242, 226));
  EXPECT_TRUE(Near(SampleCell(shot, cell(2, 1)).text, blue));
  EXPECT_TRUE(Near(SampleCell(shot, cell(3, 1)).text, red));
  EXPECT_EQ(SampleCell(shot, cell(3, 3)).background, QColor(248, 233, 243));
  // The highlighted row: the selection's colours, not the status's.
  const QPalette colours = statuses().palette();
  EXPECT_TRUE(Near(SampleCell(shot, cell(4, 1)).background, colours.color(QPalette::Active, QPalette::Highlight)));
  // The icons: one per known status, none for the others.
  for (int row = 0; row < 4; ++row) EXPECT_FALSE(statuses().topLevelItem(row)->icon(0).isNull()) << row;
  view->SetRowStatus(0, "Fail");
  EXPECT_TRUE(statuses().topLevelItem(0)->icon(0).isNull());
}

TEST_F(StatusListTest, DoubleClickEnterAndTheContextMenuOpenThePreview) {
  int previews = 0;
  view->router().Add(61465, [&previews] { ++previews; });
  AddThroughDialog({Source("a.dbf"), Source("b.dbf")});
  view->HideFilePage();
  view->ShowRepairPage();
  statuses().FillQueue(files(), true);
  QApplication::processEvents();

  EXPECT_EQ(statuses().MakeContextMenu(), nullptr);  // nothing highlighted: no menu
  const QPoint second = statuses().visualItemRect(statuses().topLevelItem(1)).center();
  DoubleClick(statuses().viewport(), second);
  EXPECT_EQ(previews, 1);
  EXPECT_EQ(statuses().HighlightedRow(), 1);
  DoubleClick(statuses().viewport(), QPoint(5, statuses().viewport()->height() - 3));
  EXPECT_EQ(previews, 1);  // below the rows

  statuses().setCurrentItem(statuses().topLevelItem(1));
  statuses().setFocus();
  QTest::keyClick(&statuses(), Qt::Key_Return);
  EXPECT_EQ(previews, 2);

  std::unique_ptr<QMenu> menu = statuses().MakeContextMenu();
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(menu->actions().size(), 1);
  EXPECT_EQ(menu->actions()[0]->text(), "Preview");
  EXPECT_EQ(FlatMenu::CommandId(menu->actions()[0]), 61465);
  menu->actions()[0]->trigger();
  EXPECT_EQ(previews, 3);
}

}  // namespace
}  // namespace drelin::testing
