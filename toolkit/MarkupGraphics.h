// MarkupGraphics: the drawing helpers shared by the markup layout and the
// message box: background effects (gradients and shaded effects), styled
// lines, three-dimensional frames and image rendering with styles.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>

#include <array>
#include <optional>

#include "ColorRef.h"

class QPainter;

namespace drelin {

// Background effect numbers (the names are in MarkupValues).
enum Effect {
  kEffectNone = -1, kEffectSolid = 0, kEffectHGradient = 1, kEffectVGradient = 2,
  kEffectHCGradient = 3, kEffectVCGradient = 4, kEffect3HGradient = 5, kEffect3VGradient = 6,
  kEffectNoise = 7, kEffectDiagShade = 8, kEffectHShade = 9, kEffectVShade = 10,
  kEffectHBump = 11, kEffectVBump = 12, kEffectSoftBump = 13, kEffectHardBump = 14,
  kEffectMetal = 15,
};

// Image style letters: g grey, d disabled, l light, s shadow.
enum ImageStyle { kImageGrey = 1, kImageDisabled = 2, kImageLight = 4, kImageShadow = 8 };
int ParseImageStyle(const QString& letters);

struct ImageShadow {
  int offsetX = 4;
  int offsetY = 4;
  int darkness = 50;
  int kind = 1;
  int blurX = 7;
  int blurY = 7;
  // Grey level of the shadow: 255 * (100 - darkness) / 100, rounded.
  ColorRef color() const;
  bool enabled() const { return offsetX != 0 || offsetY != 0; }
};

class MarkupGraphics {
 public:
  // Paints effect `effect` over `rect`. `grain` is the pseudo-random spread
  // of the shaded effects (0 none); `param` is reserved.
  void FillEffect(QPainter& painter, int effect, const QRect& rect, ColorRef start, ColorRef mid,
                  ColorRef end, int grain, int param);

  // A line from `from` to `to` (inclusive of `from`), style 1 solid, 2
  // dashed, 3 dotted, 4 dash-dot, 5 dash-dot-dot, 6 double; style 0 or a
  // width below 1 draws nothing.
  static void DrawLine(QPainter& painter, QPoint from, QPoint to, ColorRef color, int style,
                       int width);
  // A frame inside `rect`: left and top in `light`, right and bottom in `dark`.
  static void DrawFrame(QPainter& painter, const QRect& rect, ColorRef light, ColorRef dark,
                        int style, int width);
  // The etched edge of a separator: a shadow line with a highlight below.
  static void DrawEtchedLine(QPainter& painter, int left, int right, int y);

  // Draws `image` into `target` with the style flags; `mask` makes pixels
  // of that colour transparent. The shadow, when asked for and enabled,
  // takes the target's top-left part and the image sits at its start.
  static void DrawImage(QPainter& painter, const QRect& target, const QImage& image,
                        std::optional<ColorRef> mask, int style, const ImageShadow& shadow);

  // The 256-entry ramp of the shaded effects: end (0), mid (128), start (255).
  static std::array<QRgb, 256> ColorRamp(ColorRef start, ColorRef mid, ColorRef end);
  // The ramp index of column `k` of a vertical bump `width` pixels wide.
  static int BumpEntry(int k, int width, int grain);

 private:
  static void FillGradient(QPainter& painter, const QRect& rect, ColorRef from, ColorRef to,
                           bool horizontal);
  void FillShaded(QPainter& painter, int effect, const QRect& rect, ColorRef start, ColorRef mid,
                  ColorRef end, int grain);

  QImage scratch_;
};

}  // namespace drelin
