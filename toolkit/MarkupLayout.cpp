#include "MarkupLayout.h"

#include <QFontMetrics>

#include <algorithm>
#include <array>

#include "MarkupLimits.h"
#include "MarkupTags.h"
#include "MarkupValues.h"

namespace drelin {
namespace {

using markup_limits::kMaxExtent;

int Sat(long long value) {
  return static_cast<int>(std::clamp<long long>(value, -kMaxExtent, kMaxExtent));
}

bool IsTag(const MarkupToken& token, MarkupToken::Kind kind, const char* name) {
  return token.kind == kind && token.text == QLatin1String(name);
}
bool IsTableOpen(const MarkupToken& token) { return IsTag(token, MarkupToken::Kind::Open, "table"); }
bool IsTableClose(const MarkupToken& token) { return IsTag(token, MarkupToken::Kind::Close, "table"); }

QString Transformed(const QString& text, TextTransform transform) {
  switch (transform) {
    case TextTransform::Upper: return text.toUpper();
    case TextTransform::Lower: return text.toLower();
    case TextTransform::Capitalize: {
      QString result = text.toLower();
      for (qsizetype i = 0; i < result.size(); ++i) {
        const bool start = i == 0 || result[i - 1] == QLatin1Char(' ');
        if (start && result[i] >= QLatin1Char('a') && result[i] <= QLatin1Char('z'))
          result[i] = result[i].toUpper();
      }
      return result;
    }
    case TextTransform::None: break;
  }
  return text;
}

bool IsBreakChar(QChar c) {
  static const QString kBreakChars = QStringLiteral(" -.,!:;)}]?");
  return kBreakChars.contains(c);
}

int ClampLength(int value) { return std::clamp(value, 0, markup_limits::kMaxLength); }

BorderStyle ParseBorderStyle(const QString& value, BorderStyle current) {
  const QString lower = value.trimmed().toLower();
  if (lower.isEmpty() || lower == QLatin1String("none")) return BorderStyle::None;
  if (lower == QLatin1String("solid")) return BorderStyle::Solid;
  if (lower == QLatin1String("dashed")) return BorderStyle::Dashed;
  if (lower == QLatin1String("dotted")) return BorderStyle::Dotted;
  if (lower == QLatin1String("double")) return BorderStyle::Double;
  if (const std::optional<long long> number = ParseNumber(lower))
    if (*number >= 0 && *number <= 6) return static_cast<BorderStyle>(*number);
  return current;
}

std::optional<HAlign> ParseHAlign(const QString* value) {
  if (value == nullptr) return std::nullopt;
  const QString lower = value->trimmed().toLower();
  if (lower == QLatin1String("left")) return HAlign::Left;
  if (lower == QLatin1String("center") || lower == QLatin1String("middle")) return HAlign::Center;
  if (lower == QLatin1String("right")) return HAlign::Right;
  if (lower == QLatin1String("justify")) return HAlign::Justify;
  return std::nullopt;
}

}  // namespace

struct MarkupLayout::Walker {
  MarkupTextState state;
  std::vector<std::pair<const char*, MarkupTextState>> stack;
  MarkupFont font;
};

struct MarkupLayout::Line {
  int width = 0;
  int ascent = 0;
  int descent = 0;
  int height = 0;
  HAlign align = HAlign::Left;
  bool aligned = false;
  bool placed = false;
  int spaces = 0;
  bool wrapped = false;  // ended because the next run did not fit
};

// Everything the table walk needs to know about one cell.
struct MarkupLayout::Cell {
  std::size_t begin = 0;
  std::size_t end = 0;
  int row = 0;
  int col = 0;
  int rowSpan = 1;
  int colSpan = 1;
  int widthAttr = 0;
  int heightAttr = 0;
  bool fixedWidth = false;
  int padding = 0;
  BorderStyle borderStyle = BorderStyle::None;
  ColorRef light, dark;
  int effect = -1;
  ColorRef start, mid, end2;
  QString background;
  std::optional<HAlign> align;
  int valign = 0;  // 0 top, 1 middle, 2 bottom
  QSize content;
  int width = 0;
  int height = 0;
};

MarkupLayout::MarkupLayout(const MarkupLayoutContext& context, const std::vector<MarkupToken>& tokens)
    : context_(context), tokens_(tokens), linkNumbers_(tokens.size(), -1) {
  int next = 0;
  for (std::size_t i = 0; i < tokens_.size(); ++i)
    if (IsTag(tokens_[i], MarkupToken::Kind::Open, "a")) linkNumbers_[i] = next++;
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
      if (const QString* name = FindAttribute(attributes, "class"))
        ApplyStyle(QLatin1Char('.') + *name, state);
      break;
    case TagKind::Link: {
      const QString* href = FindAttribute(attributes, "href");
      const QString* msg = FindAttribute(attributes, "msg");
      state.linkKind = href ? LinkKind::Address : (msg ? LinkKind::Message : LinkKind::None);
      state.linkText = href ? *href : (msg ? *msg : QString());
      state.linkNumber = linkNumbers_[index];
      ApplyStyle(state.linkNumber == context_.hoveredLink ? QStringLiteral("a:hover")
                                                          : QStringLiteral("a:link"),
                 state);
      break;
    }
    case TagKind::Font: {
      const StyleContext style = StyleContextFor(state);
      for (const auto& [name, value] : attributes) {
        if (name == QLatin1String("face")) {
          if (!value.isEmpty()) state.face = value.left(64);
        } else if (name == QLatin1String("size")) {
          state.size = std::clamp(ParseLength(value, state.size, style.lengths, true),
                                  markup_limits::kMinFontPixels, markup_limits::kMaxFontPixels);
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
          bool on = true;
          for (const QChar c : value) {
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
      }
      break;
    }
    default: break;
  }
}

QSize MarkupLayout::LayoutRange(std::size_t begin, std::size_t end, Walker& walker,
                                const QRect& area, MarkupOutput* out, int depth) {
  int top = area.top();
  int width = 0;
  std::size_t i = begin;
  while (i < end) {
    std::size_t table = i;
    while (table < end && !IsTableOpen(tokens_[table])) ++table;
    if (table > i) {
      std::vector<Line> lines;
      const QRect flowArea(area.left(), top, area.width(), 0);
      if (out != nullptr) {
        Walker probe = walker;
        LayoutFlow(i, table, probe, flowArea, nullptr, lines);
      }
      const QSize size = LayoutFlow(i, table, walker, flowArea, out, lines);
      top = Sat(static_cast<long long>(top) + size.height());
      width = std::max(width, size.width());
    }
    if (table >= end) break;
    std::size_t close = table + 1;
    for (int nesting = 1; close < end; ++close) {
      if (IsTableOpen(tokens_[close])) ++nesting;
      else if (IsTableClose(tokens_[close]) && --nesting == 0) break;
    }
    if (depth < markup_limits::kMaxTableDepth) {
      const QSize size = LayoutTable(table, std::min(close, end), walker,
                                     QRect(area.left(), top, area.width(), 0), out, depth + 1);
      top = Sat(static_cast<long long>(top) + size.height());
      width = std::max(width, size.width());
    }
    i = close + 1;
  }
  return QSize(width, top - area.top());
}

QSize MarkupLayout::LayoutFlow(std::size_t begin, std::size_t end, Walker& walker,
                               const QRect& area, MarkupOutput* out, std::vector<Line>& lines) {
  const bool drawing = out != nullptr;
  int x = 0;  // pen, relative to the line's start
  int y = area.top();
  std::size_t lineIndex = 0;
  Line current;
  int width = 0;
  bool any = false;
  int spacesSoFar = 0;

  auto plan = [&]() -> const Line* {
    return drawing && lineIndex < lines.size() ? &lines[lineIndex] : nullptr;
  };
  auto lineLeft = [&]() {
    const Line* line = plan();
    if (line == nullptr) return area.left();
    switch (line->align) {
      case HAlign::Center: return Sat(area.left() + (static_cast<long long>(area.width()) - line->width) / 2);
      case HAlign::Right: return Sat(static_cast<long long>(area.left()) + area.width() - line->width);
      default: return area.left();
    }
  };
  auto justifyExtra = [&](int spaceIndex) {
    const Line* line = plan();
    if (line == nullptr || line->align != HAlign::Justify || !line->wrapped || line->spaces == 0)
      return 0;
    const long long extra = std::max(area.width() - line->width, 0);
    return static_cast<int>(extra * spaceIndex / line->spaces);
  };
  auto endLine = [&](int count, bool wrapped) {
    any = true;
    int height = walker.font.height;
    if (drawing) {
      if (const Line* line = plan()) height = line->height;
    } else {
      current.wrapped = wrapped;
      if (!current.aligned) current.align = walker.state.hAlign;
      current.height = current.placed ? current.ascent + current.descent : walker.font.height;
      height = current.height;
      lines.push_back(current);
    }
    width = std::max(width, current.width);
    y = Sat(y + static_cast<long long>(count) * height);
    ++lineIndex;
    x = 0;
    spacesSoFar = 0;
    current = Line{};
  };
  // Accounts for an object `w` wide on the current line; returns its left.
  auto place = [&](int w, int ascent, int descent) {
    if (!current.aligned) {
      current.align = walker.state.hAlign;
      current.aligned = true;
    }
    current.placed = true;
    current.ascent = std::max(current.ascent, ascent);
    current.descent = std::max(current.descent, descent);
    const int left = x;
    x = Sat(static_cast<long long>(x) + w);
    current.width = std::max(current.width, x);
    any = true;
    return left;
  };
  auto objectTop = [&](int objectHeight, int objectAscent) {
    const Line* line = plan();
    const int lineHeight = line ? line->height : objectHeight;
    const int lineDescent = line ? line->descent : 0;
    switch (walker.state.vAlign) {
      case VAlign::Top: return y;
      case VAlign::Middle: return Sat(y + (static_cast<long long>(lineHeight) - objectHeight) / 2);
      case VAlign::Bottom: return Sat(static_cast<long long>(y) + lineHeight - objectAscent);
      case VAlign::Baseline: break;
    }
    return Sat(static_cast<long long>(y) + lineHeight - objectAscent - lineDescent);
  };
  auto addLink = [&](const QRect& rect) {
    const MarkupTextState& state = walker.state;
    if (state.linkNumber >= 0)
      out->links.push_back({rect, state.linkKind, state.linkNumber, state.linkText});
  };
  auto emitText = [&](const QString& run, int runWidth, const QFontMetrics& metrics) {
    const MarkupFont& font = walker.font;
    const int left = place(runWidth, font.ascent, font.descent);
    const int spaces = static_cast<int>(run.count(QLatin1Char(' ')));
    if (!drawing) {
      current.spaces += spaces;
      return;
    }
    const MarkupTextState& state = walker.state;
    const int top = objectTop(font.height, font.ascent);
    auto emitPiece = [&](const QString& piece, int pieceLeft, int pieceWidth) {
      MarkupItem item;
      item.kind = MarkupItem::Kind::Text;
      item.rect = QRect(pieceLeft, top, pieceWidth, font.height);
      item.text = piece;
      item.font = font.font;
      item.baseline = top + font.ascent;
      item.color = state.color;
      item.opaque = state.opaque;
      item.background = state.background;
      item.overline = state.overline ? (state.weight >= 700 ? 2 : 1) : 0;
      item.weight = state.weight;
      addLink(item.rect);
      out->items.push_back(std::move(item));
    };
    const int base = lineLeft();
    if (justifyExtra(1) == 0 && justifyExtra(spacesSoFar + spaces) == 0) {
      emitPiece(run, Sat(static_cast<long long>(base) + left + justifyExtra(spacesSoFar)), runWidth);
      spacesSoFar += spaces;
      return;
    }
    // A justified line: each space takes its share of the free width.
    // Words sit where they would in the unspread run (prefix advances), so
    // the spread line ends exactly at the right edge.
    qsizetype start = 0;
    for (qsizetype k = 0; k <= run.size(); ++k) {
      if (k < run.size() && run[k] != QLatin1Char(' ')) continue;
      const QString word = run.mid(start, k - start);
      if (!word.isEmpty()) {
        const int pen = left + metrics.horizontalAdvance(run.left(start));
        emitPiece(word, Sat(static_cast<long long>(base) + pen + justifyExtra(spacesSoFar)),
                  metrics.horizontalAdvance(run.left(k)) - metrics.horizontalAdvance(run.left(start)));
      }
      if (k < run.size()) ++spacesSoFar;
      start = k + 1;
    }
  };
  auto placeText = [&](QString run) {
    run = Transformed(run, walker.state.transform);
    const QFontMetrics metrics(walker.font.font);
    const int maxWidth = context_.maxLineWidth;
    if (maxWidth <= 0) {
      if (!run.isEmpty()) emitText(run, metrics.horizontalAdvance(run), metrics);
      return;
    }
    while (!run.isEmpty()) {
      auto fits = [&](qsizetype length) {
        return static_cast<long long>(x) + metrics.horizontalAdvance(run.left(length)) <= maxWidth;
      };
      // Only a prefix about as long as the line can fit is ever measured, so
      // a long run costs O(n log n), not O(n^2), to wrap.
      qsizetype probe = 1;
      while (probe < run.size() && fits(probe)) probe *= 2;
      if (probe >= run.size() && fits(run.size())) {
        emitText(run, metrics.horizontalAdvance(run), metrics);
        return;
      }
      probe = std::min(probe, run.size());
      // The last break character whose prefix fits (prefix widths grow).
      std::vector<qsizetype> breaks;
      for (qsizetype k = 0; k < probe; ++k)
        if (IsBreakChar(run[k])) breaks.push_back(k + 1);
      auto fitting = std::partition_point(breaks.begin(), breaks.end(), fits);
      if (fitting != breaks.begin()) {
        const qsizetype cut = *(fitting - 1);
        QString head = run.left(cut);
        while (head.endsWith(QLatin1Char(' '))) head.chop(1);
        emitText(head, metrics.horizontalAdvance(head), metrics);
        endLine(1, true);
        run = run.mid(cut);
        while (run.startsWith(QLatin1Char(' '))) run.remove(0, 1);
        continue;
      }
      if (!current.placed && x == 0) {
        qsizetype low = 1, high = probe;
        while (low < high) {
          const qsizetype mid = (low + high + 1) / 2;
          if (fits(mid)) low = mid;
          else high = mid - 1;
        }
        const QString head = run.left(low);
        emitText(head, metrics.horizontalAdvance(head), metrics);
        endLine(1, true);
        run = run.mid(low);
        continue;
      }
      endLine(1, true);
    }
  };

  for (std::size_t i = begin; i < end; ++i) {
    const MarkupToken& token = tokens_[i];
    if (token.kind == MarkupToken::Kind::Text) {
      placeText(token.text);
      continue;
    }
    const TagInfo* tag = FindTag(token.text);
    if (tag == nullptr) continue;
    if (token.kind == MarkupToken::Kind::Close) {
      if (IsContainer(*tag) && !walker.stack.empty() &&
          qstrcmp(walker.stack.back().first, tag->label) == 0) {
        walker.state = std::move(walker.stack.back().second);
        walker.stack.pop_back();
        walker.font = FontForState(walker.state, nullptr);
      }
      continue;
    }
    switch (tag->kind) {
      case TagKind::Break:
        endLine(ParseTagCount(token.rest, markup_limits::kMaxBreakCount), false);
        break;
      case TagKind::Tab: {
        const int stop = std::max(context_.tabWidth, 1);
        const int count = ParseTagCount(token.rest, markup_limits::kMaxTabCount);
        x = Sat((static_cast<long long>(x) / stop + count) * stop);
        current.width = std::max(current.width, x);
        any = true;
        break;
      }
      case TagKind::Rule: {
        MarkupTextState ruleState = walker.state;
        ApplyStyle(QStringLiteral("hr"), ruleState);
        const MarkupAttributes attributes = ParseAttributes(token.params);
        const LengthContext lengths = StyleContextFor(ruleState).lengths;
        const QString* widthValue = FindAttribute(attributes, "width");
        const QString* sizeValue = FindAttribute(attributes, "size");
        const QString* colorValue = FindAttribute(attributes, "color");
        const int ruleWidth = ClampLength(
            widthValue ? ParseLength(*widthValue, area.width(), lengths) : area.width());
        const int thickness = std::clamp(sizeValue ? ParseLength(*sizeValue, 1, lengths) : 1, 1,
                                         markup_limits::kMaxLineThickness);
        const ColorRef color = colorValue ? Color(*colorValue, ruleState.color) : ruleState.color;
        const int left = place(ruleWidth, thickness + 8, 0);
        if (drawing && ruleWidth > 0) {
          const Line* line = plan();
          const int middle = y + (line ? line->height : thickness + 8) / 2;
          const int start = Sat(static_cast<long long>(lineLeft()) + left);
          MarkupItem item;
          item.kind = MarkupItem::Kind::Line;
          item.from = QPoint(start, middle);
          item.to = QPoint(Sat(static_cast<long long>(start) + ruleWidth), middle);
          item.rect = QRect(start, middle - thickness / 2, ruleWidth, thickness);
          item.color = color;
          item.lineStyle = 1;
          item.lineWidth = thickness;
          out->items.push_back(std::move(item));
        }
        break;
      }
      case TagKind::Bitmap:
      case TagKind::Icon:
      case TagKind::ImageList: {
        const QImage& image = ImageAt(i);
        if (image.isNull()) break;
        const MarkupAttributes attributes = ParseAttributes(token.params);
        const LengthContext lengths = StyleContextFor(walker.state).lengths;
        const int side = markup_limits::kMaxImageSide;
        const QString* widthValue = FindAttribute(attributes, "width");
        const QString* heightValue = FindAttribute(attributes, "height");
        int w = std::clamp(widthValue ? ParseLength(*widthValue, image.width(), lengths) : image.width(), 0, side);
        int h = std::clamp(heightValue ? ParseLength(*heightValue, image.height(), lengths) : image.height(), 0, side);
        const bool hovered = walker.state.linkNumber >= 0 && walker.state.linkNumber == context_.hoveredLink;
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
        const int left = place(w, h, 0);
        if (drawing && w > 0 && h > 0) {
          MarkupItem item;
          item.kind = MarkupItem::Kind::Image;
          item.rect = QRect(Sat(static_cast<long long>(lineLeft()) + left + justifyExtra(spacesSoFar)),
                            objectTop(h, h), w, h);
          item.image = image;
          if (const QString* mask = FindAttribute(attributes, "mask"))
            item.mask = ParseColor(*mask, ColorRef(0xFF00FF), *context_.colors);
          item.imageStyle = style;
          addLink(item.rect);
          out->items.push_back(std::move(item));
        }
        break;
      }
      case TagKind::String:
        if (context_.loadString) placeText(context_.loadString(ParseAttributes(token.params)));
        break;
      case TagKind::Table:
      case TagKind::Row:
      case TagKind::Cell:
        break;  // tables are laid out as segments of their own
      default:
        ApplyOpenTag(i, walker);
        walker.font = FontForState(walker.state, nullptr);
        break;
    }
  }
  if (any || current.placed) endLine(1, false);
  return QSize(width, y - area.top());
}

QSize MarkupLayout::LayoutTable(std::size_t begin, std::size_t end, Walker& walker,
                                const QRect& area, MarkupOutput* out, int depth) {
  using namespace markup_limits;
  const MarkupAttributes table = ParseAttributes(tokens_[begin].params);
  const LengthContext lengths = StyleContextFor(walker.state).lengths;
  auto length = [&](const MarkupAttributes& attributes, const char* name, int current, int relative) {
    const QString* value = FindAttribute(attributes, name);
    if (value == nullptr) return current;
    const QString text = value->trimmed();
    return ClampLength(text.endsWith(QLatin1Char('%')) ? ParseLength(text, relative, lengths)
                                                       : ParseLength(text, current, lengths));
  };
  auto color = [&](const MarkupAttributes& attributes, const char* name, ColorRef current) {
    const QString* value = FindAttribute(attributes, name);
    return value ? Color(*value, current) : current;
  };

  const int padding = length(table, "cellpadding", 0, 0);
  const int spacing = length(table, "cellspacing", 0, 0);
  int border = std::clamp(length(table, "border", 0, 0), 0, kMaxLineThickness);
  BorderStyle borderStyle = border > 0 ? BorderStyle::Solid : BorderStyle::None;
  if (const QString* value = FindAttribute(table, "borderstyle"))
    borderStyle = ParseBorderStyle(*value, borderStyle);
  if (border == 0) borderStyle = BorderStyle::None;
  ColorRef light = SystemColor(kColorButtonHighlight);
  ColorRef dark = SystemColor(kColorButtonShadow);
  light = color(table, "bordercolor", light);
  dark = color(table, "bordercolor", dark);
  light = color(table, "bordercolorlight", light);
  dark = color(table, "bordercolordark", dark);
  if (!context_.colorsEnabled) light = dark = context_.disabledColor;

  // Collect the cells, row by row; nested tables stay inside their cell.
  std::vector<Cell> cells;
  MarkupAttributes rowAttributes;
  int row = -1;
  constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::size_t open = kNone;  // index of the cell being collected
  int nesting = 0;
  auto finish = [&](std::size_t at) {
    if (open != kNone) cells[open].end = at;
    open = kNone;
  };
  for (std::size_t j = begin + 1; j < end; ++j) {
    const MarkupToken& token = tokens_[j];
    if (IsTableOpen(token)) { ++nesting; continue; }
    if (IsTableClose(token)) { nesting = std::max(nesting - 1, 0); continue; }
    if (nesting > 0) continue;
    if (IsTag(token, MarkupToken::Kind::Open, "tr")) {
      finish(j);
      ++row;
      rowAttributes = ParseAttributes(token.params);
    } else if (IsTag(token, MarkupToken::Kind::Close, "tr") || IsTag(token, MarkupToken::Kind::Close, "td")) {
      finish(j);
    } else if (IsTag(token, MarkupToken::Kind::Open, "td")) {
      finish(j);
      if (row < 0) row = 0;
      if (row >= kMaxTableRows) continue;
      const MarkupAttributes attributes = ParseAttributes(token.params);
      Cell cell;
      cell.begin = j + 1;
      cell.end = j + 1;
      cell.row = row;
      cell.padding = length(attributes, "cellpadding", padding, 0);
      cell.widthAttr = length(attributes, "width", 0, area.width());
      cell.heightAttr = length(attributes, "height", 0, 0);
      cell.fixedWidth = FindAttribute(attributes, "width") != nullptr;
      if (const QString* value = FindAttribute(attributes, "colspan"))
        cell.colSpan = static_cast<int>(std::clamp<long long>(ParseNumber(*value).value_or(1), 1, kMaxTableColumns));
      if (const QString* value = FindAttribute(attributes, "rowspan"))
        cell.rowSpan = static_cast<int>(std::clamp<long long>(ParseNumber(*value).value_or(1), 1, kMaxTableRows));
      cell.borderStyle = borderStyle;
      if (const QString* value = FindAttribute(attributes, "border"))
        cell.borderStyle = ParseNumber(*value).value_or(0) > 0 ? BorderStyle::Solid : BorderStyle::None;
      if (const QString* value = FindAttribute(attributes, "borderstyle"))
        cell.borderStyle = ParseBorderStyle(*value, cell.borderStyle);
      cell.light = color(attributes, "bordercolorlight", color(attributes, "bordercolor", light));
      cell.dark = color(attributes, "bordercolordark", color(attributes, "bordercolor", dark));
      for (const MarkupAttributes* source : std::array<const MarkupAttributes*, 2>{&rowAttributes, &attributes}) {
        if (const QString* value = FindAttribute(*source, "bgcolor")) {
          cell.start = cell.mid = cell.end2 = Color(*value, ColorRef(0xFFFFFF));
          if (cell.effect < 0) cell.effect = 0;
        }
        cell.mid = color(*source, "bgmidcolor", cell.mid);
        cell.end2 = color(*source, "bgendcolor", cell.end2);
        if (const QString* value = FindAttribute(*source, "bgeffect")) cell.effect = ParseEffect(*value, cell.effect);
        if (const auto align = ParseHAlign(FindAttribute(*source, "align"))) cell.align = align;
        if (const QString* value = FindAttribute(*source, "valign")) {
          const QString lower = value->trimmed().toLower();
          cell.valign = lower == QLatin1String("middle") || lower == QLatin1String("center") ? 1
                        : lower == QLatin1String("bottom") ? 2 : 0;
        }
        if (const QString* value = FindAttribute(*source, "background")) cell.background = *value;
      }
      cells.push_back(std::move(cell));
      open = cells.size() - 1;
    }
  }
  finish(end);
  const int rows = std::min(row + 1, kMaxTableRows);

  // Place the cells on the grid, skipping places taken by row spans above.
  std::vector<std::vector<bool>> taken(static_cast<std::size_t>(std::max(rows, 0)),
                                       std::vector<bool>(kMaxTableColumns, false));
  std::vector<int> nextColumn(static_cast<std::size_t>(std::max(rows, 0)), 0);
  int columns = 0;
  std::vector<Cell> placed;
  for (Cell& cell : cells) {
    auto& taken_row = taken[static_cast<std::size_t>(cell.row)];
    int c = nextColumn[static_cast<std::size_t>(cell.row)];
    while (c < kMaxTableColumns && taken_row[static_cast<std::size_t>(c)]) ++c;
    if (c >= kMaxTableColumns) continue;
    cell.col = c;
    cell.colSpan = std::min(cell.colSpan, kMaxTableColumns - c);
    cell.rowSpan = std::min(cell.rowSpan, rows - cell.row);
    for (int r = cell.row; r < cell.row + cell.rowSpan; ++r)
      for (int k = c; k < c + cell.colSpan; ++k) taken[static_cast<std::size_t>(r)][static_cast<std::size_t>(k)] = true;
    nextColumn[static_cast<std::size_t>(cell.row)] = c + cell.colSpan;
    columns = std::max(columns, c + cell.colSpan);
    placed.push_back(std::move(cell));
  }

  // Size each cell from its content.
  for (Cell& cell : placed) {
    const int cellBorder = cell.borderStyle == BorderStyle::None ? 0 : 1;
    Walker inner{walker.state, {}, walker.font};
    if (cell.align) inner.state.hAlign = *cell.align;
    cell.content = LayoutRange(cell.begin, cell.end, inner, QRect(0, 0, context_.maxLineWidth, 0), nullptr, depth);
    cell.width = Sat(static_cast<long long>(std::max(cell.widthAttr, cell.content.width())) + 2 * cell.padding + 2 * cellBorder);
    cell.height = Sat(static_cast<long long>(std::max(cell.heightAttr, cell.content.height())) + 2 * cell.padding + 2 * cellBorder);
  }

  // Column widths and row heights: single spans first, then wider spans
  // share their shortfall equally.
  auto share = [&](std::vector<int>& sizes, bool byColumn) {
    const int count = static_cast<int>(sizes.size());
    for (int span = 1; span <= count; ++span) {
      for (const Cell& cell : placed) {
        const int first = byColumn ? cell.col : cell.row;
        const int cellSpan = byColumn ? cell.colSpan : cell.rowSpan;
        const int need = byColumn ? cell.width : cell.height;
        if (cellSpan != span || first + span > count) continue;
        long long together = static_cast<long long>(spacing + 1) * (span - 1);
        for (int k = first; k < first + span; ++k) together += sizes[static_cast<std::size_t>(k)];
        if (together >= need) continue;
        const long long shortfall = need - together;
        for (int k = first; k < first + span; ++k)
          sizes[static_cast<std::size_t>(k)] = Sat(sizes[static_cast<std::size_t>(k)] + shortfall / span);
        sizes[static_cast<std::size_t>(first + span - 1)] = Sat(sizes[static_cast<std::size_t>(first + span - 1)] + shortfall % span);
      }
    }
  };
  std::vector<int> columnWidths(static_cast<std::size_t>(columns), 0);
  std::vector<int> rowHeights(static_cast<std::size_t>(std::max(rows, 0)), 0);
  std::vector<bool> fixed(static_cast<std::size_t>(columns), false);
  for (const Cell& cell : placed)
    if (cell.colSpan == 1 && cell.fixedWidth) fixed[static_cast<std::size_t>(cell.col)] = true;
  share(columnWidths, true);
  share(rowHeights, false);

  const bool doubleBorder = borderStyle == BorderStyle::Double && border > 0;
  const int frame = border == 0 ? 0 : (doubleBorder ? 6 : 2 * border);
  const int inset = border == 0 ? 0 : (doubleBorder ? 3 : border);
  auto total = [&](const std::vector<int>& sizes) {
    long long sum = 0;
    for (int size : sizes) sum += size;
    const long long n = static_cast<long long>(sizes.size());
    return Sat(sum + (n + 1) * spacing + std::max<long long>(n - 1, 0) + frame);
  };
  int tableWidth = total(columnWidths);
  int available = area.width();
  if (FindAttribute(table, "width") != nullptr) available = length(table, "width", 0, area.width());
  if (tableWidth < available) {
    long long free = available - tableWidth;
    int remaining = 0;
    for (int k = 0; k < columns; ++k) remaining += fixed[static_cast<std::size_t>(k)] ? 0 : 1;
    for (int k = 0; k < columns && remaining > 0; ++k) {
      if (fixed[static_cast<std::size_t>(k)]) continue;
      const long long add = free / remaining--;
      columnWidths[static_cast<std::size_t>(k)] = Sat(columnWidths[static_cast<std::size_t>(k)] + add);
      free -= add;
    }
    tableWidth = total(columnWidths);
  }
  int tableHeight = total(rowHeights);
  const int heightWanted = length(table, "height", 0, 0);
  if (tableHeight < heightWanted && rows > 0) {
    long long free = heightWanted - tableHeight;
    for (int k = 0, remaining = rows; k < rows; ++k, --remaining) {
      const long long add = free / remaining;
      rowHeights[static_cast<std::size_t>(k)] = Sat(rowHeights[static_cast<std::size_t>(k)] + add);
      free -= add;
    }
    tableHeight = total(rowHeights);
  }
  if (out == nullptr) return QSize(tableWidth, tableHeight);

  HAlign align = ParseHAlign(FindAttribute(table, "align")).value_or(walker.state.hAlign);
  int left = area.left();
  if (align == HAlign::Center) left = Sat(left + std::max<long long>(static_cast<long long>(area.width()) - tableWidth, 0) / 2);
  if (align == HAlign::Right) left = Sat(left + std::max<long long>(static_cast<long long>(area.width()) - tableWidth, 0));
  const QRect tableRect(left, area.top(), tableWidth, tableHeight);

  auto addEffect = [&](const QRect& rect, int effect, ColorRef start, ColorRef mid, ColorRef end2) {
    MarkupItem item;
    item.kind = MarkupItem::Kind::Effect;
    item.rect = rect;
    item.effect = effect;
    item.start = start;
    item.mid = mid;
    item.end = end2;
    item.grain = 5;
    out->items.push_back(std::move(item));
  };
  auto addTile = [&](const QRect& rect, const QString& source) {
    const qsizetype colon = source.indexOf(QLatin1Char(':'));
    if (colon <= 0 || !context_.loadImage) return;
    const QString kind = source.left(colon).trimmed().toLower();
    if (kind != QLatin1String("idres") && kind != QLatin1String("iddll") && kind != QLatin1String("file")) return;
    MarkupItem item;
    item.kind = MarkupItem::Kind::Tile;
    item.rect = rect;
    item.image = context_.loadImage({{kind, source.mid(colon + 1).trimmed()}});
    if (!item.image.isNull()) out->items.push_back(std::move(item));
  };
  auto addFrame = [&](const QRect& rect, ColorRef frameLight, ColorRef frameDark, BorderStyle style, int width) {
    if (style == BorderStyle::None || width <= 0) return;
    MarkupItem item;
    item.kind = MarkupItem::Kind::Frame;
    item.rect = rect;
    item.light = frameLight;
    item.dark = frameDark;
    item.lineStyle = static_cast<int>(style);
    item.lineWidth = width;
    out->items.push_back(std::move(item));
  };

  const int tableEffect = ParseEffect(FindAttribute(table, "bgeffect") ? *FindAttribute(table, "bgeffect") : QString(),
                                      FindAttribute(table, "bgcolor") ? 0 : -1);
  if (tableEffect >= 0) {
    const ColorRef start = color(table, "bgcolor", ColorRef(0xFFFFFF));
    addEffect(tableRect, tableEffect, start, color(table, "bgmidcolor", start), color(table, "bgendcolor", start));
  } else if (const QString* background = FindAttribute(table, "background")) {
    addTile(tableRect, *background);
  }
  addFrame(tableRect, light, dark, borderStyle, border);

  const QRect inner = tableRect.adjusted(inset, inset, -inset, -inset);
  auto offset = [&](const std::vector<int>& sizes, int index) {
    long long position = spacing;
    for (int k = 0; k < index; ++k) position += spacing + sizes[static_cast<std::size_t>(k)] + 1;
    return position;
  };
  auto extent = [&](const std::vector<int>& sizes, int first, int span) {
    long long size = static_cast<long long>(spacing + 1) * (span - 1);
    for (int k = first; k < first + span && k < static_cast<int>(sizes.size()); ++k) size += sizes[static_cast<std::size_t>(k)];
    return size;
  };
  for (const Cell& cell : placed) {
    const QRect cellRect(Sat(inner.left() + offset(columnWidths, cell.col)), Sat(inner.top() + offset(rowHeights, cell.row)),
                         Sat(extent(columnWidths, cell.col, cell.colSpan)), Sat(extent(rowHeights, cell.row, cell.rowSpan)));
    if (cell.effect >= 0) addEffect(cellRect, cell.effect, cell.start, cell.mid, cell.end2);
    else if (!cell.background.isEmpty()) addTile(cellRect, cell.background);
    const int cellBorder = cell.borderStyle == BorderStyle::None ? 0 : 1;
    addFrame(cellRect, cell.light, cell.dark, cell.borderStyle, cellBorder);
    const int contentInset = cell.padding + cellBorder;
    const QRect contentArea = cellRect.adjusted(contentInset, contentInset, -contentInset, -contentInset);
    int top = contentArea.top();
    if (cell.valign == 1) top += std::max(contentArea.height() - cell.content.height(), 0) / 2;
    if (cell.valign == 2) top += std::max(contentArea.height() - cell.content.height(), 0);
    Walker innerWalker{walker.state, {}, walker.font};
    if (cell.align) innerWalker.state.hAlign = *cell.align;
    LayoutRange(cell.begin, cell.end, innerWalker, QRect(contentArea.left(), top, std::max(contentArea.width(), 0), cell.content.height()),
                out, depth);
  }
  return QSize(tableWidth, tableHeight);
}

}  // namespace drelin
