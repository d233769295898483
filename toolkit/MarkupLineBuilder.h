// MarkupLineBuilder: puts the text runs and inline objects of one flow of
// markup (the text between tables) onto lines. The measuring pass records
// each line's width, ascent, descent, alignment and spaces; the drawing
// pass reads those records back to align, justify and place every run,
// rule and image, and adds them and their link areas to the display list.
// Lines end at breaks and, with a maximum line width, where a run no
// longer fits.
#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include <optional>
#include <vector>

#include "ColorRef.h"
#include "MarkupFonts.h"
#include "MarkupItems.h"
#include "MarkupTextState.h"

class QFontMetrics;

namespace drelin {

// What the measuring pass learns about one line.
struct MarkupLine {
  int width = 0;
  int ascent = 0;
  int descent = 0;
  int height = 0;
  HAlign align = HAlign::Left;
  bool aligned = false;  // the alignment was taken from the line's first object
  bool placed = false;   // something that has a height stands on the line
  int spaces = 0;
  bool wrapped = false;  // ended because the next run did not fit
};

class MarkupLineBuilder {
 public:
  // `state` and `font` are the flow's current text state and font; the
  // builder reads them at each call. With `out` null the builder measures
  // and appends to `lines`; otherwise it draws along the records `lines`
  // holds from measuring the same flow.
  MarkupLineBuilder(const QRect& area, int maxLineWidth, int tabWidth, const MarkupTextState& state,
                    const MarkupFont& font, std::vector<MarkupLine>& lines, MarkupOutput* out);

  bool drawing() const { return out_ != nullptr; }

  // A run of text, transformed as the state asks and wrapped when a
  // maximum line width is set.
  void PlaceText(QString run);
  // Ends the line; the pen moves down `count` line heights.
  void Break(int count);
  // Moves the pen to the `count`-th next tab stop.
  void Tab(int count);
  // A horizontal rule `width` long, centred in a line at least
  // thickness + 8 high.
  void PlaceRule(int width, int thickness, ColorRef color);
  // An image drawn `width` x `height`.
  void PlaceImage(int width, int height, const QImage& image, std::optional<ColorRef> mask, int style);
  // Ends the last line; the size the flow took.
  QSize Finish();

 private:
  const MarkupLine* Plan() const;
  int LineLeft() const;
  int JustifyExtra(int spaceIndex) const;
  int ObjectTop(int objectHeight, int objectAscent) const;
  void EndLine(int count, bool wrapped);
  int Place(int width, int ascent, int descent);
  void AddLink(const QRect& rect);

  bool Fits(const QFontMetrics& metrics, const QString& run, qsizetype length) const;
  qsizetype LastFittingBreak(const QString& run, qsizetype probe, const QFontMetrics& metrics) const;
  qsizetype LongestFittingPrefix(const QString& run, qsizetype probe, const QFontMetrics& metrics) const;
  QString PlaceWrapped(QString run, const QFontMetrics& metrics);
  void EmitText(const QString& run, int runWidth, const QFontMetrics& metrics);
  void EmitJustified(const QString& run, int left, int top, const QFontMetrics& metrics);
  void AddTextItem(const QString& piece, int left, int width, int top);

  const QRect area_;
  const int maxLineWidth_;
  const int tabWidth_;
  const MarkupTextState& state_;
  const MarkupFont& font_;
  std::vector<MarkupLine>& lines_;
  MarkupOutput* const out_;

  int x_ = 0;  // pen, relative to the line's start
  int y_ = 0;
  std::size_t lineIndex_ = 0;
  MarkupLine current_;
  int width_ = 0;
  bool any_ = false;
  int spacesSoFar_ = 0;
};

}  // namespace drelin
