#include "MarkupTableGrid.h"

#include <algorithm>
#include <array>

#include "MarkupColors.h"
#include "MarkupLimits.h"
#include "MarkupValues.h"

namespace drelin {
namespace {

using markup_limits::ClampExtent;
using markup_limits::kMaxTableColumns;
using markup_limits::kMaxTableRows;

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

int Span(const MarkupAttributes& attributes, const char* name, int limit) {
  const QString* value = FindAttribute(attributes, name);
  return value ? static_cast<int>(std::clamp<long long>(ParseNumber(*value).value_or(1), 1, limit)) : 1;
}

// Where column (row) `index` starts, from the grid's inner edge: every
// column before it adds the spacing, its width and a 1-pixel gap.
long long Offset(const std::vector<int>& sizes, int index, int spacing) {
  long long position = spacing;
  for (int k = 0; k < index; ++k) position += spacing + sizes[static_cast<std::size_t>(k)] + 1;
  return position;
}

// The width (height) of `span` columns (rows) from `first`, with the
// spacing and gaps between them.
long long Extent(const std::vector<int>& sizes, int first, int span, int spacing) {
  long long size = static_cast<long long>(spacing + 1) * (span - 1);
  for (int k = first; k < first + span && k < static_cast<int>(sizes.size()); ++k)
    size += sizes[static_cast<std::size_t>(k)];
  return size;
}

int CellBorder(const MarkupTableCell& cell) { return cell.borderStyle == BorderStyle::None ? 0 : 1; }

void AddEffect(MarkupOutput& out, const QRect& rect, int effect, ColorRef start, ColorRef mid, ColorRef end) {
  MarkupItem item;
  item.kind = MarkupItem::Kind::Effect;
  item.rect = rect;
  item.effect = effect;
  item.start = start;
  item.mid = mid;
  item.end = end;
  item.grain = 5;
  out.items.push_back(std::move(item));
}

// A background image "idres:n", "iddll:n" or "file:path" tiled over `rect`.
void AddTile(MarkupOutput& out, const QRect& rect, const QString& source,
             const MarkupTableGrid::LoadImage& loadImage) {
  const qsizetype colon = source.indexOf(QLatin1Char(':'));
  if (colon <= 0 || !loadImage) return;
  const QString kind = source.left(colon).trimmed().toLower();
  if (kind != QLatin1String("idres") && kind != QLatin1String("iddll") && kind != QLatin1String("file")) return;
  MarkupItem item;
  item.kind = MarkupItem::Kind::Tile;
  item.rect = rect;
  item.image = loadImage({{kind, source.mid(colon + 1).trimmed()}});
  if (!item.image.isNull()) out.items.push_back(std::move(item));
}

void AddFrame(MarkupOutput& out, const QRect& rect, ColorRef light, ColorRef dark, BorderStyle style, int width) {
  if (style == BorderStyle::None || width <= 0) return;
  MarkupItem item;
  item.kind = MarkupItem::Kind::Frame;
  item.rect = rect;
  item.light = light;
  item.dark = dark;
  item.lineStyle = static_cast<int>(style);
  item.lineWidth = width;
  out.items.push_back(std::move(item));
}

}  // namespace

MarkupTableGrid::MarkupTableGrid(const std::vector<MarkupToken>& tokens, std::size_t begin, std::size_t end,
                                 const StyleContext& style, int availableWidth)
    : style_(style), availableWidth_(availableWidth), table_(ParseAttributes(tokens[begin].params)) {
  ReadTable();
  PlaceCells(CollectCells(tokens, begin, end));
}

// A length attribute; a percentage is of `relative`, anything else relative
// to `current`.
int MarkupTableGrid::Length(const MarkupAttributes& attributes, const char* name, int current,
                            int relative) const {
  const QString* value = FindAttribute(attributes, name);
  if (value == nullptr) return current;
  const QString text = value->trimmed();
  return markup_limits::ClampLength(text.endsWith(QLatin1Char('%')) ? ParseLength(text, relative, style_.lengths)
                                                                    : ParseLength(text, current, style_.lengths));
}

ColorRef MarkupTableGrid::Color(const MarkupAttributes& attributes, const char* name, ColorRef current) const {
  const QString* value = FindAttribute(attributes, name);
  return value ? ResolveColor(*value, current, style_) : current;
}

void MarkupTableGrid::ReadTable() {
  padding_ = Length(table_, "cellpadding", 0, 0);
  spacing_ = Length(table_, "cellspacing", 0, 0);
  border_ = std::clamp(Length(table_, "border", 0, 0), 0, markup_limits::kMaxLineThickness);
  borderStyle_ = border_ > 0 ? BorderStyle::Solid : BorderStyle::None;
  if (const QString* value = FindAttribute(table_, "borderstyle")) borderStyle_ = ParseBorderStyle(*value, borderStyle_);
  if (border_ == 0) borderStyle_ = BorderStyle::None;
  light_ = Color(table_, "bordercolor", SystemColor(kColorButtonHighlight));
  dark_ = Color(table_, "bordercolor", SystemColor(kColorButtonShadow));
  light_ = Color(table_, "bordercolorlight", light_);
  dark_ = Color(table_, "bordercolordark", dark_);
  if (!style_.colorsEnabled) light_ = dark_ = style_.disabledColor;
  const bool doubleBorder = borderStyle_ == BorderStyle::Double && border_ > 0;
  frame_ = border_ == 0 ? 0 : (doubleBorder ? 6 : 2 * border_);
  inset_ = border_ == 0 ? 0 : (doubleBorder ? 3 : border_);
}

// The cells, row by row; nested tables stay inside their cell.
std::vector<MarkupTableCell> MarkupTableGrid::CollectCells(const std::vector<MarkupToken>& tokens,
                                                           std::size_t begin, std::size_t end) {
  std::vector<MarkupTableCell> cells;
  MarkupAttributes rowAttributes;
  int row = -1;
  constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::size_t open = kNone;  // the cell being collected
  auto finish = [&](std::size_t at) {
    if (open != kNone) cells[open].end = at;
    open = kNone;
  };
  int nesting = 0;
  for (std::size_t j = begin + 1; j < end; ++j) {
    const MarkupToken& token = tokens[j];
    if (IsOpenTag(token, "table")) {
      ++nesting;
      continue;
    }
    if (IsCloseTag(token, "table")) {
      nesting = std::max(nesting - 1, 0);
      continue;
    }
    if (nesting > 0) continue;
    if (IsOpenTag(token, "tr")) {
      finish(j);
      ++row;
      rowAttributes = ParseAttributes(token.params);
    } else if (IsCloseTag(token, "tr") || IsCloseTag(token, "td")) {
      finish(j);
    } else if (IsOpenTag(token, "td")) {
      finish(j);
      row = std::max(row, 0);
      if (row >= kMaxTableRows) continue;
      MarkupTableCell cell = ReadCell(ParseAttributes(token.params), rowAttributes);
      cell.begin = cell.end = j + 1;
      cell.row = row;
      cells.push_back(std::move(cell));
      open = cells.size() - 1;
    }
  }
  finish(end);
  rows_ = std::min(row + 1, kMaxTableRows);
  return cells;
}

MarkupTableCell MarkupTableGrid::ReadCell(const MarkupAttributes& attributes,
                                          const MarkupAttributes& rowAttributes) const {
  MarkupTableCell cell;
  cell.padding = Length(attributes, "cellpadding", padding_, 0);
  cell.widthAttr = Length(attributes, "width", 0, availableWidth_);
  cell.heightAttr = Length(attributes, "height", 0, 0);
  cell.fixedWidth = FindAttribute(attributes, "width") != nullptr;
  cell.colSpan = Span(attributes, "colspan", kMaxTableColumns);
  cell.rowSpan = Span(attributes, "rowspan", kMaxTableRows);
  cell.borderStyle = borderStyle_;
  if (const QString* value = FindAttribute(attributes, "border"))
    cell.borderStyle = ParseNumber(*value).value_or(0) > 0 ? BorderStyle::Solid : BorderStyle::None;
  if (const QString* value = FindAttribute(attributes, "borderstyle"))
    cell.borderStyle = ParseBorderStyle(*value, cell.borderStyle);
  cell.light = Color(attributes, "bordercolorlight", Color(attributes, "bordercolor", light_));
  cell.dark = Color(attributes, "bordercolordark", Color(attributes, "bordercolor", dark_));
  // The row's background and alignment first; the cell's own win.
  for (const MarkupAttributes* source : std::array<const MarkupAttributes*, 2>{&rowAttributes, &attributes})
    ReadCellLook(*source, cell);
  return cell;
}

void MarkupTableGrid::ReadCellLook(const MarkupAttributes& source, MarkupTableCell& cell) const {
  if (const QString* value = FindAttribute(source, "bgcolor")) {
    cell.startColor = cell.midColor = cell.endColor = ResolveColor(*value, ColorRef(0xFFFFFF), style_);
    if (cell.effect < 0) cell.effect = 0;
  }
  cell.midColor = Color(source, "bgmidcolor", cell.midColor);
  cell.endColor = Color(source, "bgendcolor", cell.endColor);
  if (const QString* value = FindAttribute(source, "bgeffect")) cell.effect = ParseEffect(*value, cell.effect);
  if (const auto align = ParseHAlign(FindAttribute(source, "align"))) cell.align = align;
  if (const QString* value = FindAttribute(source, "valign")) {
    const QString lower = value->trimmed().toLower();
    cell.valign = lower == QLatin1String("middle") || lower == QLatin1String("center") ? VAlign::Middle
                  : lower == QLatin1String("bottom")                                     ? VAlign::Bottom
                                                                                         : VAlign::Top;
  }
  if (const QString* value = FindAttribute(source, "background")) cell.background = *value;
}

// Each cell takes the next free column of its row, skipping places that
// row spans from above hold; spans are cut at the grid's edges.
void MarkupTableGrid::PlaceCells(std::vector<MarkupTableCell> cells) {
  const auto rows = static_cast<std::size_t>(rows_);
  std::vector<std::vector<bool>> taken(rows, std::vector<bool>(kMaxTableColumns, false));
  std::vector<int> nextColumn(rows, 0);
  for (MarkupTableCell& cell : cells) {
    const auto row = static_cast<std::size_t>(cell.row);
    int c = nextColumn[row];
    while (c < kMaxTableColumns && taken[row][static_cast<std::size_t>(c)]) ++c;
    if (c >= kMaxTableColumns) continue;
    cell.col = c;
    cell.colSpan = std::min(cell.colSpan, kMaxTableColumns - c);
    cell.rowSpan = std::min(cell.rowSpan, rows_ - cell.row);
    for (int r = cell.row; r < cell.row + cell.rowSpan; ++r)
      for (int k = c; k < c + cell.colSpan; ++k) taken[static_cast<std::size_t>(r)][static_cast<std::size_t>(k)] = true;
    nextColumn[row] = c + cell.colSpan;
    columns_ = std::max(columns_, c + cell.colSpan);
    cells_.push_back(std::move(cell));
  }
}

QSize MarkupTableGrid::Measure(const ContentSize& contentSize) {
  for (MarkupTableCell& cell : cells_) {
    const int extra = 2 * cell.padding + 2 * CellBorder(cell);
    cell.content = contentSize(cell);
    cell.width = ClampExtent(static_cast<long long>(std::max(cell.widthAttr, cell.content.width())) + extra);
    cell.height = ClampExtent(static_cast<long long>(std::max(cell.heightAttr, cell.content.height())) + extra);
  }
  columnWidths_.assign(static_cast<std::size_t>(columns_), 0);
  rowHeights_.assign(static_cast<std::size_t>(rows_), 0);
  ShareSpans(columnWidths_, true);
  ShareSpans(rowHeights_, false);
  const bool widthGiven = FindAttribute(table_, "width") != nullptr;
  SpreadWidth(widthGiven ? Length(table_, "width", 0, availableWidth_) : availableWidth_);
  SpreadHeight(Length(table_, "height", 0, 0));
  size_ = QSize(Total(columnWidths_), Total(rowHeights_));
  return size_;
}

// Column widths (row heights): cells of one column first, then wider
// spans in turn share their shortfall equally, the remainder to the last.
void MarkupTableGrid::ShareSpans(std::vector<int>& sizes, bool byColumn) const {
  const int count = static_cast<int>(sizes.size());
  for (int span = 1; span <= count; ++span) {
    for (const MarkupTableCell& cell : cells_) {
      const int first = byColumn ? cell.col : cell.row;
      const int cellSpan = byColumn ? cell.colSpan : cell.rowSpan;
      const int need = byColumn ? cell.width : cell.height;
      if (cellSpan != span || first + span > count) continue;
      long long together = static_cast<long long>(spacing_ + 1) * (span - 1);
      for (int k = first; k < first + span; ++k) together += sizes[static_cast<std::size_t>(k)];
      if (together >= need) continue;
      const long long shortfall = need - together;
      for (int k = first; k < first + span; ++k)
        sizes[static_cast<std::size_t>(k)] = ClampExtent(sizes[static_cast<std::size_t>(k)] + shortfall / span);
      int& last = sizes[static_cast<std::size_t>(first + span - 1)];
      last = ClampExtent(last + shortfall % span);
    }
  }
}

// The table's width (height) from its column widths (row heights).
int MarkupTableGrid::Total(const std::vector<int>& sizes) const {
  long long sum = 0;
  for (int size : sizes) sum += size;
  const long long n = static_cast<long long>(sizes.size());
  return ClampExtent(sum + (n + 1) * spacing_ + std::max<long long>(n - 1, 0) + frame_);
}

// Spare width goes to the columns without a width of their own, each the
// remaining spare divided by the columns remaining.
void MarkupTableGrid::SpreadWidth(int available) {
  const int tableWidth = Total(columnWidths_);
  if (tableWidth >= available) return;
  std::vector<bool> fixed(static_cast<std::size_t>(columns_), false);
  for (const MarkupTableCell& cell : cells_)
    if (cell.colSpan == 1 && cell.fixedWidth) fixed[static_cast<std::size_t>(cell.col)] = true;
  long long spare = available - tableWidth;
  int remaining = static_cast<int>(std::count(fixed.begin(), fixed.end(), false));
  for (int k = 0; k < columns_ && remaining > 0; ++k) {
    if (fixed[static_cast<std::size_t>(k)]) continue;
    const long long add = spare / remaining--;
    columnWidths_[static_cast<std::size_t>(k)] = ClampExtent(columnWidths_[static_cast<std::size_t>(k)] + add);
    spare -= add;
  }
}

// A table asked to be taller shares the spare height over all rows.
void MarkupTableGrid::SpreadHeight(int wanted) {
  const int tableHeight = Total(rowHeights_);
  if (tableHeight >= wanted || rows_ <= 0) return;
  long long spare = wanted - tableHeight;
  for (int k = 0, remaining = rows_; k < rows_; ++k, --remaining) {
    const long long add = spare / remaining;
    rowHeights_[static_cast<std::size_t>(k)] = ClampExtent(rowHeights_[static_cast<std::size_t>(k)] + add);
    spare -= add;
  }
}

QRect MarkupTableGrid::CellRect(const QRect& inner, const MarkupTableCell& cell) const {
  return QRect(ClampExtent(inner.left() + Offset(columnWidths_, cell.col, spacing_)),
               ClampExtent(inner.top() + Offset(rowHeights_, cell.row, spacing_)),
               ClampExtent(Extent(columnWidths_, cell.col, cell.colSpan, spacing_)),
               ClampExtent(Extent(rowHeights_, cell.row, cell.rowSpan, spacing_)));
}

// The table's effect, or with none its tiled background image.
void MarkupTableGrid::AddTableBackground(const QRect& rect, const LoadImage& loadImage, MarkupOutput& out) const {
  const QString* effect = FindAttribute(table_, "bgeffect");
  const int tableEffect = ParseEffect(effect ? *effect : QString(), FindAttribute(table_, "bgcolor") ? 0 : -1);
  if (tableEffect >= 0) {
    const ColorRef start = Color(table_, "bgcolor", ColorRef(0xFFFFFF));
    AddEffect(out, rect, tableEffect, start, Color(table_, "bgmidcolor", start), Color(table_, "bgendcolor", start));
  } else if (const QString* background = FindAttribute(table_, "background")) {
    AddTile(out, rect, *background, loadImage);
  }
}

void MarkupTableGrid::Draw(const QRect& area, HAlign align, const LoadImage& loadImage, MarkupOutput& out,
                           const DrawContent& drawContent) const {
  const HAlign tableAlign = ParseHAlign(FindAttribute(table_, "align")).value_or(align);
  const long long spare = std::max<long long>(static_cast<long long>(area.width()) - size_.width(), 0);
  int left = area.left();
  if (tableAlign == HAlign::Center) left = ClampExtent(left + spare / 2);
  if (tableAlign == HAlign::Right) left = ClampExtent(left + spare);
  const QRect tableRect(left, area.top(), size_.width(), size_.height());
  AddTableBackground(tableRect, loadImage, out);
  AddFrame(out, tableRect, light_, dark_, borderStyle_, border_);

  const QRect inner = tableRect.adjusted(inset_, inset_, -inset_, -inset_);
  for (const MarkupTableCell& cell : cells_) {
    const QRect cellRect = CellRect(inner, cell);
    if (cell.effect >= 0) AddEffect(out, cellRect, cell.effect, cell.startColor, cell.midColor, cell.endColor);
    else if (!cell.background.isEmpty()) AddTile(out, cellRect, cell.background, loadImage);
    AddFrame(out, cellRect, cell.light, cell.dark, cell.borderStyle, CellBorder(cell));
    const int contentInset = cell.padding + CellBorder(cell);
    const QRect content = cellRect.adjusted(contentInset, contentInset, -contentInset, -contentInset);
    const int free = std::max(content.height() - cell.content.height(), 0);
    const int top = content.top() + (cell.valign == VAlign::Middle   ? free / 2
                                     : cell.valign == VAlign::Bottom ? free
                                                                     : 0);
    drawContent(cell, QRect(content.left(), top, std::max(content.width(), 0), cell.content.height()));
  }
}

}  // namespace drelin
