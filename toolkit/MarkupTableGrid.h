// MarkupTableGrid: one <table> of a markup text as a grid. It reads the
// table's and the cells' attributes, places the cells on the grid (row and
// column spans, cells past the limits dropped), sizes the columns and rows
// from the cells' content and shares out spare width and height, and puts
// the backgrounds and frames of the table and its cells into the display
// list. The caller lays out each cell's content, as a text of its own.
#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

#include "ColorRef.h"
#include "MarkupItems.h"
#include "MarkupStyleSheet.h"
#include "MarkupTextState.h"
#include "MarkupTokenizer.h"

namespace drelin {

struct MarkupTableCell {
  std::size_t begin = 0;  // the cell's content: tokens [begin, end)
  std::size_t end = 0;
  int row = 0;
  int col = 0;
  int rowSpan = 1;
  int colSpan = 1;
  int widthAttr = 0;
  int heightAttr = 0;
  bool fixedWidth = false;  // the cell gives its own width
  int padding = 0;
  BorderStyle borderStyle = BorderStyle::None;
  ColorRef light, dark;
  int effect = -1;  // background effect, -1 none
  ColorRef startColor, midColor, endColor;
  QString background;  // tiled image, when no effect
  std::optional<HAlign> align;
  VAlign valign = VAlign::Top;  // Top, Middle or Bottom
  QSize content;  // the content's size, from measuring
  int width = 0;
  int height = 0;
};

class MarkupTableGrid {
 public:
  using ContentSize = std::function<QSize(const MarkupTableCell& cell)>;
  using DrawContent = std::function<void(const MarkupTableCell& cell, const QRect& area)>;
  using LoadImage = std::function<QImage(const MarkupAttributes& attributes)>;

  // The table whose <table> tag is tokens[begin] and whose content ends
  // before `end`. `style` reads lengths and colours; percentages and spare
  // width refer to `availableWidth`.
  MarkupTableGrid(const std::vector<MarkupToken>& tokens, std::size_t begin, std::size_t end,
                  const StyleContext& style, int availableWidth);

  // Sizes the cells by their content, then the columns and rows; returns
  // the table's size.
  QSize Measure(const ContentSize& contentSize);

  // After Measure: places the table in `area` by its own align attribute
  // (else by `align`), adds backgrounds and frames to `out`, and hands each
  // cell's content area to `drawContent`.
  void Draw(const QRect& area, HAlign align, const LoadImage& loadImage, MarkupOutput& out,
            const DrawContent& drawContent) const;

 private:
  int Length(const MarkupAttributes& attributes, const char* name, int current, int relative) const;
  ColorRef Color(const MarkupAttributes& attributes, const char* name, ColorRef current) const;
  void ReadTable();
  std::vector<MarkupTableCell> CollectCells(const std::vector<MarkupToken>& tokens, std::size_t begin,
                                            std::size_t end);
  MarkupTableCell ReadCell(const MarkupAttributes& attributes, const MarkupAttributes& rowAttributes) const;
  void ReadCellLook(const MarkupAttributes& source, MarkupTableCell& cell) const;
  void PlaceCells(std::vector<MarkupTableCell> cells);
  void ShareSpans(std::vector<int>& sizes, bool byColumn) const;
  int Total(const std::vector<int>& sizes) const;
  void SpreadWidth(int available);
  void SpreadHeight(int wanted);
  QRect CellRect(const QRect& inner, const MarkupTableCell& cell) const;
  void AddTableBackground(const QRect& rect, const LoadImage& loadImage, MarkupOutput& out) const;

  const StyleContext style_;
  const int availableWidth_;
  MarkupAttributes table_;
  int padding_ = 0;
  int spacing_ = 0;
  int border_ = 0;
  BorderStyle borderStyle_ = BorderStyle::None;
  ColorRef light_, dark_;
  int frame_ = 0;  // the border's share of the table's width and height
  int inset_ = 0;  // from the table's edge to its content

  int rows_ = 0;
  int columns_ = 0;
  std::vector<MarkupTableCell> cells_;  // placed, in the order written
  std::vector<int> columnWidths_;
  std::vector<int> rowHeights_;
  QSize size_;
};

}  // namespace drelin
