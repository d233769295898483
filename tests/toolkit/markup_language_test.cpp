// The markup language: preprocessing, tokens, values, colours, styles and
// how tags change the text state (read back from the drawn items).
#include <gtest/gtest.h>

#include "MarkupColors.h"
#include "MarkupDrawer.h"
#include "MarkupStyleSheet.h"
#include "MarkupTokenizer.h"
#include "MarkupValues.h"
#include "StringTable.h"
#include "ToolkitTestSupport.h"

namespace drelin {
namespace {

using testing::DrawMarkup;
using testing::TextItems;

QString ShownText(const QString& markup) {
  QString text;
  for (const MarkupToken& token : TokenizeMarkup(PreprocessMarkup(markup, true)))
    if (token.kind == MarkupToken::Kind::Text) text += token.text;
  return text;
}

TEST(MarkupTokenizer, LessThanSignsAndEntities) {
  // "<<" is a literal "<", and what follows it is text, not a tag.
  EXPECT_EQ(ShownText("a<<b>c"), "a<b>c");
  // The less-than entity before b shows the tag as text, not bold.
  EXPECT_EQ(ShownText("&lt;b>x"), "<b>x");
  EXPECT_EQ(ShownText("&copy; &reg; &bull; &trade; &euro; &pound; &para; &iquest;"),
            QString::fromUtf8("© ® • ™ € £ ¶ ¿"));
  EXPECT_EQ(ShownText("&quot;&gt;&amp;&nbsp;|"), "\">& |");
  // Entities are replaced once, in alphabetical order: "&amp;lt;" ends as "<".
  EXPECT_EQ(ShownText("&amp;lt;"), "<");
  EXPECT_EQ(ShownText("<blink>gone?</blink>"), "gone?");
}

TEST(MarkupTokenizer, EscapedDataShowsAsWritten) {
  for (const QString& data : {QStringLiteral("C:<dir>/a&b.dbf"), QStringLiteral("&amp;lt; &copy; <b>x</b> <<")})
    EXPECT_EQ(ShownText(EscapeMarkup(data)), data);
}

TEST(MarkupTokenizer, TagsNamesParametersAndCounts) {
  const std::vector<MarkupToken> tokens = TokenizeMarkup("<font color=red  size=3>x</font><br=3><t 2><hr>");
  ASSERT_EQ(tokens.size(), 6u);
  EXPECT_EQ(tokens[0].kind, MarkupToken::Kind::Open);
  EXPECT_EQ(tokens[0].text, "font");
  EXPECT_EQ(tokens[0].params, "color=red  size=3");
  EXPECT_EQ(tokens[2].kind, MarkupToken::Kind::Close);
  EXPECT_EQ(ParseTagCount(tokens[3].rest, 64), 3);
  EXPECT_EQ(ParseTagCount(tokens[4].rest, 64), 2);
  EXPECT_EQ(ParseTagCount(tokens[5].rest, 64), 1);
  EXPECT_EQ(ParseTagCount("=100000", 64), 64);
  EXPECT_EQ(ParseTagCount("=junk", 64), 1);
  // An unterminated tag swallows the rest rather than showing it.
  EXPECT_EQ(ShownText("ok<font color=red"), "ok");
}

TEST(MarkupTokenizer, AttributesWithQuotes) {
  const MarkupAttributes attributes = ParseAttributes("face=\"Courier New\" SIZE='3' flag color=#ff0000");
  ASSERT_EQ(attributes.size(), 4u);
  EXPECT_EQ(*FindAttribute(attributes, "face"), "Courier New");
  EXPECT_EQ(*FindAttribute(attributes, "size"), "3");
  EXPECT_EQ(*FindAttribute(attributes, "flag"), "");
  EXPECT_EQ(*FindAttribute(attributes, "color"), "#ff0000");
  EXPECT_EQ(FindAttribute(attributes, "missing"), nullptr);
}

TEST(MarkupTokenizer, NewlineModeAndCarriageReturns) {
  EXPECT_EQ(PreprocessMarkup("a\r\nb\tc", true), "a<br>b<t>c");
  EXPECT_EQ(PreprocessMarkup("a\r\nb\tc", false), "abc");
}

TEST(MarkupValues, Lengths) {
  const LengthContext context{16, 8, 96};
  EXPECT_EQ(ParseLength("150%", 16, context), 24);
  EXPECT_EQ(ParseLength("3", 16, context, true), 12);
  EXPECT_EQ(ParseLength("7", 16, context, true), 36);
  EXPECT_EQ(ParseLength("8", 16, context, true), 8);
  EXPECT_EQ(ParseLength("10pt", 16, context), 13);
  EXPECT_EQ(ParseLength("2em", 0, context), 32);
  EXPECT_EQ(ParseLength("2ex", 0, context), 16);
  EXPECT_EQ(ParseLength("1in", 0, context), 96);
  EXPECT_EQ(ParseLength("1pc", 0, context), 16);
  EXPECT_EQ(ParseLength("2cm", 0, context), 74);  // 2 x trunc(96 x 0.3937)
  EXPECT_EQ(ParseLength("+5px", 0, context), 5);
  EXPECT_EQ(ParseLength("0x10", 0, context), 16);
  EXPECT_EQ(ParseLength("", 7, context), 7);
  EXPECT_EQ(ParseLength("wide", 7, context), 7);
  EXPECT_EQ(ParseLength("99999999999px", 0, context), 1 << 22);
  EXPECT_EQ(MulDiv(10, 80, 45), 18);
  EXPECT_EQ(MulDiv(-7, 1, 2), -4);
}

TEST(MarkupValues, ColoursNumbersAndNames) {
  const MarkupColorTable table;
  EXPECT_EQ(table.size(), 168u);  // 140 web names and 28 system names
  const ColorRef current(0x123456);
  EXPECT_EQ(ParseColor("#ff0000", current, table), ColorRef(0x0000FF));
  EXPECT_EQ(ParseColor("#f00", current, table), current);
  EXPECT_EQ(ParseColor("255", current, table), ColorRef(0x0000FF));
  EXPECT_EQ(ParseColor("0xFF0000", current, table), ColorRef(0xFF0000));
  EXPECT_EQ(ParseColor("brown", current, table), ColorRef::FromRgb(165, 42, 42));
  EXPECT_EQ(ParseColor("gold", current, table), ColorRef::FromRgb(255, 215, 0));
  EXPECT_EQ(ParseColor("pink", current, table), ColorRef::FromRgb(255, 192, 203));
  EXPECT_EQ(ParseColor("lightgrey", current, table), ColorRef::FromRgb(211, 211, 211));
  EXPECT_EQ(ParseColor("lightgray", current, table), current);
  EXPECT_EQ(ParseColor("Red", current, table), current);
  EXPECT_EQ(ParseColor("", current, table), current);
  EXPECT_EQ(ParseColor("buttonface", current, table), SystemColor(kColorButtonFace));
}

TEST(MarkupValues, EffectNames) {
  EXPECT_EQ(ParseEffect("transparent", 3), -1);
  EXPECT_EQ(ParseEffect("solid", 3), 0);
  EXPECT_EQ(ParseEffect("3vgradient", 3), 6);
  EXPECT_EQ(ParseEffect("vbump", 3), 12);
  EXPECT_EQ(ParseEffect("metal", 3), 15);
  EXPECT_EQ(ParseEffect("sparkles", 3), 0);
  EXPECT_EQ(ParseEffect("9", 3), 9);
  EXPECT_EQ(ParseEffect("", 3), 3);
}

TEST(MarkupStyles, DeclarationsChangeTheState) {
  const MarkupColorTable table;
  StyleContext context;
  context.colors = &table;
  MarkupTextState state;
  ApplyDeclarations("font-weight:bolder; font-style:oblique; text-decoration:underline, overline;"
                    "vertical-align:top; color:#00ff00; background-color:white; border-width:0",
                    state, context);
  EXPECT_EQ(state.weight, 900);
  EXPECT_TRUE(state.italic);
  EXPECT_TRUE(state.underline && state.overline && !state.strikeout);
  EXPECT_EQ(state.vAlign, VAlign::Top);
  EXPECT_EQ(state.color, ColorRef(0x00FF00));
  EXPECT_TRUE(state.opaque);
  EXPECT_EQ(state.borderStyle, BorderStyle::None);
  ApplyDeclarations("text-decoration:; FONT-WEIGHT:lighter; font-size:2; border-width:3; color:nonsense", state, context);
  EXPECT_FALSE(state.underline || state.overline);
  EXPECT_EQ(state.weight, 100);
  EXPECT_EQ(state.size, 10);
  EXPECT_EQ(state.borderStyle, BorderStyle::Solid);
  EXPECT_EQ(state.color, ColorRef(0x00FF00));
  // With colours off, every colour given is the disabled colour.
  context.colorsEnabled = false;
  context.disabledColor = ColorRef(0x808080);
  ApplyDeclarations("color:red", state, context);
  EXPECT_EQ(state.color, ColorRef(0x808080));
}

TEST(MarkupStyles, SheetSelectorsAndDefaultSheet) {
  MarkupStyleSheet sheet;
  ASSERT_NE(sheet.Find("h2"), nullptr);
  EXPECT_TRUE(sheet.Find("h2")->contains("#ff9900"));
  ASSERT_NE(sheet.Find(".cpp-comment"), nullptr);
  ASSERT_NE(sheet.Find("a:hover"), nullptr);
  sheet.Set(".note {color: red} b, i {font-size: 20px}");
  EXPECT_EQ(sheet.Find("h2"), nullptr);
  EXPECT_NE(sheet.Find("b"), nullptr);
  EXPECT_NE(sheet.Find("i"), nullptr);
}

class MarkupTagTest : public ::testing::Test {
 protected:
  std::vector<MarkupItem> Items(const QString& markup) {
    DrawMarkup(drawer, markup);
    return TextItems(drawer);
  }
  MarkupDrawer drawer;
};

TEST_F(MarkupTagTest, BoldDoublesTheWeightUpTo900) {
  const auto items = Items("a<b>b<b>c</b>d</b>e");
  ASSERT_EQ(items.size(), 5u);
  EXPECT_EQ(items[0].weight, 400);
  EXPECT_EQ(items[1].weight, 800);
  EXPECT_EQ(items[2].weight, 900);
  EXPECT_EQ(items[3].weight, 800);
  EXPECT_EQ(items[4].weight, 400);
}

TEST_F(MarkupTagTest, ClosingTagsMatchByStackLabel) {
  // </i> closes <em> (same label); </u> does not close <b>.
  const auto items = Items("<em>a</i>b<b>c</u>d");
  ASSERT_EQ(items.size(), 4u);
  EXPECT_TRUE(items[0].font.italic());
  EXPECT_FALSE(items[1].font.italic());
  EXPECT_EQ(items[3].weight, 800);
}

TEST_F(MarkupTagTest, FontColoursAndSizes) {
  const auto items = Items("a<font color=#ff0000>b</font><font color=255>c</font>"
                           "<font color=#abc>d</font><font size=3>e</font><font size=150%>f</font>");
  ASSERT_EQ(items.size(), 6u);
  EXPECT_EQ(items[0].rect.height(), 13);  // body: 10 pt at 96 DPI
  EXPECT_EQ(items[0].color, ColorRef(0x000000));
  EXPECT_EQ(items[1].color, ColorRef(0x0000FF));
  EXPECT_EQ(items[2].color, ColorRef(0x0000FF));
  EXPECT_EQ(items[3].color, ColorRef(0x000000));
  EXPECT_EQ(items[4].rect.height(), 12);
  EXPECT_EQ(items[5].rect.height(), 20);  // 13 x 150 % rounded
}

TEST_F(MarkupTagTest, FontStyleLettersAndBackground) {
  const auto items = Items("<font style=bi-i+u bkgnd=yellow>a</font><font style=o weight=bold>b</font>");
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].weight, 700);
  EXPECT_FALSE(items[0].font.italic());
  EXPECT_TRUE(items[0].font.underline());
  EXPECT_TRUE(items[0].opaque);
  EXPECT_EQ(items[0].background, ColorRef::FromRgb(255, 255, 0));
  EXPECT_EQ(items[1].overline, 2);
}

TEST_F(MarkupTagTest, StyledBlocksSpansAndTransforms) {
  drawer.SetStyleSheet(MarkupStyleSheet::DefaultText() +
                       ".shout {text-transform:uppercase} .title {text-transform:capitalize}");
  const auto items = Items("<h2>h</h2><span class=cpp-comment>c</span><span class=shout>loud</span>"
                           "<span class=title>hello big wORLD</span><sub>s</sub>");
  ASSERT_EQ(items.size(), 5u);
  EXPECT_EQ(items[0].color, ColorRef::FromRgb(0xff, 0x99, 0x00));
  EXPECT_EQ(items[0].weight, 700);
  EXPECT_EQ(items[1].color, ColorRef::FromRgb(0, 128, 0));
  EXPECT_TRUE(items[1].font.italic());
  EXPECT_EQ(items[2].text, "LOUD");
  EXPECT_EQ(items[3].text, "Hello Big World");
  EXPECT_EQ(items[4].rect.height(), 8);  // 65 % of 13
  drawer.SetStyleSheet(std::nullopt);
  EXPECT_EQ(Items("<span class=shout>q</span>")[0].text, "q");
}

TEST_F(MarkupTagTest, ColoursOffUseTheDisabledColour) {
  drawer.SetColorsEnabled(false);
  drawer.SetDisabledColor(ColorRef(0x808080));
  const auto items = Items("<font color=red bkgnd=yellow>a</font>");
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].color, ColorRef(0x808080));
  EXPECT_FALSE(items[0].opaque);
}

TEST_F(MarkupTagTest, StringTagInsertsProgramStrings) {
  ProgramStrings()[4242] = "from the table";
  const auto items = Items("[<string idres=4242>]<string idres=4243>");
  ProgramStrings().erase(4242);
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[1].text, "from the table");
}

}  // namespace
}  // namespace drelin
