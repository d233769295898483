// What tags and tables put in the display list of a draw (text state,
// lines, tabs, wrapping, rules, tables, images, links), and painting read
// from images.
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QUrl>

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <tuple>

#include "MarkupDrawer.h"
#include "MarkupGraphics.h"
#include "MarkupImages.h"
#include "MarkupStyleSheet.h"
#include "ShellLaunch.h"
#include "StringTable.h"

namespace drelin {
namespace {

using Kind = MarkupItem::Kind;

class MarkupDrawTest : public ::testing::Test {
 protected:
  // Measures and draws `markup` as a window does, returning the text items.
  std::vector<MarkupItem> Draw(const QString& markup, QSize size = QSize(300, 200)) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    drawer.Measure(&image, markup);
    QPainter painter(&image);
    drawer.Draw(painter, image.rect());
    return Items();
  }
  std::vector<MarkupItem> Items(Kind kind = Kind::Text) const {
    std::vector<MarkupItem> items;
    for (const MarkupItem& item : drawer.lastOutput().items)
      if (item.kind == kind) items.push_back(item);
    return items;
  }
  // The text items of `markup` as "text weight height [colour] [styles]".
  QStringList Described(const QString& markup) {
    QStringList described;
    for (const MarkupItem& item : Draw(markup)) {
      QString text = QStringLiteral("%1 %2 %3").arg(item.text).arg(item.weight).arg(item.rect.height());
      if (item.color != ColorRef()) text += " " + item.color.toQColor().name();
      if (item.font.italic()) text += " italic";
      if (item.font.underline()) text += " underline";
      if (item.overline > 0) text += QStringLiteral(" over%1").arg(item.overline);
      if (item.opaque) text += " on " + item.background.toQColor().name();
      described << text;
    }
    return described;
  }
  QSize Measure(const QString& markup) {
    QImage device(1, 1, QImage::Format_RGB32);
    return drawer.Measure(&device, markup);
  }
  MarkupDrawer drawer;
};

TEST_F(MarkupDrawTest, TagsAndStyleSheetsSetTheTextState) {
  EXPECT_EQ(Described("a<b>b<b>c</b>d</b>e"),  // bold doubles the weight, up to 900
            QStringList({"a 400 13", "b 800 13", "c 900 13", "d 800 13", "e 400 13"}));
  // </i> closes <em> (same label); </u> does not close <b>.
  EXPECT_EQ(Described("<em>a</i>b<b>c</u>d"), QStringList({"a 400 13 italic", "b 400 13", "c 800 13", "d 800 13"}));
  // The body is 10 pt at 96 DPI, 13 px; size 3 is 12 px, and 150 % of 13 rounds to 20.
  EXPECT_EQ(Described("a<font color=#ff0000>b</font><font color=255>c</font><font color=#abc>d</font>"
                      "<font size=3>e</font><font size=150%>f</font>"),
            QStringList({"a 400 13", "b 400 13 #ff0000", "c 400 13 #ff0000", "d 400 13", "e 400 12", "f 400 20"}));
  EXPECT_EQ(Described("<font style=bi-i+u bkgnd=yellow>a</font><font style=o weight=bold>b</font>"),
            QStringList({"a 700 13 underline on #ffff00", "b 700 13 over2"}));
  ProgramStrings()[4242] = "from the table";
  const QStringList inserted = Described("[<string idres=4242>]<string idres=4243>");
  ProgramStrings().erase(4242);
  EXPECT_EQ(inserted, QStringList({"[ 400 13", "from the table 400 13", "] 400 13"}));

  drawer.SetStyleSheet(MarkupStyleSheet::DefaultText() +
                       ".shout {text-transform:uppercase} .title {text-transform:capitalize}");
  EXPECT_EQ(Described("<h2>h</h2><span class=cpp-comment>c</span><span class=shout>loud</span>"
                      "<span class=title>hello big wORLD</span><sub>s</sub>"),  // sub: 65 % of 13
            QStringList({"h 700 17 #ff9900", "c 400 13 #008000 italic", "LOUD 400 13", "Hello Big World 400 13",
                         "s 400 8"}));
  drawer.SetStyleSheet(".note {color: red} h2, h3 {font-size: 20px}");  // replaces the whole sheet
  EXPECT_EQ(Described("<h2>h</h2><h3>k</h3><span class=note>n</span>"),
            QStringList({"h 400 20", "k 400 20", "n 400 16 #ff0000"}));
  drawer.SetStyleSheet(std::nullopt);  // back to the default sheet
  EXPECT_EQ(Described("<span class=shout>q</span>"), QStringList({"q 400 13"}));
  drawer.SetColorsEnabled(false);  // every colour is the disabled colour, and no background
  drawer.SetDisabledColor(ColorRef(0x808080));
  EXPECT_EQ(Described("<font color=red bkgnd=yellow>a</font>"), QStringList({"a 400 13 #808080"}));
}

TEST_F(MarkupDrawTest, LinesBreaksTabsAndAlignment) {
  EXPECT_EQ(Measure(QString("word ").repeated(300)).height(), 13 + 1);  // lines end only at breaks
  EXPECT_EQ(Measure("a\nb").height(), 2 * 13 + 1);
  EXPECT_EQ(Measure("a<br=3>b").height(), 4 * 13 + 1);
  EXPECT_EQ(Measure("abc"), QSize(Draw("abc")[0].rect.width() + 1, 14));
  EXPECT_TRUE(Draw("").empty());

  // Tabs advance to multiples of 32; standing on a stop moves a full stop.
  const struct { const char* markup; int left; } tabs[] = {
      {"<t>x", 32}, {"ab\tx", 32}, {"<t><t>x", 64}, {"<t=3>x", 96}, {"<t 2>x", 64}, {"<t=junk>x", 32}};
  for (const auto& c : tabs) EXPECT_EQ(Draw(c.markup).back().rect.left(), c.left) << c.markup;

  auto items = Draw("<center>mid</center>\n<right>end</right>\nplain", QSize(200, 100));
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0].rect.left(), (200 - items[0].rect.width()) / 2);
  EXPECT_EQ(items[1].rect.right() + 1, 200);
  EXPECT_EQ(items[2].rect.left(), 0);

  items = Draw("<font size=30>A</font>b<top>t</top><bottom>u</bottom><middle>m</middle>");
  ASSERT_EQ(items.size(), 5u);
  const MarkupItem& big = items[0];
  EXPECT_EQ(items[1].baseline, big.baseline);  // baselines meet
  EXPECT_EQ(items[2].rect.top(), big.rect.top());
  EXPECT_EQ(items[3].rect.top(), big.rect.top() + 30 - (items[3].baseline - items[3].rect.top()));
  EXPECT_EQ(items[4].rect.top(), big.rect.top() + (30 - 13) / 2);
}

TEST_F(MarkupDrawTest, WrappingAndJustify) {
  const QFontMetrics metrics(Draw("aaa")[0].font);
  // The prefix up to and including the space after "bbb" fits.
  drawer.SetMaxLineWidth(metrics.horizontalAdvance("aaa bbb ") + 1);
  EXPECT_EQ(Described("aaa bbb ccc"), QStringList({"aaa bbb 400 13", "ccc 400 13"}));
  EXPECT_EQ(Items()[1].rect.topLeft(), QPoint(0, 13));
  // A word longer than the line is cut where it no longer fits.
  drawer.SetMaxLineWidth(metrics.horizontalAdvance("aaa"));
  EXPECT_EQ(Described("aaaaaaaaa"), QStringList({"aaa 400 13", "aaa 400 13", "aaa 400 13"}));

  drawer.SetMaxLineWidth(150);
  const auto items = Draw("<justify>aa bb cc dd ee ff gg hh ii jj kk ll mm nn</justify>", QSize(150, 100));
  ASSERT_GE(items.size(), 3u);
  int firstLineRight = 0;
  for (const MarkupItem& item : items)
    if (item.rect.top() == 0) firstLineRight = std::max(firstLineRight, item.rect.right() + 1);
  EXPECT_EQ(firstLineRight, 150);                 // a wrapped line fills the width
  EXPECT_LT(items.back().rect.right() + 1, 150);  // the last line is not spread
}

TEST_F(MarkupDrawTest, RulesAndTables) {
  Draw("<hr width=50% size=2 color=red>", QSize(200, 50));
  auto lines = Items(Kind::Line);
  ASSERT_EQ(lines.size(), 1u);  // half the width, centred in a line of 2 + 8
  EXPECT_EQ(std::make_tuple(lines[0].to.x() - lines[0].from.x(), lines[0].lineWidth, lines[0].color, lines[0].from.y()),
            std::make_tuple(100, 2, ColorRef(0x0000FF), 5));

  // Free width goes to the columns without a width of their own.
  const QString columns = "<table bgcolor=white><tr><td><hr width=40></td><td><hr width=60></td></tr></table>";
  EXPECT_EQ(Measure(columns).width(), 101 + 1);
  Draw(columns, QSize(200, 50));
  ASSERT_EQ(Items(Kind::Effect).size(), 1u);
  EXPECT_EQ(Items(Kind::Effect)[0].rect.width(), 200);
  lines = Items(Kind::Line);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1].from.x(), 40 + 49 + 1);  // the first column got 49 more, the second 50

  // The spanned columns (10 + 1 + 10) are 80 short: 40 each.
  EXPECT_EQ(Measure("<table><tr><td colspan=2><hr width=101></td></tr>"
                    "<tr><td><hr width=10></td><td><hr width=10></td></tr></table>").width(),
            50 + 1 + 50 + 1);

  // The icon table of the message box.
  QImage icon(32, 32, QImage::Format_ARGB32);
  icon.fill(Qt::red);
  const ScopedMarkupImage handle(icon);
  const QString markup =
      QStringLiteral("<table cellpadding=5><tr><td width=32><icon handle=0x%1></td><td>Text</td></tr></table>")
          .arg(handle.handle(), 0, 16);
  const QSize measured = Measure(markup);
  const auto items = Draw(markup, measured);
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(measured.width(), 42 + (items[0].rect.width() + 10) + 1 + 1);  // two columns 1 px apart, +1
  EXPECT_EQ(items[0].rect.topLeft(), QPoint(42 + 1 + 5, 5));                 // at the top of its cell
  ASSERT_EQ(Items(Kind::Image).size(), 1u);
  EXPECT_EQ(Items(Kind::Image)[0].rect, QRect(5, 5, 32, 32));

  Draw("<table border=2 cellspacing=3 bordercolorlight=white bordercolordark=black>"
       "<tr><td bgcolor=#00ff00 bgeffect=vgradient bgendcolor=blue>x</td></tr></table>");
  const auto frames = Items(Kind::Frame);
  ASSERT_EQ(frames.size(), 2u);  // the table's and the cell's
  EXPECT_EQ(std::make_tuple(frames[0].lineWidth, frames[0].light, frames[0].dark, frames[1].lineWidth),
            std::make_tuple(2, ColorRef(0xFFFFFF), ColorRef(0x000000), 1));
  const auto effects = Items(Kind::Effect);
  ASSERT_EQ(effects.size(), 1u);
  EXPECT_EQ(std::make_tuple(effects[0].effect, effects[0].start, effects[0].end, effects[0].rect.topLeft()),
            std::make_tuple(2, ColorRef(0x00FF00), ColorRef(0xFF0000), QPoint(2 + 3, 2 + 3)));
}

// A cell two rows tall takes its place in both rows, so the next row's cell
// moves right; the rows share its height. valign places content in a cell.
TEST_F(MarkupDrawTest, RowSpansAndCellAlignment) {
  const QString markup = "<table><tr><td rowspan=2>a<br>b<br>c<br>d</td><td valign=bottom>x</td></tr>"
                         "<tr><td valign=middle>y</td></tr></table>";
  EXPECT_EQ(Measure(markup).height(), 52 + 1);  // rows 25 and 26, 1 px apart
  std::map<QString, QRect> cells;
  for (const MarkupItem& item : Draw(markup)) cells[item.text] = item.rect;
  ASSERT_EQ(cells.size(), 6u);
  EXPECT_EQ(cells["d"].top(), 3 * 13);
  EXPECT_EQ(cells["x"].left(), cells["y"].left());
  EXPECT_EQ(cells["x"].top(), 25 - 13);            // at the bottom of the first row
  EXPECT_EQ(cells["y"].top(), 26 + (26 - 13) / 2);  // in the middle of the second
}

// What a text can ask for is bounded; images that cannot be read take no room.
TEST_F(MarkupDrawTest, LimitsAndImages) {
  EXPECT_LE(Measure("a<br=99999999>b").height(), 65 * 13 + 1);
  EXPECT_EQ(Draw("<font size=100000px>x</font>")[0].rect.height(), 256);
  Draw("<table>" + QString("<td bgcolor=red>x</td>").repeated(200) + "</table>");
  EXPECT_EQ(Items(Kind::Effect).size(), 64u);
  const QString deep = QString("<table><tr><td>").repeated(40) + "core";
  EXPECT_TRUE(Draw(deep).empty());  // nested beyond the limit: the inner tables are dropped
  EXPECT_EQ(Draw(QString("<b>").repeated(1000) + "x")[0].weight, 900);

  const auto items = Draw("a<bmp file=/dev/zero><icon handle=12345><bmp idres=65000>b");
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[1].rect.left(), items[0].rect.right() + 1);  // unreadable images take no room

  QImage picture(20, 10, QImage::Format_ARGB32);
  picture.fill(Qt::blue);
  const ScopedMarkupImage handle(picture);
  const QString base = QStringLiteral("<bmp handle=%1 ").arg(handle.handle());
  Draw(base + "width=200% height=5>" + base + "style=s>");
  const auto images = Items(Kind::Image);
  ASSERT_EQ(images.size(), 2u);
  EXPECT_EQ(images[0].rect.size(), QSize(40, 5));
  EXPECT_EQ(images[1].rect.size(), QSize(24, 14));  // grown by the shadow offset
}

TEST_F(MarkupDrawTest, LinksHoverAndClick) {
  std::vector<int> notified;
  std::vector<QString> messages;
  drawer.SetNotify([&](int link) { notified.push_back(link); });
  drawer.SetLinkMessage([&](const QString& text) { messages.push_back(text); });
  const auto items = Draw("<a href=\"https://example.org/\">first</a> and <a msg=second>second</a>");
  ASSERT_EQ(items.size(), 3u);
  const QPoint first = items[0].rect.center(), second = items[2].rect.center(), outside(299, 199);
  EXPECT_FALSE(items[0].font.underline());

  // Hover is notified once per change, and -2 once on leaving.
  EXPECT_TRUE(drawer.OnMouseMove(first));
  EXPECT_TRUE(drawer.OnMouseMove(first + QPoint(1, 0)));
  QImage image(300, 200, QImage::Format_RGB32);
  QPainter painter(&image);
  drawer.Draw(painter, image.rect());
  EXPECT_TRUE(Items()[0].font.underline());  // the hovered link draws with the hover style
  EXPECT_EQ(Items()[0].color, ColorRef(0xFF0000));
  EXPECT_TRUE(drawer.OnMouseMove(second));
  EXPECT_FALSE(drawer.OnMouseMove(outside));
  EXPECT_FALSE(drawer.OnMouseMove(outside - QPoint(1, 0)));
  EXPECT_EQ(notified, (std::vector<int>{0, 1, -2}));

  std::vector<QUrl> opened;
  const ScopedShellOpener opener([&](const QUrl& url) { opened.push_back(url); return true; });
  drawer.OnClick(first);
  drawer.OnClick(second);
  drawer.OnClick(outside);
  EXPECT_EQ(opened, (std::vector<QUrl>{QUrl("https://example.org/")}));
  EXPECT_EQ(messages, (std::vector<QString>{"second"}));
}

QColor At(const QImage& image, int x, int y) { return QColor(image.pixel(x, y)); }

// A black image of `size` with `effect` painted over `area` (default: all of it).
QImage Filled(int effect, QSize size, ColorRef start, ColorRef mid, ColorRef end, QRect area = {}, int grain = 0) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter painter(&image);
  MarkupGraphics().FillEffect(painter, effect, area.isNull() ? image.rect() : area, start, mid, end, grain, 0);
  return image;
}

TEST(MarkupGraphics, VBumpGradientsAndShadedEffects) {
  const ColorRef yellow(0x86FDF7);
  const QImage image = Filled(12, QSize(200, 4), yellow, ColorRef(0xFFFFFF), yellow);
  EXPECT_EQ(At(image, 0, 0), QColor(247, 253, 134));    // the start colour at the left edge
  EXPECT_EQ(At(image, 100, 3), QColor(255, 255, 255));  // the middle colour at the centre
  EXPECT_EQ(At(image, 50, 2), QColor(254, 255, 240));   // entry 144: flat towards the middle
  EXPECT_EQ(At(image, 199, 3), QColor(247, 253, 139));  // entry 6, near the end colour, on every row

  const ColorRef black(0x000000), white(0xFFFFFF);
  const QImage gradient = Filled(1, QSize(128, 2), black, black, white);
  EXPECT_EQ(At(gradient, 1, 0).red(), 0);  // 64 bands of two pixels
  EXPECT_EQ(At(gradient, 2, 0).red(), 3);  // 255 x 1 / 64
  EXPECT_EQ(At(gradient, 127, 1).red(), 251);
  const QImage split = Filled(3, QSize(128, 2), black, black, white);
  EXPECT_EQ(At(split, 64, 0).red(), 255);  // the right half runs back
  EXPECT_EQ(At(split, 127, 0).red(), 4);
  const QImage vertical = Filled(6, QSize(2, 128), ColorRef(0x0000FF), ColorRef(0x00FF00), ColorRef(0xFF0000));
  EXPECT_EQ(At(vertical, 0, 0), QColor(255, 0, 0));
  EXPECT_EQ(At(vertical, 0, 64), QColor(0, 255, 0));

  // The shaded effects ramp from the end through the middle to the start.
  const auto ramp = MarkupGraphics::ColorRamp(ColorRef(0x0000FF), ColorRef(0x00FF00), ColorRef(0xFF0000));
  EXPECT_EQ((std::array<QColor, 3>{QColor(ramp[0]), QColor(ramp[128]), QColor(ramp[255])}),
            (std::array<QColor, 3>{QColor(0, 0, 255), QColor(0, 255, 0), QColor(255, 0, 0)}));
  // Each fills its whole rectangle, even a huge one of which only a part is visible.
  for (int effect = 7; effect <= 15; ++effect)
    EXPECT_NE(Filled(effect, QSize(50, 30), white, ColorRef(0x808080), ColorRef(0x404040),
                     QRect(-1000000, -1000000, 3000000, 3000000), 5).pixel(25, 15),
              qRgb(0, 0, 0))
        << "effect " << effect;
}

TEST(MarkupGraphics, FramesLinesAndImageStyles) {
  QImage image(20, 20, QImage::Format_RGB32);
  image.fill(Qt::gray);
  QPainter painter(&image);
  MarkupGraphics::DrawFrame(painter, QRect(2, 2, 10, 10), ColorRef(0xFFFFFF), ColorRef(0x000000), 1, 2);
  MarkupGraphics::DrawLine(painter, QPoint(0, 18), QPoint(20, 18), ColorRef(0x0000FF), 0, 1);
  MarkupGraphics::DrawLine(painter, QPoint(0, 16), QPoint(20, 16), ColorRef(0x0000FF), 1, 0);
  painter.end();
  // Light left and top, dark right and bottom; no lines of style 0 or width 0.
  const struct { int x, y; Qt::GlobalColor colour; } pixels[] = {
      {2, 2, Qt::white}, {3, 6, Qt::white}, {11, 6, Qt::black}, {6, 10, Qt::black},
      {6, 6, Qt::gray},  {5, 18, Qt::gray}, {5, 16, Qt::gray}};
  for (const auto& p : pixels) EXPECT_EQ(At(image, p.x, p.y), QColor(p.colour)) << p.x << "," << p.y;

  QImage source(4, 4, QImage::Format_RGB32);
  source.fill(QColor(255, 0, 255));
  source.setPixel(1, 1, qRgb(255, 0, 0));
  QImage target(12, 12, QImage::Format_RGB32);
  target.fill(Qt::white);
  painter.begin(&target);
  const ImageShadow shadow;
  MarkupGraphics::DrawImage(painter, QRect(0, 0, 4, 4), source, ColorRef(0xFF00FF), kImageGrey, shadow);
  MarkupGraphics::DrawImage(painter, QRect(4, 4, 8, 8), source, ColorRef(0xFF00FF), kImageShadow, shadow);
  painter.end();
  EXPECT_EQ(At(target, 0, 0), QColor(Qt::white));      // the mask colour is transparent
  EXPECT_EQ(At(target, 1, 1), QColor(76, 76, 76));     // grey: red weighs 0.299
  EXPECT_EQ(At(target, 5, 5), QColor(255, 0, 0));      // the image itself
  EXPECT_EQ(At(target, 9, 9), QColor(128, 128, 128));  // its shadow, 4 px down and right
}

}  // namespace
}  // namespace drelin
