// MarkupLayout: lays out a tokenized markup text. One walk serves both
// passes: measuring computes lines and sizes only; drawing measures each
// text segment again for its line records, then places runs, rules,
// images and tables into a display list and records the link areas. The
// walk splits the text into flows and tables, keeps the text state that
// tags and styles change, and hands the placing to MarkupLineBuilder
// (flows) and MarkupTableGrid (tables).
#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

#include <functional>
#include <map>
#include <vector>

#include "MarkupColors.h"
#include "MarkupFonts.h"
#include "MarkupGraphics.h"
#include "MarkupItems.h"
#include "MarkupStyleSheet.h"
#include "MarkupTextState.h"
#include "MarkupTokenizer.h"

namespace drelin {

struct MarkupLine;
class MarkupLineBuilder;
struct TagInfo;

struct MarkupLayoutContext {
  const MarkupStyleSheet* styles = nullptr;
  const MarkupColorTable* colors = nullptr;
  bool colorsEnabled = true;
  ColorRef disabledColor;
  int maxLineWidth = 0;  // 0: lines end only at breaks
  int tabWidth = 32;
  ImageShadow shadow;
  int hoveredLink = -2;
  int dpi = 96;
  // The natural image of an image tag, and the text of a <string> tag.
  std::function<QImage(const MarkupAttributes&)> loadImage;
  std::function<QString(const MarkupAttributes&)> loadString;
};

class MarkupLayout {
 public:
  MarkupLayout(const MarkupLayoutContext& context, const std::vector<MarkupToken>& tokens);

  // Size of the text with the available width of the maximum line width.
  QSize Measure();
  // Lays the text out in `rect` and fills `output`; returns the size used.
  QSize Draw(const QRect& rect, MarkupOutput& output);

 private:
  struct Walker;

  QSize LayoutRange(std::size_t begin, std::size_t end, Walker& walker, const QRect& area,
                    MarkupOutput* out, int depth);
  QSize LayoutFlow(std::size_t begin, std::size_t end, Walker& walker, const QRect& area,
                   MarkupOutput* out, std::vector<MarkupLine>& lines);
  QSize LayoutTable(std::size_t begin, std::size_t end, Walker& walker, const QRect& area,
                    MarkupOutput* out, int depth);
  void PlaceRule(const MarkupToken& token, const MarkupTextState& state, int areaWidth,
                 MarkupLineBuilder& builder) const;
  void PlaceImage(std::size_t index, const MarkupTextState& state, MarkupLineBuilder& builder);

  void ApplyOpenTag(std::size_t index, Walker& walker);
  void ApplyFontTag(const MarkupAttributes& attributes, MarkupTextState& state) const;
  void ApplyCloseTag(const TagInfo& tag, Walker& walker) const;
  void ApplyStyle(const QString& selector, MarkupTextState& state) const;
  StyleContext StyleContextFor(const MarkupTextState& state) const;
  ColorRef Color(const QString& value, ColorRef current) const;
  const QImage& ImageAt(std::size_t index);

  const MarkupLayoutContext& context_;
  const std::vector<MarkupToken>& tokens_;
  std::vector<int> linkNumbers_;  // per token: the number of an <a>, else -1
  std::map<std::size_t, QImage> images_;
};

}  // namespace drelin
