#include "MarkupColors.h"

#include <QGuiApplication>
#include <QPalette>

#include <array>

#include "MarkupValues.h"

namespace drelin {
namespace {

// The web colour names a text may use; their values are the CSS/X11 ones.
constexpr std::array<const char*, 140> kWebColorNames = {
    "aqua", "black", "blue", "brown", "cyan", "gold", "gray", "green", "magenta", "maroon",
    "navy", "olive", "orange", "pink", "purple", "red", "silver", "snow", "violet", "white",
    "yellow", "aliceblue", "antiquewhite", "aquamarine", "azure", "beige", "bisque",
    "blanchedalmond", "blueviolet", "burlywood", "cadetblue", "chartreuse", "chocolate",
    "coral", "cornflowerblue", "cornsilk", "crimson", "darkblue", "darkcyan", "darkgoldenrod",
    "darkgray", "darkgreen", "darkkhaki", "darkmagenta", "darkolivegreen", "darkorange",
    "darkorchid", "darkred", "darksalmon", "darkseagreen", "darkslateblue", "darkslategray",
    "darkturquoise", "darkviolet", "deeppink", "deepskyblue", "dimgray", "dodgerblue",
    "firebrick", "floralwhite", "forestgreen", "fuchsia", "gainsboro", "ghostwhite",
    "goldenrod", "greenyellow", "honeydew", "hotpink", "indianred", "indigo", "ivory", "khaki",
    "lavender", "lavenderblush", "lawngreen", "lemonchiffon", "lightblue", "lightcoral",
    "lightcyan", "lightgoldenrodyellow", "lightgreen", "lightgrey", "lightpink", "lightsalmon",
    "lightseagreen", "lightskyblue", "lightslategray", "lightsteelblue", "lightyellow", "lime",
    "limegreen", "linen", "mediumaquamarine", "mediumblue", "mediumorchid", "mediumpurple",
    "mediumseagreen", "mediumslateblue", "mediumspringgreen", "mediumturquoise",
    "mediumvioletred", "midnightblue", "mintcream", "mistyrose", "moccasin", "navajowhite",
    "oldlace", "olivedrab", "orangered", "orchid", "palegoldenrod", "palegreen",
    "paleturquoise", "palevioletred", "papayawhip", "peachpuff", "peru", "plum", "powderblue",
    "rosybrown", "royalblue", "saddlebrown", "salmon", "sandybrown", "seagreen", "seashell",
    "sienna", "skyblue", "slateblue", "slategray", "springgreen", "steelblue", "tan", "teal",
    "thistle", "tomato", "turquoise", "wheat", "whitesmoke", "yellowgreen"};

struct SystemName {
  const char* name;
  int index;
};

constexpr std::array<SystemName, 28> kSystemColorNames = {{
    {"activeborder", 10},     {"activecaption", 2},        {"appworkspace", 12},
    {"background", 1},        {"buttonface", 15},          {"buttonhighlight", 20},
    {"buttonshadow", 16},     {"buttontext", 18},          {"captiontext", 9},
    {"graytext", 17},         {"highlight", 13},           {"highlighttext", 14},
    {"inactiveborder", 11},   {"inactivecaption", 3},      {"inactivecaptiontext", 19},
    {"infobackground", 24},   {"infotext", 23},            {"menu", 4},
    {"menutext", 7},          {"scrollbar", 0},            {"threeddarkshadow", 21},
    {"threedface", 15},       {"threedhighlight", 20},     {"threedlightshadow", 22},
    {"threedshadow", 16},     {"window", 5},               {"windowframe", 6},
    {"windowtext", 8},
}};

// Classic values of the original platform, used when no palette exists.
constexpr std::array<std::uint32_t, 25> kClassicColors = {
    0xC8C8C8, 0x000000, 0xD1B499, 0xDBCDBF, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000, 0x000000,
    0x000000, 0xB4B4B4, 0xFCF7F4, 0xABABAB, 0xFF9933, 0xFFFFFF, 0xF0F0F0, 0xA0A0A0, 0x6D6D6D,
    0x000000, 0x544E43, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000, 0xE1FFFF};

}  // namespace

ColorRef SystemColor(int index) {
  if (index < 0 || index >= static_cast<int>(kClassicColors.size())) return ColorRef();
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
    return ColorRef(kClassicColors[static_cast<std::size_t>(index)]);
  const QPalette palette = QGuiApplication::palette();
  auto role = [&](QPalette::ColorRole r, QPalette::ColorGroup g = QPalette::Active) {
    return ColorRef::FromQColor(palette.color(g, r));
  };
  switch (index) {
    case 0: return role(QPalette::Midlight);
    case 1: return role(QPalette::Dark);
    case 2: return role(QPalette::Highlight);
    case 3: return role(QPalette::Mid);
    case 4: return role(QPalette::Window);
    case 5: return role(QPalette::Base);
    case 6: return role(QPalette::Shadow);
    case 7: return role(QPalette::WindowText);
    case 8: return role(QPalette::Text);
    case 9: return role(QPalette::HighlightedText);
    case 10: return role(QPalette::Window);
    case 11: return role(QPalette::Window);
    case 12: return role(QPalette::Mid);
    case 13: return role(QPalette::Highlight);
    case 14: return role(QPalette::HighlightedText);
    case 15: return role(QPalette::Button);
    case 16: return role(QPalette::Dark);
    case 17: return role(QPalette::Text, QPalette::Disabled);
    case 18: return role(QPalette::ButtonText);
    case 19: return role(QPalette::WindowText, QPalette::Disabled);
    case 20: return role(QPalette::Light);
    case 21: return role(QPalette::Shadow);
    case 22: return role(QPalette::Midlight);
    case 23: return role(QPalette::ToolTipText);
    case 24: return role(QPalette::ToolTipBase);
    default: return ColorRef();
  }
}

MarkupColorTable::MarkupColorTable() {
  for (const char* name : kWebColorNames)
    colors_.emplace(QString::fromLatin1(name), ColorRef::FromQColor(QColor(QLatin1String(name))));
  for (const SystemName& entry : kSystemColorNames)
    colors_.emplace(QString::fromLatin1(entry.name), SystemColor(entry.index));
}

bool MarkupColorTable::Find(const QString& name, ColorRef* color) const {
  const auto it = colors_.find(name);
  if (it == colors_.end()) return false;
  *color = it->second;
  return true;
}

ColorRef ParseColor(const QString& value, ColorRef current, const MarkupColorTable& table) {
  if (value.isEmpty()) return current;
  if (value.front() == QLatin1Char('#')) {
    if (value.size() != 7) return current;
    bool ok = false;
    const uint rgb = value.mid(1).toUInt(&ok, 16);
    if (!ok) return current;
    return ColorRef::FromRgb(static_cast<int>(rgb >> 16), static_cast<int>(rgb >> 8),
                             static_cast<int>(rgb));
  }
  if (value.front().isDigit()) {
    const std::optional<long long> number = ParseNumber(value);
    if (!number) return current;
    return ColorRef(static_cast<std::uint32_t>(*number));
  }
  ColorRef named;
  return table.Find(value, &named) ? named : current;
}

}  // namespace drelin
