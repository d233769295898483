#include "SkinImage.h"

#include <cmath>

namespace drelin {
namespace {

QImage Argb(const QImage& image) { return image.convertToFormat(QImage::Format_ARGB32); }

// One colour with the alpha `keep` allows for each pixel of `image`.
template <typename Keep>
QImage Recolored(const QImage& image, ColorRef color, Keep keep) {
  if (image.isNull()) return {};
  QImage shape = Argb(image);
  const QRgb rgb = color.toQRgb();
  for (int y = 0; y < shape.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(shape.scanLine(y));
    for (int x = 0; x < shape.width(); ++x) {
      const int alpha = keep(line[x]);
      line[x] = qRgba(qRed(rgb), qGreen(rgb), qBlue(rgb), alpha);
    }
  }
  return shape.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

}  // namespace

QImage MaskedImage(const QImage& image, ColorRef transparent) {
  if (image.isNull()) return {};
  QImage masked = Argb(image);
  const QRgb key = transparent.toQRgb() & 0x00FFFFFFu;
  for (int y = 0; y < masked.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(masked.scanLine(y));
    for (int x = 0; x < masked.width(); ++x) {
      const QRgb rgb = line[x] & 0x00FFFFFFu;
      line[x] = rgb == key ? 0u : (rgb | 0xFF000000u);
    }
  }
  return masked.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage Silhouette(const QImage& image, ColorRef color) {
  return Recolored(image, color, [](QRgb pixel) { return qAlpha(pixel); });
}

QImage EmbossShape(const QImage& image, ColorRef color) {
  return Recolored(image, color, [](QRgb pixel) { return qGray(pixel) < 200 ? qAlpha(pixel) : 0; });
}

void DrawScaled(QPainter& painter, const QRect& target, const QImage& image) {
  if (image.isNull()) return;
  if (image.deviceIndependentSize() == QSizeF(target.size())) {
    painter.drawImage(target.topLeft(), image);
    return;
  }
  const qreal ratio = painter.device() != nullptr ? painter.device()->devicePixelRatioF() : 1.0;
  const QSize device(static_cast<int>(std::lround(target.width() * ratio)),
                     static_cast<int>(std::lround(target.height() * ratio)));
  QImage scaled = image.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  scaled.setDevicePixelRatio(ratio);
  painter.drawImage(target.topLeft(), scaled);
}

void DrawEmbossed(QPainter& painter, const QRect& target, const QImage& image, ColorRef highlight, ColorRef shadow) {
  DrawScaled(painter, target.translated(1, 1), EmbossShape(image, highlight));
  DrawScaled(painter, target, EmbossShape(image, shadow));
}

}  // namespace drelin
