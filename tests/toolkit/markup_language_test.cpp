// The markup language: tokens and entities, attributes, the values of
// lengths, colours and effects, the colour names (the system names bound to
// the palette), and style declarations changing the text state.
#include <QColor>
#include <QGuiApplication>
#include <QPalette>

#include <gtest/gtest.h>

#include <optional>

#include "MarkupColors.h"
#include "MarkupStyleSheet.h"
#include "MarkupTokenizer.h"
#include "MarkupValues.h"

namespace drelin {
namespace {

QString ShownText(const QString& markup) {
  QString text;
  for (const MarkupToken& token : TokenizeMarkup(PreprocessMarkup(markup, true)))
    if (token.kind == MarkupToken::Kind::Text) text += token.text;
  return text;
}

TEST(MarkupTokenizer, TextEntitiesAndAttributes) {
  const struct { const char* markup; const char* shown; } cases[] = {
      {"a<<b>c", "a<b>c"},  // "<<" is a literal "<", and what follows it is text
      {"&lt;b>x", "<b>x"},  // the entity shows the tag as text, not bold
      {"&copy; &reg; &bull; &trade; &euro; &pound; &para; &iquest;", "© ® • ™ € £ ¶ ¿"},
      {"&quot;&gt;&amp;&nbsp;|", "\">& |"}, {"<blink>gone?</blink>", "gone?"},
      {"&amp;lt;", "<"},             // entities are replaced once, in alphabetical order
      {"ok<font color=red", "ok"}};  // an unterminated tag swallows the rest
  for (const auto& c : cases) EXPECT_EQ(ShownText(c.markup), QString::fromUtf8(c.shown)) << c.markup;
  for (const char* data : {"C:<dir>/a&b.dbf", "&amp;lt; &copy; <b>x</b> <<"})
    EXPECT_EQ(ShownText(EscapeMarkup(data)), data);
  EXPECT_EQ(PreprocessMarkup("a\r\nb\tc", true), "a<br>b<t>c");
  EXPECT_EQ(PreprocessMarkup("a\r\nb\tc", false), "abc");

  const MarkupAttributes attributes = ParseAttributes("face=\"Courier New\" SIZE='3' flag color=#ff0000");
  EXPECT_EQ(attributes, (MarkupAttributes{{"face", "Courier New"}, {"size", "3"}, {"flag", ""}, {"color", "#ff0000"}}));
  EXPECT_EQ(FindAttribute(attributes, "missing"), nullptr);
}

TEST(MarkupValues, LengthsColoursAndEffects) {
  const LengthContext context{16, 8, 96};
  const struct { const char* text; int current; bool fontSizes; int pixels; } lengths[] = {
      {"150%", 16, false, 24}, {"3", 16, true, 12},   {"7", 16, true, 36},   {"8", 16, true, 8},
      {"10pt", 16, false, 13}, {"2em", 0, false, 32}, {"2ex", 0, false, 16}, {"1in", 0, false, 96},
      {"1pc", 0, false, 16},   {"2cm", 0, false, 74},  // 2 x trunc(96 x 0.3937)
      {"+5px", 0, false, 5},   {"0x10", 0, false, 16}, {"", 7, false, 7},    {"wide", 7, false, 7},
      {"99999999999px", 0, false, 1 << 22}};
  for (const auto& c : lengths) EXPECT_EQ(ParseLength(c.text, c.current, context, c.fontSizes), c.pixels) << c.text;
  EXPECT_EQ(MulDiv(10, 80, 45), 18);
  EXPECT_EQ(MulDiv(-7, 1, 2), -4);

  const MarkupColorTable table;
  EXPECT_EQ(table.size(), 168u);  // 140 web names and 28 system names
  const ColorRef current(0x123456);
  const struct { const char* text; ColorRef color; } colours[] = {
      {"#ff0000", ColorRef(0x0000FF)}, {"#f00", current},  // the three-digit form is not read
      {"255", ColorRef(0x0000FF)},     {"0xFF0000", ColorRef(0xFF0000)},
      {"brown", ColorRef::FromRgb(165, 42, 42)},   {"gold", ColorRef::FromRgb(255, 215, 0)},
      {"pink", ColorRef::FromRgb(255, 192, 203)},  {"lightgrey", ColorRef::FromRgb(211, 211, 211)},
      {"lightgray", current}, {"Red", current}, {"", current}, {"buttonface", SystemColor(kColorButtonFace)}};
  for (const auto& c : colours) EXPECT_EQ(ParseColor(c.text, current, table), c.color) << c.text;

  const struct { const char* text; int effect; } effects[] = {
      {"transparent", -1}, {"solid", 0},    {"3vgradient", 6}, {"vbump", 12},
      {"metal", 15},       {"sparkles", 0}, {"9", 9},          {"", 3}};
  for (const auto& c : effects) EXPECT_EQ(ParseEffect(c.text, 3), c.effect) << c.text;
}

// Sets a palette in which every role and the disabled texts have colours of
// their own, for the life of the object.
class ScopedDistinctPalette {
 public:
  ScopedDistinctPalette() : saved_(QGuiApplication::palette()) {
    QPalette palette = saved_;
    for (int role = 0; role < QPalette::NColorRoles; ++role)
      palette.setColor(static_cast<QPalette::ColorRole>(role), QColor(role * 8, 255 - role * 8, 40));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(1, 2, 3));
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(4, 5, 6));
    QGuiApplication::setPalette(palette);
  }
  ~ScopedDistinctPalette() { QGuiApplication::setPalette(saved_); }

 private:
  QPalette saved_;
};

TEST(MarkupColors, SystemNamesTakeTheirPaletteRoleAtConstruction) {
  using P = QPalette;
  const struct { const char* name; P::ColorRole role; P::ColorGroup group = P::Active; } names[] = {
      {"activeborder", P::Window},         {"activecaption", P::Highlight},    {"appworkspace", P::Mid},
      {"background", P::Dark},             {"buttonface", P::Button},          {"buttonhighlight", P::Light},
      {"buttonshadow", P::Dark},           {"buttontext", P::ButtonText},      {"captiontext", P::HighlightedText},
      {"graytext", P::Text, P::Disabled},  {"highlight", P::Highlight},        {"highlighttext", P::HighlightedText},
      {"inactiveborder", P::Window},       {"inactivecaption", P::Mid},        {"inactivecaptiontext", P::WindowText, P::Disabled},
      {"infobackground", P::ToolTipBase},  {"infotext", P::ToolTipText},       {"menu", P::Window},
      {"menutext", P::WindowText},         {"scrollbar", P::Midlight},         {"threeddarkshadow", P::Shadow},
      {"threedface", P::Button},           {"threedhighlight", P::Light},      {"threedlightshadow", P::Midlight},
      {"threedshadow", P::Dark},           {"window", P::Base},                {"windowframe", P::Shadow},
      {"windowtext", P::Text}};
  static_assert(std::size(names) == 28);
  std::optional<MarkupColorTable> table;
  {
    const ScopedDistinctPalette distinct;
    table.emplace();
    const QPalette palette = QGuiApplication::palette();
    ASSERT_NE(palette.color(P::Dark), palette.color(P::Shadow));  // the roles really differ
    for (const auto& c : names) {
      ColorRef color;
      ASSERT_TRUE(table->Find(c.name, &color)) << c.name;
      EXPECT_EQ(color, ColorRef::FromQColor(palette.color(c.group, c.role))) << c.name;
    }
  }
  // The palette current at construction stays: a later change is not seen.
  ColorRef face;
  ASSERT_TRUE(table->Find("buttonface", &face));
  EXPECT_EQ(face.toQColor(), QColor(P::Button * 8, 255 - P::Button * 8, 40));
  EXPECT_NE(face, SystemColor(kColorButtonFace));
}

TEST(MarkupStyles, DeclarationsChangeTheTextState) {
  const MarkupColorTable table;
  StyleContext context;
  context.colors = &table;
  MarkupTextState state;
  ApplyDeclarations("font-weight:bolder; font-style:oblique; text-decoration:underline, overline;"
                    "vertical-align:top; color:#00ff00; background-color:white; border-width:0",
                    state, context);
  EXPECT_EQ(state.weight, 900);
  EXPECT_TRUE(state.italic && state.underline && state.overline && !state.strikeout && state.opaque);
  EXPECT_EQ(state.vAlign, VAlign::Top);
  EXPECT_EQ(state.color, ColorRef(0x00FF00));
  EXPECT_EQ(state.borderStyle, BorderStyle::None);
  ApplyDeclarations("text-decoration:; FONT-WEIGHT:lighter; font-size:2; border-width:3; color:nonsense", state,
                    context);
  EXPECT_FALSE(state.underline || state.overline);
  EXPECT_EQ(state.weight, 100);
  EXPECT_EQ(state.size, 10);
  EXPECT_EQ(state.borderStyle, BorderStyle::Solid);
  EXPECT_EQ(state.color, ColorRef(0x00FF00));
  context.colorsEnabled = false;  // with colours off, every colour given is the disabled colour
  context.disabledColor = ColorRef(0x808080);
  ApplyDeclarations("color:red", state, context);
  EXPECT_EQ(state.color, ColorRef(0x808080));
}

}  // namespace
}  // namespace drelin
