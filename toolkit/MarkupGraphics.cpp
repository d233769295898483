#include "MarkupGraphics.h"

#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

#include "MarkupColors.h"

namespace drelin {
namespace {

int Lerp(int from, int to, int step, int steps) { return from + (to - from) * step / steps; }

ColorRef LerpColor(ColorRef from, ColorRef to, int step, int steps) {
  return ColorRef::FromRgb(Lerp(from.red(), to.red(), step, steps),
                           Lerp(from.green(), to.green(), step, steps),
                           Lerp(from.blue(), to.blue(), step, steps));
}

// A small deterministic generator, so repaints of one area look the same.
class Grain {
 public:
  explicit Grain(int spread) : spread_(spread) {}
  int Next() {
    if (spread_ <= 0) return 0;
    state_ = state_ * 1103515245u + 12345u;
    return static_cast<int>((state_ >> 16) % static_cast<unsigned>(2 * spread_ + 1)) - spread_;
  }

 private:
  int spread_;
  unsigned state_ = 0x2545F491u;
};

QRect DeviceRect(const QPainter& painter) {
  const QPaintDevice* device = painter.device();
  if (device == nullptr) return {};
  QRect rect(0, 0, device->width(), device->height());
  return painter.transform().inverted().mapRect(rect);
}

Qt::PenStyle PenStyleFor(int style) {
  switch (style) {
    case 2: return Qt::DashLine;
    case 3: return Qt::DotLine;
    case 4: return Qt::DashDotLine;
    case 5: return Qt::DashDotDotLine;
    default: return Qt::SolidLine;
  }
}

QImage Greyed(QImage image) {
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = line[x];
      const int grey = static_cast<int>(std::lround(0.299 * qRed(p) + 0.587 * qGreen(p) + 0.114 * qBlue(p)));
      line[x] = qRgba(grey, grey, grey, qAlpha(p));
    }
  }
  return image;
}

QImage Lightened(QImage image, ColorRef toward, int percent) {
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = line[x];
      line[x] = qRgba(Lerp(qRed(p), toward.red(), percent, 100), Lerp(qGreen(p), toward.green(), percent, 100),
                      Lerp(qBlue(p), toward.blue(), percent, 100), qAlpha(p));
    }
  }
  return image;
}

}  // namespace

int ParseImageStyle(const QString& letters) {
  int style = 0;
  for (const QChar c : letters) {
    switch (c.toLatin1()) {
      case 'g': style |= kImageGrey; break;
      case 'd': style |= kImageDisabled; break;
      case 'l': style |= kImageLight; break;
      case 's': style |= kImageShadow; break;
      default: break;
    }
  }
  return style;
}

ColorRef ImageShadow::color() const {
  const int level = (255 * (100 - std::clamp(darkness, 0, 100)) + 50) / 100;
  return ColorRef::FromRgb(level, level, level);
}

std::array<QRgb, 256> MarkupGraphics::ColorRamp(ColorRef start, ColorRef mid, ColorRef end) {
  std::array<QRgb, 256> ramp{};
  for (int i = 0; i <= 128; ++i) ramp[static_cast<std::size_t>(i)] = LerpColor(end, mid, i, 128).toQRgb();
  for (int i = 129; i < 256; ++i)
    ramp[static_cast<std::size_t>(i)] = LerpColor(mid, start, i - 128, 127).toQRgb();
  return ramp;
}

int MarkupGraphics::BumpEntry(int k, int width, int grain) {
  if (width <= 0) return 128;
  const long long v = 255LL * (width - k) / width - 127;
  const long long s = v * v * v / 16384 * (128 - grain);
  return static_cast<int>(std::clamp<long long>(s / 128 + 128, 0, 255));
}

void MarkupGraphics::FillEffect(QPainter& painter, int effect, const QRect& rect, ColorRef start,
                                ColorRef mid, ColorRef end, int grain, int /*param*/) {
  if (effect == kEffectNone || rect.isEmpty()) return;
  const int halfW = rect.width() / 2;
  const int halfH = rect.height() / 2;
  switch (effect) {
    case kEffectHGradient: FillGradient(painter, rect, start, end, true); return;
    case kEffectVGradient: FillGradient(painter, rect, start, end, false); return;
    case kEffectHCGradient:
      FillGradient(painter, QRect(rect.left(), rect.top(), halfW, rect.height()), start, end, true);
      FillGradient(painter, QRect(rect.left() + halfW, rect.top(), rect.width() - halfW, rect.height()), end, start, true);
      return;
    case kEffectVCGradient:
      FillGradient(painter, QRect(rect.left(), rect.top(), rect.width(), halfH), start, end, false);
      FillGradient(painter, QRect(rect.left(), rect.top() + halfH, rect.width(), rect.height() - halfH), end, start, false);
      return;
    case kEffect3HGradient:
      FillGradient(painter, QRect(rect.left(), rect.top(), halfW, rect.height()), start, mid, true);
      FillGradient(painter, QRect(rect.left() + halfW, rect.top(), rect.width() - halfW, rect.height()), mid, end, true);
      return;
    case kEffect3VGradient:
      FillGradient(painter, QRect(rect.left(), rect.top(), rect.width(), halfH), start, mid, false);
      FillGradient(painter, QRect(rect.left(), rect.top() + halfH, rect.width(), rect.height() - halfH), mid, end, false);
      return;
    default:
      break;
  }
  if (effect >= kEffectNoise && effect <= kEffectMetal) {
    FillShaded(painter, effect, rect, start, mid, end, grain);
    return;
  }
  painter.fillRect(rect, start.toQColor());
}

void MarkupGraphics::FillGradient(QPainter& painter, const QRect& rect, ColorRef from, ColorRef to,
                                  bool horizontal) {
  constexpr int kBands = 64;
  const long long extent = horizontal ? rect.width() : rect.height();
  for (int band = 0; band < kBands; ++band) {
    const int a = static_cast<int>(extent * band / kBands);
    const int b = static_cast<int>(extent * (band + 1) / kBands);
    if (b <= a) continue;
    const QRect part = horizontal ? QRect(rect.left() + a, rect.top(), b - a, rect.height())
                                  : QRect(rect.left(), rect.top() + a, rect.width(), b - a);
    painter.fillRect(part, LerpColor(from, to, band, kBands).toQColor());
  }
}

void MarkupGraphics::FillShaded(QPainter& painter, int effect, const QRect& rect, ColorRef start,
                                ColorRef mid, ColorRef end, int grain) {
  // Only the part that can reach the device is rendered; the shape still
  // follows the whole rectangle.
  const QRect visible = rect.intersected(DeviceRect(painter));
  if (visible.isEmpty()) return;
  const std::array<QRgb, 256> ramp = ColorRamp(start, mid, end);
  if (scratch_.size() != visible.size() || scratch_.format() != QImage::Format_Indexed8)
    scratch_ = QImage(visible.size(), QImage::Format_Indexed8);
  if (scratch_.isNull()) return;
  scratch_.setColorTable(QList<QRgb>(ramp.begin(), ramp.end()));
  const long long w = rect.width();
  const long long h = rect.height();
  Grain noise(std::max(grain, 0));
  for (int row = 0; row < visible.height(); ++row) {
    uchar* line = scratch_.scanLine(row);
    const int y = visible.top() - rect.top() + row;
    for (int col = 0; col < visible.width(); ++col) {
      const int x = visible.left() - rect.left() + col;
      int entry = 128;
      switch (effect) {
        case kEffectDiagShade:
          entry = static_cast<int>(255 * ((w - x) * h + (h - y) * w) / (2 * w * h));
          break;
        case kEffectHShade: entry = static_cast<int>(255 * (w - x) / w); break;
        case kEffectVShade: entry = static_cast<int>(255 * (h - y) / h); break;
        case kEffectHBump: entry = BumpEntry(y, rect.height(), grain); break;
        case kEffectVBump: entry = BumpEntry(x, rect.width(), grain); break;
        case kEffectSoftBump:
          entry = BumpEntry(x, rect.width(), grain) + BumpEntry(y, rect.height(), grain) - 128;
          break;
        case kEffectHardBump: {
          // The bump with its ramp twice as steep: flat sooner, sharper edges.
          const long long v = std::clamp<long long>(2 * (255 * (w - x) / w - 127), -127, 128);
          entry = static_cast<int>(v * v * v / 16384 * (128 - grain) / 128 + 128);
          break;
        }
        case kEffectMetal: {
          const int d = x + 2 * y;
          const unsigned hash = static_cast<unsigned>(d) * 2654435761u;
          entry = 128 + static_cast<int>(std::lround(48.0 * std::sin(d * 0.07))) +
                  static_cast<int>((hash >> 27) & 31u) - 16;
          break;
        }
        default: break;  // noise: the flat middle value
      }
      line[col] = static_cast<uchar>(std::clamp(entry + noise.Next(), 0, 255));
    }
  }
  painter.drawImage(visible.topLeft(), scratch_);
}

void MarkupGraphics::DrawLine(QPainter& painter, QPoint from, QPoint to, ColorRef color, int style,
                              int width) {
  if (style <= 0 || style > 6 || width < 1) return;
  const bool horizontal = from.y() == to.y();
  const bool vertical = from.x() == to.x();
  if (style == 6) {
    // Two lines 2 x width apart, either side of the given one.
    const QPoint shift = horizontal ? QPoint(0, width) : QPoint(width, 0);
    DrawLine(painter, from - shift, to - shift, color, 1, width);
    DrawLine(painter, from + shift, to + shift, color, 1, width);
    return;
  }
  if (style == 1 && (horizontal || vertical)) {
    const int half = (width - 1) / 2;
    if (horizontal)
      painter.fillRect(QRect(std::min(from.x(), to.x()), from.y() - half,
                             std::max(std::abs(to.x() - from.x()), 1), width), color.toQColor());
    else
      painter.fillRect(QRect(from.x() - half, std::min(from.y(), to.y()), width,
                             std::max(std::abs(to.y() - from.y()), 1)), color.toQColor());
    return;
  }
  painter.save();
  QPen pen(color.toQColor(), width, PenStyleFor(style), Qt::FlatCap);
  painter.setPen(pen);
  painter.drawLine(from, to);
  painter.restore();
}

void MarkupGraphics::DrawFrame(QPainter& painter, const QRect& rect, ColorRef light,
                               ColorRef dark, int style, int width) {
  if (style <= 0 || style > 6 || width < 1 || rect.isEmpty()) return;
  if (style == 6) {
    DrawFrame(painter, rect, light, dark, 1, width);
    DrawFrame(painter, rect.adjusted(2 * width, 2 * width, -2 * width, -2 * width), light, dark, 1, width);
    return;
  }
  if (style == 1) {
    const int w = std::min({width, rect.width(), rect.height()});
    painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), w), light.toQColor());
    painter.fillRect(QRect(rect.left(), rect.top(), w, rect.height()), light.toQColor());
    painter.fillRect(QRect(rect.left() + w, rect.bottom() - w + 1, rect.width() - w, w), dark.toQColor());
    painter.fillRect(QRect(rect.right() - w + 1, rect.top() + w, w, rect.height() - w), dark.toQColor());
    return;
  }
  const int inset = width / 2;
  const QRect r = rect.adjusted(inset, inset, -inset - 1 + (width % 2 == 0 ? 1 : 0), -inset - 1 + (width % 2 == 0 ? 1 : 0));
  DrawLine(painter, r.topLeft(), r.topRight(), light, style, width);
  DrawLine(painter, r.topLeft(), r.bottomLeft(), light, style, width);
  DrawLine(painter, r.bottomLeft(), r.bottomRight(), dark, style, width);
  DrawLine(painter, r.topRight(), r.bottomRight(), dark, style, width);
}

void MarkupGraphics::DrawEtchedLine(QPainter& painter, int left, int right, int y) {
  if (right <= left) return;
  painter.fillRect(QRect(left, y, right - left, 1), SystemColor(kColorButtonShadow).toQColor());
  painter.fillRect(QRect(left, y + 1, right - left, 1), SystemColor(kColorButtonHighlight).toQColor());
}

void MarkupGraphics::DrawImage(QPainter& painter, const QRect& target, const QImage& source,
                               std::optional<ColorRef> mask, int style, const ImageShadow& shadow) {
  if (source.isNull() || target.isEmpty()) return;
  QImage image = source.convertToFormat(QImage::Format_ARGB32);
  if (mask) {
    const QRgb key = mask->toQRgb() & 0x00FFFFFFu;
    for (int y = 0; y < image.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
      for (int x = 0; x < image.width(); ++x)
        if ((line[x] & 0x00FFFFFFu) == key) line[x] = 0;
    }
  }
  if (style & kImageGrey) image = Greyed(std::move(image));
  if (style & kImageDisabled)
    image = Lightened(Greyed(std::move(image)), SystemColor(kColorButtonFace), 50);
  if (style & kImageLight) image = Lightened(std::move(image), ColorRef(0xFFFFFF), 40);
  QRect imageRect = target;
  if ((style & kImageShadow) && shadow.enabled()) {
    const int dx = std::abs(shadow.offsetX);
    const int dy = std::abs(shadow.offsetY);
    imageRect = QRect(target.left() + (shadow.offsetX < 0 ? dx : 0), target.top() + (shadow.offsetY < 0 ? dy : 0),
                      std::max(target.width() - dx, 1), std::max(target.height() - dy, 1));
    QImage shape(image.size(), QImage::Format_ARGB32);
    const QRgb tint = shadow.color().toQRgb();
    for (int y = 0; y < image.height(); ++y) {
      const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
      auto* out = reinterpret_cast<QRgb*>(shape.scanLine(y));
      for (int x = 0; x < image.width(); ++x)
        out[x] = qAlpha(in[x]) ? qRgba(qRed(tint), qGreen(tint), qBlue(tint), qAlpha(in[x])) : 0;
    }
    painter.drawImage(imageRect.translated(shadow.offsetX, shadow.offsetY), shape);
  }
  painter.drawImage(imageRect, image);
}

}  // namespace drelin
