// MarkupFonts: the font for a text state. A markup font size is the height
// of the character cell in pixels (16 gives 16-pixel lines), so the pixel
// size Qt is asked for is chosen to make ascent + descent fit that height.
#pragma once

#include <QFont>

#include "MarkupTextState.h"

class QPaintDevice;

namespace drelin {

struct MarkupFont {
  QFont font;
  int height = 0;   // the cell height asked for
  int ascent = 0;   // above the baseline, at most `height`
  int descent = 0;  // height - ascent
  int xHeight = 0;
};

// The font of `state` as drawn on `device` (null: the default device).
MarkupFont FontForState(const MarkupTextState& state, const QPaintDevice* device);

}  // namespace drelin
