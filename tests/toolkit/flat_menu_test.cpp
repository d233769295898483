// The flat menus: item data and measuring, the sizes Qt lays out from
// them, the settings from the store, painting read from images (icon
// column, plain band, images, popup border and open bar item) and the
// mnemonic keys of prepared and unprepared popups.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>

#include "FlatMenu.h"
#include "FlatMenuPainter.h"
#include "MarkupColors.h"
#include "SettingsStore.h"
#include "TransformHls.h"

namespace drelin {
namespace {

constexpr int kMenuText = 7;
constexpr int kHighlight = 13;
constexpr int kDarkShadow = 21;

ColorRef Pixel(const QImage& image, int x, int y) { return ColorRef::FromQColor(image.pixelColor(x, y)); }
ColorRef Face(int percent) { return Lighten(SystemColor(kColorButtonFace), percent); }

QImage Paint(QSize size, const std::function<void(QPainter&)>& draw) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::magenta);
  QPainter painter(&image);
  draw(painter);
  return image;
}

QImage Square(int side, QColor color) {
  QImage image(side, side, QImage::Format_ARGB32);
  image.fill(color);
  return image;
}

TEST(FlatMenuMeasuring, ItemDataAndSizes) {
  // Height, shortcut and text widths travel packed in one word, each cut to its field.
  EXPECT_EQ(FlatMenuItemData({20, 999, 70000}).Pack(), 20u | (0xFFu << 8) | (0xFFFFu << 16));
  EXPECT_EQ(MeasureFlatMenuItem(FlatMenuItemData{21, 40, 300}.Pack()), QSize(300 + 40 + 42, 21));
  EXPECT_EQ(MeasureFlatMenuItem(FlatMenuItemData{0, 0, 33}.Pack()), QSize(37, 0));
  EXPECT_EQ(MeasureFlatMenuItem(FlatMenuItemData{9, 0, 0}.Pack()), QSize(42, 9));
  const struct { int font, item, separator; } heights[] = {{13, 20, 8}, {14, 20, 9}, {15, 21, 9}, {18, 24, 11}};
  for (const auto& h : heights) {
    EXPECT_EQ(FlatMenuTextItemHeight(h.font), h.item) << h.font;
    EXPECT_EQ(FlatMenuSeparatorHeight(h.font), h.separator) << h.font;
  }
  EXPECT_EQ(StripMnemonics("E&xit && &&more&"), "Exit & &more&");
}

// A frame with a menu bar of two popups, the first with a shortcut column,
// a separator, a checked item, a disabled item and an image.
struct Frame {
  QMainWindow window;
  QMenu* file = nullptr;
  QAction* save = nullptr;
  QAction* exit = nullptr;

  Frame() {
    file = window.menuBar()->addMenu("&File");
    file->addAction("Add Files...");
    save = file->addAction("&Save");
    save->setShortcut(QKeySequence("Ctrl+S"));
    file->addAction("Print\tCtrl+Shift+P");
    file->addSeparator();
    QAction* check = file->addAction("Remember");
    check->setCheckable(true);
    check->setChecked(true);
    file->addAction("Disabled")->setEnabled(false);
    exit = file->addAction("E&xit");
    FlatMenu::SetCommandId(exit, 57665);
    window.menuBar()->addMenu("&Help")->addAction("About");
    FlatMenu::Attach(window.menuBar());
    window.resize(400, 300);
    window.move(0, 0);
    window.show();
  }
};

TEST(FlatMenuMeasuring, QtLaysOutTheMeasuredSizes) {
  Frame frame;
  QMenuBar* bar = frame.window.menuBar();
  const QFontMetrics barFont(bar->font());
  const QRect fileItem = bar->actionGeometry(frame.file->menuAction());
  const QRect helpItem = bar->actionGeometry(bar->actions().at(1));
  // Text + 4, and 4 more inside the item for the open item's shadow; no spacing.
  EXPECT_EQ(fileItem, QRect(0, 0, barFont.horizontalAdvance("File") + 8, FlatMenuTextItemHeight(barFont.height())));
  EXPECT_EQ(helpItem.left(), fileItem.right() + 1);
  EXPECT_EQ(FlatMenu::ItemData(frame.file->menuAction()),
            (FlatMenuItemData{0, 0, barFont.horizontalAdvance("File")}.Pack()));

  frame.file->popup(QPoint(0, 100));
  ASSERT_TRUE(frame.file->isVisible());
  const QFontMetrics font(frame.file->font());
  int textWidth = 0;
  for (const char* text : {"Add Files...", "Save", "Print", "Remember", "Disabled", "Exit"})
    textWidth = std::max(textWidth, font.horizontalAdvance(text));
  const int shortcutWidth = font.horizontalAdvance("Ctrl+Shift+P");
  const int itemHeight = FlatMenuTextItemHeight(font.height());
  const int separatorHeight = FlatMenuSeparatorHeight(font.height());
  EXPECT_EQ(FlatMenu::ItemData(frame.save), (FlatMenuItemData{itemHeight, shortcutWidth, textWidth}.Pack()));
  int y = 3;
  for (QAction* action : frame.file->actions()) {
    const int height = action->isSeparator() ? separatorHeight : itemHeight;
    EXPECT_EQ(frame.file->actionGeometry(action), QRect(3, y, textWidth + shortcutWidth + 42, height))
        << action->text().toStdString();
    y += height;
  }
  // The border is all the popup adds.
  EXPECT_EQ(frame.file->size(), QSize(textWidth + shortcutWidth + 42 + 6, y + 3));
  frame.file->hide();
}

TEST(FlatMenuSettings, ReadFromTheStoreAsColorRefs) {
  const FlatMenuSettings defaults = FlatMenuSettings::Load();
  EXPECT_TRUE(defaults.showGradient && defaults.showGradientSel);
  EXPECT_EQ(defaults.gradientWidth, 30);
  ASSERT_TRUE(SettingsStore::WriteDword("FlatMenu/GradientStart", 0x42CEFF));
  ASSERT_TRUE(SettingsStore::Write("FlatMenu/GradientEnd", "-1"));
  ASSERT_TRUE(SettingsStore::WriteDword("FlatMenu/GradientWidth", 24));
  ASSERT_TRUE(SettingsStore::WriteDword("FlatMenuEx/ShowGradientSel", 0));
  FlatMenu::ReloadSettings();
  const FlatMenuSettings& read = FlatMenu::Settings();
  const ColorRef start = read.gradientStart;
  EXPECT_EQ((std::array<int, 3>{start.red(), start.green(), start.blue()}), (std::array<int, 3>{255, 206, 66}));
  EXPECT_EQ(read.gradientEnd, 0xFFFFFFFFu);  // a stored -1 arrives as its 32-bit pattern
  EXPECT_EQ(read.endColor(), Face(75));
  EXPECT_EQ(read.gradientWidth, 24);
  EXPECT_TRUE(read.showGradient && !read.showGradientSel);
  ASSERT_TRUE(SettingsStore::WriteDword("FlatMenu/GradientEnd", 0xFFFFFFFFu));
  ASSERT_TRUE(SettingsStore::Write("FlatMenu/GradientWidth", "-5"));
  const FlatMenuSettings again = FlatMenuSettings::Load();
  EXPECT_EQ(again.endColor(), Face(75));
  EXPECT_EQ(again.gradientWidth, 255);  // a negative width is cut to the largest column
  EXPECT_TRUE(SettingsStore::Remove("FlatMenu"));
  EXPECT_TRUE(SettingsStore::Remove("FlatMenuEx"));
  FlatMenu::ReloadSettings();
}

TEST(FlatMenuPainting, IconColumnGradientAndPlainBand) {
  FlatMenuSettings settings;
  FlatMenuItemLook item;
  item.rect = QRect(0, 0, 200, 20);
  item.text = "Item";
  const QImage deep = Paint({200, 20}, [&](QPainter& p) { PaintFlatMenuItem(p, item, settings, 32); });
  const ColorRef rest = Lighten(settings.endColor(), 75);
  for (int x = 30; x < 200; x += 1) ASSERT_EQ(Pixel(deep, x, 1), rest) << x;
  EXPECT_EQ(Pixel(deep, 0, 1).red(), Lighten(settings.gradientStart, 20).red());
  for (int x = 0; x < 30; ++x) {
    EXPECT_NE(Pixel(deep, x, 1), rest) << x;
    if (x > 0) {
      EXPECT_GE(Pixel(deep, x, 1).blue(), Pixel(deep, x - 1, 1).blue()) << x;  // towards white
    }
  }
  // Eight bits per pixel: a 22-pixel plain band, gradients on or not.
  const QImage flat = Paint({200, 20}, [&](QPainter& p) { PaintFlatMenuItem(p, item, settings, 8); });
  for (int x = 0; x < 200; x += 1) ASSERT_EQ(Pixel(flat, x, 1), x < 22 ? Face(20) : Face(75)) << x;

  // Separator: a line from 30 to the last pixel but one, at the centre.
  FlatMenuItemLook separator;
  separator.separator = true;
  separator.rect = QRect(0, 0, 100, 9);
  const QImage line = Paint({100, 9}, [&](QPainter& p) { PaintFlatMenuItem(p, separator, settings, 8); });
  EXPECT_EQ(Pixel(line, 29, 4), Face(75));
  EXPECT_EQ(Pixel(line, 30, 4), Face(-18));
  EXPECT_EQ(Pixel(line, 98, 4), Face(-18));
  EXPECT_EQ(Pixel(line, 99, 4), Face(75));
  EXPECT_EQ(Pixel(line, 50, 3), Face(75));
}

TEST(FlatMenuPainting, ImagesSelectionAndMarks) {
  FlatMenuSettings settings;
  settings.showGradient = false;
  FlatMenuItemLook item;
  item.rect = QRect(0, 0, 120, 22);
  item.image = Square(48, QColor(0, 0, 200));  // scaled to 16 by 16
  const ColorRef blue = ColorRef::FromRgb(0, 0, 200);
  auto paint = [&] { return Paint({120, 22}, [&](QPainter& p) { PaintFlatMenuItem(p, item, settings, 32); }); };
  QImage image = paint();
  EXPECT_EQ(Pixel(image, 3, 3), blue);
  EXPECT_EQ(Pixel(image, 18, 18), blue);
  EXPECT_EQ(Pixel(image, 19, 19), Face(20));
  // Selected: the item framed in the highlight colour, the image raised over its silhouette.
  item.selected = true;
  image = paint();
  EXPECT_EQ(Pixel(image, 0, 0), SystemColor(kHighlight));
  EXPECT_EQ(Pixel(image, 60, 10), TransformHls(SystemColor(kHighlight), 70, -57));
  EXPECT_EQ(Pixel(image, 2, 2), blue);
  EXPECT_EQ(Pixel(image, 19, 19), SystemColor(kColorButtonShadow));
  // Disabled: only the silhouette, in the face colour darkened by 27 percent.
  item.enabled = false;
  item.selected = false;
  image = paint();
  EXPECT_EQ(Pixel(image, 3, 3), Face(-27));
  // Checked without an image: the check mark in the text colour.
  item.image = QImage();
  item.enabled = true;
  item.checked = true;
  item.check = FlatMenuItemLook::Check::Mark;
  image = paint();
  EXPECT_EQ(Pixel(image, 5 + 1 + 3 + 6, 3 + 3), SystemColor(kMenuText));  // the mark's top right pixel
  EXPECT_EQ(Pixel(image, 5 + 1 + 3, 3 + 3 + 2), SystemColor(kMenuText));
}

TEST(FlatMenuPainting, PopupBorderMeetsTheOpenBarItem) {
  Frame frame;
  QMenuBar* bar = frame.window.menuBar();
  bar->setActiveAction(frame.file->menuAction());  // opens the popup under the item
  ASSERT_TRUE(frame.file->isVisible());
  ASSERT_EQ(FlatMenu::OpenBarOf(frame.file), bar);
  const QImage popup = frame.file->grab().toImage();
  const int middle = popup.height() / 2;
  EXPECT_EQ(Pixel(popup, 0, middle), SystemColor(kDarkShadow));
  EXPECT_EQ(Pixel(popup, 1, middle), Face(75));
  EXPECT_EQ(Pixel(popup, 2, middle), Face(75));
  const QRect item = bar->actionGeometry(frame.file->menuAction());
  const int offset = bar->mapToGlobal(QPoint(0, 0)).x() - frame.file->mapToGlobal(QPoint(0, 0)).x();
  const int boxRight = offset + item.right() - flat_menu::kBarShadowWidth;
  EXPECT_EQ(Pixel(popup, offset + item.left(), 0), SystemColor(kDarkShadow));
  EXPECT_EQ(Pixel(popup, offset + item.left() + 1, 0), Face(20));  // the gap
  EXPECT_EQ(Pixel(popup, boxRight - 1, 0), Face(20));
  EXPECT_EQ(Pixel(popup, boxRight, 0), SystemColor(kDarkShadow));
  EXPECT_EQ(Pixel(popup, popup.width() - 2, 0), SystemColor(kDarkShadow));
  // The depth is that of the painted device unless one is set: at 8 bits the plain band.
  const QRect add = frame.file->actionGeometry(frame.file->actions().at(0));
  EXPECT_NE(Pixel(popup, add.left() + 25, add.top() + 1), Face(75));
  FlatMenu::SetDepthOverride(8);
  const QImage plain = frame.file->grab().toImage();
  FlatMenu::SetDepthOverride(0);
  EXPECT_EQ(Pixel(plain, add.left() + 21, add.top() + 1), Face(20));
  EXPECT_EQ(Pixel(plain, add.left() + 22, add.top() + 1), Face(75));

  // The open item: a box edged in the dark shadow colour and a stepped shadow at its right.
  const QImage strip = bar->grab().toImage();
  const ColorRef menu = SystemColor(4);
  EXPECT_EQ(Pixel(strip, item.left(), item.center().y()), SystemColor(kDarkShadow));
  EXPECT_EQ(Pixel(strip, item.left() + 1, item.top() + 2), Face(20));
  for (int step = 0; step < 4; ++step) {
    const int factor = 93 - 5 * step;
    EXPECT_EQ(Pixel(strip, item.right() - step, item.bottom()),
              ColorRef::FromRgb(menu.red() * factor / 100, menu.green() * factor / 100, menu.blue() * factor / 100));
  }
  EXPECT_EQ(Pixel(strip, item.right(), item.top() + 1), menu);
  frame.file->hide();
}

TEST(FlatMenuImages, RegisteredImagesShowInTheIconColumn) {
  Frame frame;
  auto list = std::make_shared<MenuImageList>();
  list->Add(Square(48, Qt::red));
  const int green = list->Add(Square(48, QColor(0, 160, 0)));
  FlatMenu::SetCommandImage(57665, list, green);
  frame.file->popup(QPoint(0, 100));
  const QImage popup = frame.file->grab().toImage();
  const QRect exit = frame.file->actionGeometry(frame.exit);
  EXPECT_EQ(Pixel(popup, exit.left() + 3, exit.top() + 3), ColorRef::FromRgb(0, 160, 0));
  const QRect save = frame.file->actionGeometry(frame.save);
  EXPECT_NE(Pixel(popup, save.left() + 3, save.top() + 3), ColorRef::FromRgb(0, 160, 0));
  frame.file->hide();
  FlatMenu::SetCommandImage(57665, nullptr, 0);

  // A command that also sits on a toolbar of the frame shows the toolbar's icon.
  QAction* tool = frame.window.addToolBar("Tools")->addAction(QIcon(QPixmap::fromImage(Square(16, Qt::blue))), "Save");
  FlatMenu::SetCommandId(tool, 61460);
  FlatMenu::SetCommandId(frame.save, 61460);
  frame.file->popup(QPoint(0, 100));
  EXPECT_EQ(FlatMenu::CommandImage(61460).pixelColor(4, 4), QColor(Qt::blue));
  frame.file->hide();
}

TEST(FlatMenuKeys, SharedMnemonicsInPreparedAndUnpreparedMenus) {
  Frame frame;
  QMenu* menu = frame.file;
  menu->clear();
  QAction* first = menu->addAction("E&xit");
  menu->addAction("&Open");
  QAction* third = menu->addAction("Ne&xt");
  menu->addAction("A&&B");
  EXPECT_EQ(FlatMenu::MenuChar(menu, 'x'), 0x20000);
  EXPECT_EQ(FlatMenu::MenuChar(menu, 'O'), 0x20001);
  EXPECT_EQ(FlatMenu::MenuChar(menu, 'b'), 0);  // "&&" is a literal ampersand
  EXPECT_EQ(FlatMenu::MenuChar(menu, 'q'), 0);

  QSignalSpy firstSpy(first, &QAction::triggered);
  QSignalSpy thirdSpy(third, &QAction::triggered);
  menu->popup(QPoint(0, 100));
  QTest::keyClick(menu, Qt::Key_X);
  EXPECT_EQ(firstSpy.count(), 1);
  EXPECT_EQ(thirdSpy.count(), 0);
  EXPECT_FALSE(menu->isVisible());
  // An unknown letter is swallowed: the menu stays open, nothing runs.
  menu->popup(QPoint(0, 100));
  QTest::keyClick(menu, Qt::Key_Q);
  EXPECT_TRUE(menu->isVisible());
  menu->hide();

  // A menu never prepared keeps Qt's handling: the first of two is only highlighted.
  QMenu plain;
  plain.setStyle(FlatMenu::Style());
  QAction* exit = plain.addAction("E&xit");
  plain.addAction("Ne&xt");
  QSignalSpy exitSpy(exit, &QAction::triggered);
  plain.popup(QPoint(0, 0));
  QTest::keyClick(&plain, Qt::Key_X);
  EXPECT_EQ(exitSpy.count(), 0);
  EXPECT_EQ(plain.activeAction(), exit);
  plain.hide();
}

}  // namespace
}  // namespace drelin
