#include "MarkupLayout.h"

#include <algorithm>
#include <cstdlib>

#include "MarkupLimits.h"
#include "MarkupLineBuilder.h"
#include "MarkupTableGrid.h"
#include "MarkupTags.h"
#include "MarkupValues.h"

namespace drelin {
namespace {

using markup_limits::ClampExtent;

bool IsTableOpen(const MarkupToken& token) { return IsOpenTag(token, "table"); }
bool IsTableClose(const MarkupToken& token) { return IsCloseTag(token, "table"); }

// The letters of a font tag's `style`: b, i, u, s and o switch bold,
// italic, underline, strikeout and overline on, or off after a '-'.
void ApplyStyleLetters(const QString& letters, MarkupTextState& state) {
  bool on = true;
  for (const QChar c : letters) {
    switch (c.toLatin1()) {
      case '-': on = false; continue;
      case '+': on = true; continue;
      case 'b': state.weight = on ? 700 : 400; break;
      case 'i': state.italic = on; break;
      case 'u': state.underline = on; break;
      case 's': state.strikeout = on; break;
      case 'o': state.overline = on; break;
      default: break;
    }
    on = true;
  }
}

}  // namespace

// The text state while walking: the state, the copies pushed by open
// container tags with their labels, and the font of the state.
struct MarkupLayout::Walker {
  MarkupTextState state;
  std::vector<std::pair<const char*, MarkupTextState>> stack;
  MarkupFont font;
};

MarkupLayout::MarkupLayout(const MarkupLayoutContext& context, const std::vector<MarkupToken>& tokens)
    : context_(context), tokens_(tokens), linkNumbers_(tokens.size(), -1) {
  int next = 0;
  for (std::size_t i = 0; i < tokens_.size(); ++i)
    if (IsOpenTag(tokens_[i], "a")) linkNumbers_[i] = next++;
}

QSize MarkupLayout::Measure() {
  Walker walker;
  ApplyStyle(QStringLiteral("body"), walker.state);
  walker.font = FontForState(walker.state, nullptr);
  return LayoutRange(0, tokens_.size(), walker, QRect(0, 0, context_.maxLineWidth, 0), nullptr, 0);
}

QSize MarkupLayout::Draw(const QRect& rect, MarkupOutput& output) {
  Walker walker;
  ApplyStyle(QStringLiteral("body"), walker.state);
  walker.font = FontForState(walker.state, nullptr);
  return LayoutRange(0, tokens_.size(), walker, rect, &output, 0);
}

StyleContext MarkupLayout::StyleContextFor(const MarkupTextState& state) const {
  StyleContext style;
  style.colors = context_.colors;
  style.colorsEnabled = context_.colorsEnabled;
  style.disabledColor = context_.disabledColor;
  style.lengths.fontHeight = state.size;
  style.lengths.xHeight = FontForState(state, nullptr).xHeight;
  style.lengths.dpi = context_.dpi;
  return style;
}

void MarkupLayout::ApplyStyle(const QString& selector, MarkupTextState& state) const {
  if (context_.styles == nullptr) return;
  if (const QString* declarations = context_.styles->Find(selector))
    ApplyDeclarations(*declarations, state, StyleContextFor(state));
}

ColorRef MarkupLayout::Color(const QString& value, ColorRef current) const {
  StyleContext style;
  style.colors = context_.colors;
  style.colorsEnabled = context_.colorsEnabled;
  style.disabledColor = context_.disabledColor;
  return ResolveColor(value, current, style);
}

// The image of the image tag at `index` as loaded once: an image-list entry
// cut out, an icon scaled to its cx and cy.
const QImage& MarkupLayout::ImageAt(std::size_t index) {
  const auto cached = images_.find(index);
  if (cached != images_.end()) return cached->second;
  const MarkupToken& token = tokens_[index];
  const MarkupAttributes attributes = ParseAttributes(token.params);
  QImage image = context_.loadImage ? context_.loadImage(attributes) : QImage();
  const int side = markup_limits::kMaxImageSide;
  auto number = [&](const char* name) {
    const QString* value = FindAttribute(attributes, name);
    const std::optional<long long> parsed = value ? ParseNumber(*value) : std::nullopt;
    return parsed ? static_cast<int>(std::min<long long>(*parsed, side)) : 0;
  };
  if (!image.isNull() && token.text == QLatin1String("ilst")) {
    const int cx = number("cx") > 0 ? number("cx") : image.height();
    const int cy = number("cy") > 0 ? number("cy") : image.height();
    const long long left = static_cast<long long>(number("index")) * cx;
    if (cx <= 0 || cy <= 0 || left + cx > image.width() || cy > image.height())
      image = QImage();
    else
      image = image.copy(static_cast<int>(left), 0, cx, cy);
  } else if (!image.isNull() && token.text == QLatin1String("icon")) {
    const int cx = number("cx");
    const int cy = number("cy");
    if (cx > 0 || cy > 0)
      image = image.scaled(cx > 0 ? cx : image.width(), cy > 0 ? cy : image.height(),
                           Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  }
  return images_.emplace(index, std::move(image)).first->second;
}

// An open container tag: pushes the state under the tag's label and
// changes it as the tag says.
void MarkupLayout::ApplyOpenTag(std::size_t index, Walker& walker) {
  const MarkupToken& token = tokens_[index];
  const TagInfo* tag = FindTag(token.text);
  if (tag == nullptr || !IsContainer(*tag)) return;
  if (static_cast<int>(walker.stack.size()) >= markup_limits::kMaxNestingDepth) return;
  walker.stack.emplace_back(tag->label, walker.state);
  MarkupTextState& state = walker.state;
  const MarkupAttributes attributes = ParseAttributes(token.params);
  switch (tag->kind) {
    case TagKind::Bold: state.weight = std::min(state.weight * 2, 900); break;
    case TagKind::Italic: state.italic = !state.italic; break;
    case TagKind::Underline: state.underline = !state.underline; break;
    case TagKind::Strikeout: state.strikeout = !state.strikeout; break;
    case TagKind::HAlign: state.hAlign = static_cast<HAlign>(tag->value); break;
    case TagKind::VAlign: state.vAlign = static_cast<VAlign>(tag->value); break;
    case TagKind::StyledBlock: ApplyStyle(token.text, state); break;
    case TagKind::Span:
      if (const QString* name = FindAttribute(attributes, "class")) ApplyStyle(QLatin1Char('.') + *name, state);
      break;
    case TagKind::Link: {
      const QString* href = FindAttribute(attributes, "href");
      const QString* msg = FindAttribute(attributes, "msg");
      state.linkKind = href ? LinkKind::Address : (msg ? LinkKind::Message : LinkKind::None);
      state.linkText = href ? *href : (msg ? *msg : QString());
      state.linkNumber = linkNumbers_[index];
      ApplyStyle(state.linkNumber == context_.hoveredLink ? QStringLiteral("a:hover") : QStringLiteral("a:link"),
                 state);
      break;
    }
    case TagKind::Font: ApplyFontTag(attributes, state); break;
    default: break;
  }
}

void MarkupLayout::ApplyFontTag(const MarkupAttributes& attributes, MarkupTextState& state) const {
  const StyleContext style = StyleContextFor(state);
  for (const auto& [name, value] : attributes) {
    if (name == QLatin1String("face")) {
      if (!value.isEmpty()) state.face = value.left(64);
    } else if (name == QLatin1String("size")) {
      state.size = std::clamp(ParseLength(value, state.size, style.lengths, true), markup_limits::kMinFontPixels,
                              markup_limits::kMaxFontPixels);
    } else if (name == QLatin1String("color")) {
      state.color = Color(value, state.color);
    } else if (name == QLatin1String("weight")) {
      ApplyProperty(QStringLiteral("font-weight"), value, state, style);
    } else if (name == QLatin1String("bkgnd")) {
      if (value.trimmed().toLower() == QLatin1String("transparent")) {
        state.opaque = false;
      } else if (context_.colorsEnabled && !value.trimmed().isEmpty()) {
        state.background = Color(value, state.background);
        state.opaque = true;
      }
    } else if (name == QLatin1String("style")) {
      ApplyStyleLetters(value, state);
    }
  }
}

// A closing tag restores the state only when it matches the label on top.
void MarkupLayout::ApplyCloseTag(const TagInfo& tag, Walker& walker) const {
  if (!IsContainer(tag) || walker.stack.empty() || qstrcmp(walker.stack.back().first, tag.label) != 0) return;
  walker.state = std::move(walker.stack.back().second);
  walker.stack.pop_back();
  walker.font = FontForState(walker.state, nullptr);
}

// Lays out tokens [begin, end) as flows and whole tables, one below the
// other; returns the widest and the sum of their heights.
QSize MarkupLayout::LayoutRange(std::size_t begin, std::size_t end, Walker& walker, const QRect& area,
                                MarkupOutput* out, int depth) {
  int top = area.top();
  int width = 0;
  std::size_t i = begin;
  while (i < end) {
    std::size_t table = i;
    while (table < end && !IsTableOpen(tokens_[table])) ++table;
    if (table > i) {
      std::vector<MarkupLine> lines;
      const QRect flowArea(area.left(), top, area.width(), 0);
      if (out != nullptr) {
        Walker probe = walker;
        LayoutFlow(i, table, probe, flowArea, nullptr, lines);
      }
      const QSize size = LayoutFlow(i, table, walker, flowArea, out, lines);
      top = ClampExtent(static_cast<long long>(top) + size.height());
      width = std::max(width, size.width());
    }
    if (table >= end) break;
    std::size_t close = table + 1;
    for (int nesting = 1; close < end; ++close) {
      if (IsTableOpen(tokens_[close])) ++nesting;
      else if (IsTableClose(tokens_[close]) && --nesting == 0) break;
    }
    if (depth < markup_limits::kMaxTableDepth) {
      const QSize size = LayoutTable(table, std::min(close, end), walker, QRect(area.left(), top, area.width(), 0),
                                     out, depth + 1);
      top = ClampExtent(static_cast<long long>(top) + size.height());
      width = std::max(width, size.width());
    }
    i = close + 1;
  }
  return QSize(width, top - area.top());
}

// One flow: text runs go to the line builder, tags change the state or
// place breaks, tabs, rules and images.
QSize MarkupLayout::LayoutFlow(std::size_t begin, std::size_t end, Walker& walker, const QRect& area,
                               MarkupOutput* out, std::vector<MarkupLine>& lines) {
  MarkupLineBuilder builder(area, context_.maxLineWidth, context_.tabWidth, walker.state, walker.font, lines, out);
  for (std::size_t i = begin; i < end; ++i) {
    const MarkupToken& token = tokens_[i];
    if (token.kind == MarkupToken::Kind::Text) {
      builder.PlaceText(token.text);
      continue;
    }
    const TagInfo* tag = FindTag(token.text);
    if (tag == nullptr) continue;
    if (token.kind == MarkupToken::Kind::Close) {
      ApplyCloseTag(*tag, walker);
      continue;
    }
    switch (tag->kind) {
      case TagKind::Break: builder.Break(ParseTagCount(token.rest, markup_limits::kMaxBreakCount)); break;
      case TagKind::Tab: builder.Tab(ParseTagCount(token.rest, markup_limits::kMaxTabCount)); break;
      case TagKind::Rule: PlaceRule(token, walker.state, area.width(), builder); break;
      case TagKind::Bitmap:
      case TagKind::Icon:
      case TagKind::ImageList: PlaceImage(i, walker.state, builder); break;
      case TagKind::String:
        if (context_.loadString) builder.PlaceText(context_.loadString(ParseAttributes(token.params)));
        break;
      case TagKind::Table:
      case TagKind::Row:
      case TagKind::Cell: break;  // tables are laid out as segments of their own
      default:
        ApplyOpenTag(i, walker);
        walker.font = FontForState(walker.state, nullptr);
        break;
    }
  }
  return builder.Finish();
}

// An <hr>: its width (of the area by default), thickness and colour, with
// the "hr" style applied over the current state.
void MarkupLayout::PlaceRule(const MarkupToken& token, const MarkupTextState& state, int areaWidth,
                             MarkupLineBuilder& builder) const {
  MarkupTextState ruleState = state;
  ApplyStyle(QStringLiteral("hr"), ruleState);
  const MarkupAttributes attributes = ParseAttributes(token.params);
  const LengthContext lengths = StyleContextFor(ruleState).lengths;
  const QString* widthValue = FindAttribute(attributes, "width");
  const QString* sizeValue = FindAttribute(attributes, "size");
  const QString* colorValue = FindAttribute(attributes, "color");
  const int width = markup_limits::ClampLength(widthValue ? ParseLength(*widthValue, areaWidth, lengths) : areaWidth);
  const int thickness =
      std::clamp(sizeValue ? ParseLength(*sizeValue, 1, lengths) : 1, 1, markup_limits::kMaxLineThickness);
  builder.PlaceRule(width, thickness, colorValue ? Color(*colorValue, ruleState.color) : ruleState.color);
}

// An image tag: its size (natural, scaled or set), its style (the hover
// style while its link is hovered) and room for the shadow.
void MarkupLayout::PlaceImage(std::size_t index, const MarkupTextState& state, MarkupLineBuilder& builder) {
  const QImage& image = ImageAt(index);
  if (image.isNull()) return;  // takes no room
  const MarkupAttributes attributes = ParseAttributes(tokens_[index].params);
  const LengthContext lengths = StyleContextFor(state).lengths;
  const int side = markup_limits::kMaxImageSide;
  const QString* widthValue = FindAttribute(attributes, "width");
  const QString* heightValue = FindAttribute(attributes, "height");
  int w = std::clamp(widthValue ? ParseLength(*widthValue, image.width(), lengths) : image.width(), 0, side);
  int h = std::clamp(heightValue ? ParseLength(*heightValue, image.height(), lengths) : image.height(), 0, side);
  const bool hovered = state.linkNumber >= 0 && state.linkNumber == context_.hoveredLink;
  const QString* styleValue = FindAttribute(attributes, "style");
  const QString* hotValue = FindAttribute(attributes, "hotstyle");
  int style = styleValue ? ParseImageStyle(*styleValue) : 0;
  if (hovered && hotValue) style = ParseImageStyle(*hotValue);
  if ((style & kImageShadow) && context_.shadow.enabled()) {
    w = std::min(w + std::abs(context_.shadow.offsetX), side + 64);
    h = std::min(h + std::abs(context_.shadow.offsetY), side + 64);
  } else {
    style &= ~kImageShadow;
  }
  std::optional<ColorRef> mask;
  if (const QString* value = FindAttribute(attributes, "mask"); value && context_.colors)
    mask = ParseColor(*value, ColorRef(0xFF00FF), *context_.colors);
  builder.PlaceImage(w, h, image, mask, style);
}

// A table: the grid sizes and frames it; each cell's content is laid out
// as a text of its own, starting from the state at the table and the
// cell's alignment.
QSize MarkupLayout::LayoutTable(std::size_t begin, std::size_t end, Walker& walker, const QRect& area,
                                MarkupOutput* out, int depth) {
  auto cellWalker = [&](const MarkupTableCell& cell) {
    Walker inner{walker.state, {}, walker.font};
    if (cell.align) inner.state.hAlign = *cell.align;
    return inner;
  };
  MarkupTableGrid grid(tokens_, begin, end, StyleContextFor(walker.state), area.width());
  const QSize size = grid.Measure([&](const MarkupTableCell& cell) {
    Walker inner = cellWalker(cell);
    return LayoutRange(cell.begin, cell.end, inner, QRect(0, 0, context_.maxLineWidth, 0), nullptr, depth);
  });
  if (out == nullptr) return size;
  grid.Draw(area, walker.state.hAlign, context_.loadImage, *out, [&](const MarkupTableCell& cell, const QRect& content) {
    Walker inner = cellWalker(cell);
    LayoutRange(cell.begin, cell.end, inner, content, out, depth);
  });
  return size;
}

}  // namespace drelin
