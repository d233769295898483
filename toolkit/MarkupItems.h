// MarkupItems: the display list a draw pass of the layout produces, and the
// link areas it records. Painting the list is separate from laying out, so
// tests can read positions, fonts and colours without looking at pixels.
#pragma once

#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>

#include <optional>
#include <vector>

#include "ColorRef.h"
#include "MarkupGraphics.h"
#include "MarkupTextState.h"

namespace drelin {

struct MarkupItem {
  enum class Kind { Text, Image, Line, Effect, Frame, Tile };
  Kind kind = Kind::Text;
  QRect rect;  // the area covered (text: the run's cell; line: its bounds)

  // Text: drawn with its baseline at `baseline`.
  QString text;
  QFont font;
  int baseline = 0;
  ColorRef color;
  bool opaque = false;
  ColorRef background;
  int overline = 0;  // overline width in pixels, 0 for none
  int weight = 400;  // the weight the markup asked for

  // Image and Tile.
  QImage image;
  std::optional<ColorRef> mask;
  int imageStyle = 0;

  // Line: from `from` to `to`.
  QPoint from;
  QPoint to;
  int lineStyle = 1;
  int lineWidth = 1;

  // Effect: FillEffect arguments. Frame: light/dark colours and style.
  int effect = -1;
  ColorRef start, mid, end;
  int grain = 0;
  ColorRef light, dark;
};

struct MarkupLinkArea {
  QRect rect;
  LinkKind kind = LinkKind::None;
  int number = -1;
  QString text;
};

struct MarkupOutput {
  std::vector<MarkupItem> items;
  std::vector<MarkupLinkArea> links;
};

// Paints the items in order.
void PaintMarkupItems(QPainter& painter, const std::vector<MarkupItem>& items,
                      MarkupGraphics& graphics, const ImageShadow& shadow);

}  // namespace drelin
