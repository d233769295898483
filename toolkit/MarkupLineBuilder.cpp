#include "MarkupLineBuilder.h"

#include <QFontMetrics>

#include <algorithm>

#include "MarkupLimits.h"

namespace drelin {
namespace {

using markup_limits::ClampExtent;

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

// A run may be cut after one of these.
bool IsBreakChar(QChar c) {
  static const QString kBreakChars = QStringLiteral(" -.,!:;)}]?");
  return kBreakChars.contains(c);
}

}  // namespace

MarkupLineBuilder::MarkupLineBuilder(const QRect& area, int maxLineWidth, int tabWidth,
                                     const MarkupTextState& state, const MarkupFont& font,
                                     std::vector<MarkupLine>& lines, MarkupOutput* out)
    : area_(area),
      maxLineWidth_(maxLineWidth),
      tabWidth_(tabWidth),
      state_(state),
      font_(font),
      lines_(lines),
      out_(out),
      y_(area.top()) {}

// The measured record of the line being drawn; null while measuring.
const MarkupLine* MarkupLineBuilder::Plan() const {
  return drawing() && lineIndex_ < lines_.size() ? &lines_[lineIndex_] : nullptr;
}

int MarkupLineBuilder::LineLeft() const {
  const MarkupLine* line = Plan();
  if (line == nullptr) return area_.left();
  switch (line->align) {
    case HAlign::Center:
      return ClampExtent(area_.left() + (static_cast<long long>(area_.width()) - line->width) / 2);
    case HAlign::Right: return ClampExtent(static_cast<long long>(area_.left()) + area_.width() - line->width);
    default: return area_.left();
  }
}

// How far the `spaceIndex`-th space of a justified line moves right. Only
// lines ended by wrapping are spread.
int MarkupLineBuilder::JustifyExtra(int spaceIndex) const {
  const MarkupLine* line = Plan();
  if (line == nullptr || line->align != HAlign::Justify || !line->wrapped || line->spaces == 0) return 0;
  const long long extra = std::max(area_.width() - line->width, 0);
  return static_cast<int>(extra * spaceIndex / line->spaces);
}

// The top of an object on the current line, by the vertical alignment.
int MarkupLineBuilder::ObjectTop(int objectHeight, int objectAscent) const {
  const MarkupLine* line = Plan();
  const int lineHeight = line ? line->height : objectHeight;
  const int lineDescent = line ? line->descent : 0;
  switch (state_.vAlign) {
    case VAlign::Top: return y_;
    case VAlign::Middle: return ClampExtent(y_ + (static_cast<long long>(lineHeight) - objectHeight) / 2);
    case VAlign::Bottom: return ClampExtent(static_cast<long long>(y_) + lineHeight - objectAscent);
    case VAlign::Baseline: break;
  }
  return ClampExtent(static_cast<long long>(y_) + lineHeight - objectAscent - lineDescent);
}

void MarkupLineBuilder::EndLine(int count, bool wrapped) {
  any_ = true;
  int height = font_.height;
  if (drawing()) {
    if (const MarkupLine* line = Plan()) height = line->height;
  } else {
    current_.wrapped = wrapped;
    if (!current_.aligned) current_.align = state_.hAlign;
    current_.height = current_.placed ? current_.ascent + current_.descent : font_.height;
    height = current_.height;
    lines_.push_back(current_);
  }
  width_ = std::max(width_, current_.width);
  y_ = ClampExtent(y_ + static_cast<long long>(count) * height);
  ++lineIndex_;
  x_ = 0;
  spacesSoFar_ = 0;
  current_ = MarkupLine{};
}

// Accounts for an object `width` wide on the current line; returns its left.
int MarkupLineBuilder::Place(int width, int ascent, int descent) {
  if (!current_.aligned) {
    current_.align = state_.hAlign;
    current_.aligned = true;
  }
  current_.placed = true;
  current_.ascent = std::max(current_.ascent, ascent);
  current_.descent = std::max(current_.descent, descent);
  const int left = x_;
  x_ = ClampExtent(static_cast<long long>(x_) + width);
  current_.width = std::max(current_.width, x_);
  any_ = true;
  return left;
}

void MarkupLineBuilder::AddLink(const QRect& rect) {
  if (state_.linkNumber >= 0)
    out_->links.push_back({rect, state_.linkKind, state_.linkNumber, state_.linkText});
}

void MarkupLineBuilder::PlaceText(QString run) {
  run = Transformed(run, state_.transform);
  const QFontMetrics metrics(font_.font);
  if (maxLineWidth_ <= 0) {
    if (!run.isEmpty()) EmitText(run, metrics.horizontalAdvance(run), metrics);
    return;
  }
  while (!run.isEmpty()) run = PlaceWrapped(std::move(run), metrics);
}

bool MarkupLineBuilder::Fits(const QFontMetrics& metrics, const QString& run, qsizetype length) const {
  return static_cast<long long>(x_) + metrics.horizontalAdvance(run.left(length)) <= maxLineWidth_;
}

// The end of the longest prefix of `run` that ends after a break character
// and fits (prefix widths grow, so a binary search finds it); 0 for none.
qsizetype MarkupLineBuilder::LastFittingBreak(const QString& run, qsizetype probe,
                                              const QFontMetrics& metrics) const {
  std::vector<qsizetype> breaks;
  for (qsizetype k = 0; k < probe; ++k)
    if (IsBreakChar(run[k])) breaks.push_back(k + 1);
  const auto fitting = std::partition_point(breaks.begin(), breaks.end(),
                                            [&](qsizetype length) { return Fits(metrics, run, length); });
  return fitting == breaks.begin() ? 0 : *(fitting - 1);
}

// The longest prefix of at least one character that fits.
qsizetype MarkupLineBuilder::LongestFittingPrefix(const QString& run, qsizetype probe,
                                                  const QFontMetrics& metrics) const {
  qsizetype low = 1, high = probe;
  while (low < high) {
    const qsizetype mid = (low + high + 1) / 2;
    if (Fits(metrics, run, mid)) low = mid;
    else high = mid - 1;
  }
  return low;
}

// Places what fits of `run` on the current line and ends the line when
// something is left; returns what is left.
QString MarkupLineBuilder::PlaceWrapped(QString run, const QFontMetrics& metrics) {
  // Only a prefix about as long as the line can fit is ever measured, so a
  // long run costs O(n log n), not O(n^2), to wrap.
  qsizetype probe = 1;
  while (probe < run.size() && Fits(metrics, run, probe)) probe *= 2;
  if (probe >= run.size() && Fits(metrics, run, run.size())) {
    EmitText(run, metrics.horizontalAdvance(run), metrics);
    return QString();
  }
  probe = std::min(probe, run.size());
  if (const qsizetype cut = LastFittingBreak(run, probe, metrics)) {
    QString head = run.left(cut);
    while (head.endsWith(QLatin1Char(' '))) head.chop(1);
    EmitText(head, metrics.horizontalAdvance(head), metrics);
    EndLine(1, true);
    run = run.mid(cut);
    while (run.startsWith(QLatin1Char(' '))) run.remove(0, 1);
    return run;
  }
  if (!current_.placed && x_ == 0) {
    const qsizetype cut = LongestFittingPrefix(run, probe, metrics);
    const QString head = run.left(cut);
    EmitText(head, metrics.horizontalAdvance(head), metrics);
    EndLine(1, true);
    return run.mid(cut);
  }
  EndLine(1, true);  // the whole run moves to the next line
  return run;
}

void MarkupLineBuilder::EmitText(const QString& run, int runWidth, const QFontMetrics& metrics) {
  const int left = Place(runWidth, font_.ascent, font_.descent);
  const int spaces = static_cast<int>(run.count(QLatin1Char(' ')));
  if (!drawing()) {
    current_.spaces += spaces;
    return;
  }
  const int top = ObjectTop(font_.height, font_.ascent);
  if (JustifyExtra(1) == 0 && JustifyExtra(spacesSoFar_ + spaces) == 0) {
    AddTextItem(run, ClampExtent(static_cast<long long>(LineLeft()) + left + JustifyExtra(spacesSoFar_)),
                runWidth, top);
    spacesSoFar_ += spaces;
    return;
  }
  EmitJustified(run, left, top, metrics);
}

// A run on a justified line: each space takes its share of the free width.
// Words sit where they would in the unspread run (prefix advances), so the
// spread line ends exactly at the right edge.
void MarkupLineBuilder::EmitJustified(const QString& run, int left, int top, const QFontMetrics& metrics) {
  const int base = LineLeft();
  qsizetype start = 0;
  for (qsizetype k = 0; k <= run.size(); ++k) {
    if (k < run.size() && run[k] != QLatin1Char(' ')) continue;
    const QString word = run.mid(start, k - start);
    if (!word.isEmpty()) {
      const int pen = left + metrics.horizontalAdvance(run.left(start));
      AddTextItem(word, ClampExtent(static_cast<long long>(base) + pen + JustifyExtra(spacesSoFar_)),
                  metrics.horizontalAdvance(run.left(k)) - metrics.horizontalAdvance(run.left(start)), top);
    }
    if (k < run.size()) ++spacesSoFar_;
    start = k + 1;
  }
}

void MarkupLineBuilder::AddTextItem(const QString& piece, int left, int width, int top) {
  MarkupItem item;
  item.kind = MarkupItem::Kind::Text;
  item.rect = QRect(left, top, width, font_.height);
  item.text = piece;
  item.font = font_.font;
  item.baseline = top + font_.ascent;
  item.color = state_.color;
  item.opaque = state_.opaque;
  item.background = state_.background;
  item.overline = state_.overline ? (state_.weight >= 700 ? 2 : 1) : 0;
  item.weight = state_.weight;
  AddLink(item.rect);
  out_->items.push_back(std::move(item));
}

void MarkupLineBuilder::Break(int count) { EndLine(count, false); }

void MarkupLineBuilder::Tab(int count) {
  const int stop = std::max(tabWidth_, 1);
  x_ = ClampExtent((static_cast<long long>(x_) / stop + count) * stop);
  current_.width = std::max(current_.width, x_);
  any_ = true;
}

void MarkupLineBuilder::PlaceRule(int width, int thickness, ColorRef color) {
  const int left = Place(width, thickness + 8, 0);
  if (!drawing() || width <= 0) return;
  const MarkupLine* line = Plan();
  const int middle = y_ + (line ? line->height : thickness + 8) / 2;
  const int start = ClampExtent(static_cast<long long>(LineLeft()) + left);
  MarkupItem item;
  item.kind = MarkupItem::Kind::Line;
  item.from = QPoint(start, middle);
  item.to = QPoint(ClampExtent(static_cast<long long>(start) + width), middle);
  item.rect = QRect(start, middle - thickness / 2, width, thickness);
  item.color = color;
  item.lineStyle = 1;
  item.lineWidth = thickness;
  out_->items.push_back(std::move(item));
}

void MarkupLineBuilder::PlaceImage(int width, int height, const QImage& image, std::optional<ColorRef> mask,
                                   int style) {
  const int left = Place(width, height, 0);
  if (!drawing() || width <= 0 || height <= 0) return;
  MarkupItem item;
  item.kind = MarkupItem::Kind::Image;
  item.rect = QRect(ClampExtent(static_cast<long long>(LineLeft()) + left + JustifyExtra(spacesSoFar_)),
                    ObjectTop(height, height), width, height);
  item.image = image;
  item.mask = mask;
  item.imageStyle = style;
  AddLink(item.rect);
  out_->items.push_back(std::move(item));
}

QSize MarkupLineBuilder::Finish() {
  if (any_ || current_.placed) EndLine(1, false);
  return QSize(width_, y_ - area_.top());
}

}  // namespace drelin
