// Layout numbers: lines, breaks, tabs, alignment, wrapping, rules, tables
// and links, read from the display list of a draw.
#include <QFontMetrics>
#include <QUrl>

#include <gtest/gtest.h>

#include "MarkupDrawer.h"
#include "MarkupImages.h"
#include "ShellLaunch.h"
#include "ToolkitTestSupport.h"

namespace drelin {
namespace {

using testing::DrawMarkup;
using testing::ItemsOf;
using testing::TextItems;

class MarkupLayoutTest : public ::testing::Test {
 protected:
  QSize Measure(const QString& markup) {
    QImage device(1, 1, QImage::Format_RGB32);
    return drawer.Measure(&device, markup);
  }
  std::vector<MarkupItem> Texts(const QString& markup, QSize size = QSize(300, 200)) {
    DrawMarkup(drawer, markup, size);
    return TextItems(drawer);
  }
  int Advance(const MarkupItem& item, const QString& text) { return QFontMetrics(item.font).horizontalAdvance(text); }
  MarkupDrawer drawer;
};

TEST_F(MarkupLayoutTest, LinesEndOnlyAtBreaks) {
  QString longText;
  for (int i = 0; i < 300; ++i) longText += "word ";
  EXPECT_EQ(Measure(longText).height(), 13 + 1);
  EXPECT_EQ(Measure("a\nb").height(), 2 * 13 + 1);
  const auto items = Texts("a<br=3>b");
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[1].rect.top() - items[0].rect.top(), 3 * 13);
  EXPECT_EQ(Measure("a<br=3>b").height(), 4 * 13 + 1);
}

TEST_F(MarkupLayoutTest, MeasureAddsOneAndEmptyTextClears) {
  const auto items = Texts("abc");
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(Measure("abc"), QSize(items[0].rect.width() + 1, 14));
  Measure("");
  EXPECT_FALSE(drawer.HasText());
}

TEST_F(MarkupLayoutTest, TabsAdvanceToMultiplesOf32) {
  auto left = [&](const QString& markup) {
    const auto items = Texts(markup);
    return items.empty() ? -1 : items.back().rect.left();
  };
  EXPECT_EQ(left("<t>x"), 32);
  EXPECT_EQ(left("ab\tx"), 32);
  EXPECT_EQ(left("<t><t>x"), 64);  // standing on a stop moves a full stop
  EXPECT_EQ(left("<t=3>x"), 96);
}

TEST_F(MarkupLayoutTest, HorizontalAlignment) {
  auto items = Texts("<center>mid</center>\n<right>end</right>\nplain", QSize(200, 100));
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0].rect.left(), (200 - items[0].rect.width()) / 2);
  EXPECT_EQ(items[1].rect.right() + 1, 200);
  EXPECT_EQ(items[2].rect.left(), 0);
}

TEST_F(MarkupLayoutTest, VerticalAlignmentWithinALine) {
  auto items = Texts("<font size=30>A</font>b<top>t</top><bottom>u</bottom><middle>m</middle>");
  ASSERT_EQ(items.size(), 5u);
  const MarkupItem& big = items[0];
  EXPECT_EQ(items[1].baseline, big.baseline);  // baselines meet
  EXPECT_EQ(items[2].rect.top(), big.rect.top());
  EXPECT_EQ(items[3].rect.top(), big.rect.top() + 30 - (items[3].baseline - items[3].rect.top()));
  EXPECT_EQ(items[4].rect.top(), big.rect.top() + (30 - 13) / 2);
}

TEST_F(MarkupLayoutTest, WrappingAtBreakCharacters) {
  const auto probe = Texts("aaa");
  // The prefix up to and including the space after "bbb" fits.
  drawer.SetMaxLineWidth(Advance(probe[0], "aaa bbb ") + 1);
  const auto items = Texts("aaa bbb ccc");
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].text, "aaa bbb");
  EXPECT_EQ(items[1].text, "ccc");
  EXPECT_EQ(items[1].rect.left(), 0);
  EXPECT_EQ(items[1].rect.top(), 13);
  // A word longer than the line is cut where it no longer fits.
  drawer.SetMaxLineWidth(Advance(probe[0], "aaa"));
  const auto cut = Texts("aaaaaaaaa");
  ASSERT_EQ(cut.size(), 3u);
  EXPECT_EQ(cut[0].text, "aaa");
}

TEST_F(MarkupLayoutTest, JustifySpreadsWrappedLinesOnly) {
  const int width = 150;
  drawer.SetMaxLineWidth(width);
  const auto items = Texts("<justify>aa bb cc dd ee ff gg hh ii jj kk ll mm nn</justify>", QSize(width, 100));
  ASSERT_GE(items.size(), 3u);
  int firstLineRight = 0;
  for (const MarkupItem& item : items)
    if (item.rect.top() == 0) firstLineRight = std::max(firstLineRight, item.rect.right() + 1);
  EXPECT_EQ(firstLineRight, width);  // the wrapped line fills the width
  EXPECT_LT(items.back().rect.right() + 1, width);  // the last line is not spread
}

TEST_F(MarkupLayoutTest, RuleOfHalfTheWidth) {
  DrawMarkup(drawer, "<hr width=50% size=2 color=red>", QSize(200, 50));
  const auto lines = ItemsOf(drawer, MarkupItem::Kind::Line);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].to.x() - lines[0].from.x(), 100);
  EXPECT_EQ(lines[0].lineWidth, 2);
  EXPECT_EQ(lines[0].color, ColorRef(0x0000FF));
  EXPECT_EQ(lines[0].from.y(), 5);  // centred in a line of 2 + 8
}

TEST_F(MarkupLayoutTest, IconTableOfTheMessageBox) {
  QImage icon(32, 32, QImage::Format_ARGB32);
  icon.fill(Qt::red);
  const ScopedMarkupImage handle(icon);
  const QString markup = QStringLiteral("<table cellpadding=5><tr><td width=32><icon handle=0x%1></td><td>Text</td></tr></table>")
                             .arg(handle.handle(), 0, 16);
  const QSize measured = Measure(markup);
  const auto items = Texts(markup, measured);
  ASSERT_EQ(items.size(), 1u);
  const int textWidth = items[0].rect.width();
  EXPECT_EQ(measured.width(), 42 + (textWidth + 10) + 1 + 1);  // two columns 1 px apart, +1
  EXPECT_EQ(items[0].rect.left(), 42 + 1 + 5);
  EXPECT_EQ(items[0].rect.top(), 5);  // at the top of its cell
  const auto images = ItemsOf(drawer, MarkupItem::Kind::Image);
  ASSERT_EQ(images.size(), 1u);
  EXPECT_EQ(images[0].rect, QRect(5, 5, 32, 32));
}

TEST_F(MarkupLayoutTest, FreeWidthGoesToColumnsWithoutOwnWidth) {
  const QString markup = "<table bgcolor=white><tr><td><hr width=40></td><td><hr width=60></td></tr></table>";
  EXPECT_EQ(Measure(markup).width(), 101 + 1);
  DrawMarkup(drawer, markup, QSize(200, 50));
  const auto effects = ItemsOf(drawer, MarkupItem::Kind::Effect);
  ASSERT_EQ(effects.size(), 1u);
  EXPECT_EQ(effects[0].rect.width(), 200);
  const auto rules = ItemsOf(drawer, MarkupItem::Kind::Line);
  ASSERT_EQ(rules.size(), 2u);
  EXPECT_EQ(rules[1].from.x(), 40 + 49 + 1);  // the first column got 49 more, the second 50
}

TEST_F(MarkupLayoutTest, SpansShareTheirShortfall) {
  const QString markup =
      "<table><tr><td colspan=2><hr width=101></td></tr><tr><td><hr width=10></td><td><hr width=10></td></tr></table>";
  // The spanned columns (10 + 1 + 10) are 80 short: 40 each.
  EXPECT_EQ(Measure(markup).width(), 50 + 1 + 50 + 1);
}

TEST_F(MarkupLayoutTest, TableBordersAndCellColours) {
  DrawMarkup(drawer, "<table border=2 cellspacing=3 bordercolorlight=white bordercolordark=black>"
                     "<tr><td bgcolor=#00ff00 bgeffect=vgradient bgendcolor=blue>x</td></tr></table>");
  const auto frames = ItemsOf(drawer, MarkupItem::Kind::Frame);
  ASSERT_EQ(frames.size(), 2u);  // the table's and the cell's
  EXPECT_EQ(frames[0].lineWidth, 2);
  EXPECT_EQ(frames[0].light, ColorRef(0xFFFFFF));
  EXPECT_EQ(frames[0].dark, ColorRef(0x000000));
  EXPECT_EQ(frames[1].lineWidth, 1);
  const auto effects = ItemsOf(drawer, MarkupItem::Kind::Effect);
  ASSERT_EQ(effects.size(), 1u);
  EXPECT_EQ(effects[0].effect, 2);
  EXPECT_EQ(effects[0].start, ColorRef(0x00FF00));
  EXPECT_EQ(effects[0].end, ColorRef(0xFF0000));
  EXPECT_EQ(effects[0].grain, 5);
  EXPECT_EQ(effects[0].rect.topLeft(), QPoint(2 + 3, 2 + 3));
}

TEST_F(MarkupLayoutTest, LimitsBoundWhatATextCanAskFor) {
  EXPECT_LE(Measure("a<br=99999999>b").height(), 65 * 13 + 1);
  EXPECT_EQ(Texts("<font size=100000px>x</font>")[0].rect.height(), 256);
  QString wide = "<table>";
  for (int i = 0; i < 200; ++i) wide += "<td bgcolor=red>x</td>";
  DrawMarkup(drawer, wide + "</table>");
  EXPECT_EQ(ItemsOf(drawer, MarkupItem::Kind::Effect).size(), 64u);
  QString deep;
  for (int i = 0; i < 40; ++i) deep += "<table><tr><td>";
  deep += "core";
  Measure(deep);  // nested beyond the limit: the inner tables are dropped
  EXPECT_TRUE(Texts(deep).empty());
  QString nested;
  for (int i = 0; i < 1000; ++i) nested += "<b>";
  EXPECT_EQ(Texts(nested + "x")[0].weight, 900);
}

TEST_F(MarkupLayoutTest, UnreadableImagesTakeNoRoom) {
  const auto items = Texts("a<bmp file=/dev/zero><icon handle=12345><bmp idres=65000>b");
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[1].rect.left(), items[0].rect.right() + 1);
}

TEST_F(MarkupLayoutTest, ImageSizesAndShadow) {
  QImage picture(20, 10, QImage::Format_ARGB32);
  picture.fill(Qt::blue);
  const ScopedMarkupImage handle(picture);
  const QString base = QStringLiteral("<bmp handle=%1 ").arg(handle.handle());
  DrawMarkup(drawer, base + "width=200% height=5>" + base + "style=s>");
  const auto images = ItemsOf(drawer, MarkupItem::Kind::Image);
  ASSERT_EQ(images.size(), 2u);
  EXPECT_EQ(images[0].rect.size(), QSize(40, 5));
  EXPECT_EQ(images[1].rect.size(), QSize(24, 14));  // grown by the shadow offset
  EXPECT_EQ(drawer.imageShadow().color(), ColorRef(0x808080));
}

class MarkupLinkTest : public MarkupLayoutTest {
 protected:
  void SetUp() override {
    drawer.SetNotify([this](int link) { notified.push_back(link); });
    drawer.SetLinkMessage([this](const QString& text) { messages.push_back(text); });
    DrawMarkup(drawer, "<a href=\"https://example.org/\">first</a> and <a msg=second>second</a>");
    const auto items = TextItems(drawer);
    ASSERT_EQ(items.size(), 3u);
    first = items[0].rect.center();
    second = items[2].rect.center();
  }
  std::vector<int> notified;
  std::vector<QString> messages;
  QPoint first, second;
};

TEST_F(MarkupLinkTest, HoverIsNotifiedOncePerChange) {
  EXPECT_TRUE(drawer.OnMouseMove(first));
  EXPECT_TRUE(drawer.OnMouseMove(first + QPoint(1, 0)));
  EXPECT_TRUE(drawer.OnMouseMove(second));
  EXPECT_FALSE(drawer.OnMouseMove(QPoint(299, 199)));
  EXPECT_FALSE(drawer.OnMouseMove(QPoint(298, 199)));
  EXPECT_EQ(notified, (std::vector<int>{0, 1, -2}));
}

TEST_F(MarkupLinkTest, HoveredLinkDrawsWithTheHoverStyle) {
  EXPECT_FALSE(TextItems(drawer)[0].font.underline());
  drawer.OnMouseMove(first);
  QImage image(300, 200, QImage::Format_RGB32);
  QPainter painter(&image);
  drawer.Draw(painter, image.rect());
  EXPECT_TRUE(TextItems(drawer)[0].font.underline());
  EXPECT_EQ(TextItems(drawer)[0].color, ColorRef(0xFF0000));  // blue
}

TEST_F(MarkupLinkTest, ClicksOpenAddressesAndSendMessages) {
  std::vector<QUrl> opened;
  const ScopedShellOpener opener([&](const QUrl& url) {
    opened.push_back(url);
    return true;
  });
  drawer.OnClick(first);
  drawer.OnClick(second);
  drawer.OnClick(QPoint(299, 199));
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], QUrl("https://example.org/"));
  EXPECT_EQ(messages, (std::vector<QString>{"second"}));
}

}  // namespace
}  // namespace drelin
