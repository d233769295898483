#include "MarkupStyleSheet.h"

#include <QStringList>

#include <algorithm>

#include "MarkupLimits.h"

namespace drelin {
namespace {

QString Unquote(QString value) {
  value = value.trimmed();
  if (value.size() >= 2 && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')) &&
      value.back() == value.front())
    value = value.mid(1, value.size() - 2);
  return value;
}

int ClampFontSize(int size) {
  return std::clamp(size, markup_limits::kMinFontPixels, markup_limits::kMaxFontPixels);
}

}  // namespace

QString MarkupStyleSheet::DefaultText() {
  static const char* const kRules[] = {
      "body {font-size: 10pt; color:black; font-family:Verdana}",
      "p {font-size: 10pt; color:black; font-family:Verdana; font-weight:bold}",
      "h1 {font-size: 14pt; color:black; font-family:Verdana; font-weight:bold}",
      "h2 {font-size: 13pt; color:#ff9900; font-family:Verdana; font-weight:bold}",
      "h3 {font-size: 12pt; color:#ff9900; font-family:Arial; font-weight:bold}",
      "h4 {font-size: 10pt; color:black; font-family:Verdana; font-weight:bold}",
      "h5 {font-size: 9pt; color:#ff9900; font-family:Verdana; font-weight:bold}",
      "h6 {font-size: 65%; color:#626262; font-family:Verdana; font-weight:normal}",
      "pre {font-size: 9pt; font-family:\"Courier\"; background-color:#fbedbb}",
      "code {color:#990000; font-family:Arial}",
      "a:link {text-decoration:none; color:blue}",
      "a:hover {text-decoration:underline; color:blue}",
      "sub {font-size:65%; vertical-align:bottom}",
      "sup {font-size:65%; vertical-align:top}",
      "big {font-size:125%}",
      "small {font-size:75%}",
      ".cpp-comment {color:green; font-style:italic}",
  };
  QString text;
  for (const char* rule : kRules) text += QLatin1String(rule) + QLatin1String("\r\n");
  return text;
}

void MarkupStyleSheet::Set(const QString& text) {
  styles_.clear();
  qsizetype pos = 0;
  while (pos < text.size()) {
    const qsizetype open = text.indexOf(QLatin1Char('{'), pos);
    if (open < 0) break;
    qsizetype close = text.indexOf(QLatin1Char('}'), open + 1);
    if (close < 0) close = text.size();
    const QString declarations = text.mid(open + 1, close - open - 1);
    for (const QString& selector : text.mid(pos, open - pos).split(QLatin1Char(','))) {
      const QString name = selector.trimmed();
      if (!name.isEmpty()) styles_[name] = declarations;
    }
    pos = close + 1;
  }
}

const QString* MarkupStyleSheet::Find(const QString& selector) const {
  const auto it = styles_.find(selector);
  return it == styles_.end() ? nullptr : &it->second;
}

ColorRef ResolveColor(const QString& value, ColorRef current, const StyleContext& context) {
  if (!context.colorsEnabled) return value.trimmed().isEmpty() ? current : context.disabledColor;
  static const MarkupColorTable kFallbackTable;
  return ParseColor(value.trimmed(), current, context.colors ? *context.colors : kFallbackTable);
}

void ApplyProperty(const QString& rawName, const QString& rawValue, MarkupTextState& state,
                   const StyleContext& context) {
  const QString name = rawName.trimmed().toLower();
  const QString value = Unquote(rawValue);
  const QString lower = value.toLower();
  if (name == QLatin1String("font-size")) {
    state.size = ClampFontSize(ParseLength(value, state.size, context.lengths, true));
  } else if (name == QLatin1String("font-family")) {
    if (!value.isEmpty()) state.face = value.left(64);
  } else if (name == QLatin1String("font-style")) {
    if (lower.isEmpty() || lower == QLatin1String("normal")) state.italic = false;
    else if (lower == QLatin1String("italic") || lower == QLatin1String("oblique")) state.italic = true;
  } else if (name == QLatin1String("font-weight")) {
    if (lower.isEmpty() || lower == QLatin1String("normal")) state.weight = 400;
    else if (lower == QLatin1String("bold")) state.weight = 700;
    else if (lower == QLatin1String("bolder")) state.weight = 900;
    else if (lower == QLatin1String("lighter")) state.weight = 100;
    else if (const std::optional<long long> weight = ParseNumber(value))
      state.weight = static_cast<int>(std::clamp<long long>(*weight, 1, 1000));
  } else if (name == QLatin1String("text-align")) {
    if (lower.isEmpty() || lower == QLatin1String("left")) state.hAlign = HAlign::Left;
    else if (lower == QLatin1String("center")) state.hAlign = HAlign::Center;
    else if (lower == QLatin1String("right")) state.hAlign = HAlign::Right;
  } else if (name == QLatin1String("text-transform")) {
    if (lower.isEmpty() || lower == QLatin1String("none")) state.transform = TextTransform::None;
    else if (lower == QLatin1String("uppercase")) state.transform = TextTransform::Upper;
    else if (lower == QLatin1String("lowercase")) state.transform = TextTransform::Lower;
    else if (lower == QLatin1String("capitalize")) state.transform = TextTransform::Capitalize;
  } else if (name == QLatin1String("color")) {
    state.color = ResolveColor(value, state.color, context);
  } else if (name == QLatin1String("background-color")) {
    if (lower == QLatin1String("transparent")) {
      state.opaque = false;
    } else if (!value.isEmpty()) {
      if (!context.colorsEnabled) return;  // backgrounds stay transparent then
      state.background = ResolveColor(value, state.background, context);
      state.opaque = true;
    }
  } else if (name == QLatin1String("text-decoration")) {
    const QStringList items = QString(lower).replace(QLatin1Char(','), QLatin1Char(' '))
                                  .split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (items.isEmpty()) state.underline = state.strikeout = state.overline = false;
    for (const QString& item : items) {
      if (item == QLatin1String("none")) state.underline = state.strikeout = state.overline = false;
      else if (item == QLatin1String("underline")) state.underline = true;
      else if (item == QLatin1String("line-through")) state.strikeout = true;
      else if (item == QLatin1String("overline")) state.overline = true;
    }
  } else if (name == QLatin1String("vertical-align")) {
    if (lower.isEmpty() || lower == QLatin1String("baseline")) state.vAlign = VAlign::Baseline;
    else if (lower == QLatin1String("middle") || lower == QLatin1String("vcenter")) state.vAlign = VAlign::Middle;
    else if (lower == QLatin1String("top")) state.vAlign = VAlign::Top;
    else if (lower == QLatin1String("bottom")) state.vAlign = VAlign::Bottom;
  } else if (name == QLatin1String("border-color")) {
    state.borderColor = ResolveColor(value, state.borderColor, context);
  } else if (name == QLatin1String("border-width") || name == QLatin1String("size")) {
    int width = state.borderWidth;
    if (lower == QLatin1String("thin")) width = MulDiv(width, 75, 100);
    else if (lower == QLatin1String("thick")) width = MulDiv(width, 125, 100);
    else if (lower != QLatin1String("medium")) width = ParseLength(value, width, context.lengths);
    state.borderWidth = std::clamp(width, 0, markup_limits::kMaxLineThickness);
    if (state.borderWidth == 0) state.borderStyle = BorderStyle::None;
    else if (state.borderStyle == BorderStyle::None) state.borderStyle = BorderStyle::Solid;
  } else if (name == QLatin1String("border-style")) {
    if (lower.isEmpty() || lower == QLatin1String("none")) state.borderStyle = BorderStyle::None;
    else if (lower == QLatin1String("solid")) state.borderStyle = BorderStyle::Solid;
    else if (lower == QLatin1String("dashed")) state.borderStyle = BorderStyle::Dashed;
    else if (lower == QLatin1String("dotted")) state.borderStyle = BorderStyle::Dotted;
    else if (lower == QLatin1String("double")) state.borderStyle = BorderStyle::Double;
  } else if (name == QLatin1String("margin")) {
    state.margin = std::clamp(ParseLength(value, state.margin, context.lengths), 0, markup_limits::kMaxLength);
  } else if (name == QLatin1String("padding")) {
    state.padding = std::clamp(ParseLength(value, state.padding, context.lengths), 0, markup_limits::kMaxLength);
  }
}

void ApplyDeclarations(const QString& declarations, MarkupTextState& state,
                       const StyleContext& context) {
  for (const QString& declaration : declarations.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
    const qsizetype colon = declaration.indexOf(QLatin1Char(':'));
    if (colon < 0) continue;
    ApplyProperty(declaration.left(colon), declaration.mid(colon + 1), state, context);
  }
}

}  // namespace drelin
