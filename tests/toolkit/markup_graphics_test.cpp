// Drawing helpers read back from rendered images: gradient bands, the
// vbump of the message box, frames and image styles.
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include "MarkupGraphics.h"
#include "ToolkitTestSupport.h"

namespace drelin {
namespace {

using testing::Pixel;

QImage Filled(int effect, QSize size, ColorRef start, ColorRef mid, ColorRef end) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter painter(&image);
  MarkupGraphics graphics;
  graphics.FillEffect(painter, effect, image.rect(), start, mid, end, 0, 0);
  return image;
}

TEST(MarkupGraphics, VBumpColoursPerColumn) {
  const ColorRef yellow(0x86FDF7);
  const QImage image = Filled(12, QSize(200, 4), yellow, ColorRef(0xFFFFFF), yellow);
  EXPECT_EQ(Pixel(image, 0, 0), QColor(247, 253, 134));   // the start colour at the left edge
  EXPECT_EQ(Pixel(image, 100, 3), QColor(255, 255, 255)); // the middle colour at the centre
  EXPECT_EQ(Pixel(image, 50, 2), QColor(254, 255, 240));  // entry 144: flat towards the middle
  EXPECT_EQ(Pixel(image, 199, 0), QColor(247, 253, 139)); // entry 6, near the end colour
  for (int y = 1; y < 4; ++y) EXPECT_EQ(image.pixel(37, y), image.pixel(37, 0));
}

TEST(MarkupGraphics, BumpEntriesFollowTheCubic) {
  EXPECT_EQ(MarkupGraphics::BumpEntry(0, 200, 0), 255);
  EXPECT_EQ(MarkupGraphics::BumpEntry(100, 200, 0), 128);
  EXPECT_EQ(MarkupGraphics::BumpEntry(50, 200, 0), 144);
  EXPECT_EQ(MarkupGraphics::BumpEntry(199, 200, 0), 6);
}

TEST(MarkupGraphics, GradientsPaintSixtyFourBands) {
  const QImage image = Filled(1, QSize(128, 2), ColorRef(0x000000), ColorRef(0), ColorRef(0xFFFFFF));
  EXPECT_EQ(Pixel(image, 0, 0).red(), 0);
  EXPECT_EQ(Pixel(image, 1, 0).red(), 0);   // two pixels per band
  EXPECT_EQ(Pixel(image, 2, 0).red(), 3);   // 255 x 1 / 64
  EXPECT_EQ(Pixel(image, 127, 1).red(), 251);
  const QImage split = Filled(3, QSize(128, 2), ColorRef(0x000000), ColorRef(0), ColorRef(0xFFFFFF));
  EXPECT_EQ(Pixel(split, 0, 0).red(), 0);
  EXPECT_EQ(Pixel(split, 64, 0).red(), 255);  // the right half runs back
  EXPECT_EQ(Pixel(split, 127, 0).red(), 4);
  const QImage vertical = Filled(6, QSize(2, 128), ColorRef(0x0000FF), ColorRef(0x00FF00), ColorRef(0xFF0000));
  EXPECT_EQ(Pixel(vertical, 0, 0), QColor(255, 0, 0));
  EXPECT_EQ(Pixel(vertical, 0, 64), QColor(0, 255, 0));
}

TEST(MarkupGraphics, ShadedEffectsRampFromEndThroughMiddleToStart) {
  const auto ramp = MarkupGraphics::ColorRamp(ColorRef(0x0000FF), ColorRef(0x00FF00), ColorRef(0xFF0000));
  EXPECT_EQ(QColor(ramp[0]), QColor(0, 0, 255));
  EXPECT_EQ(QColor(ramp[128]), QColor(0, 255, 0));
  EXPECT_EQ(QColor(ramp[255]), QColor(255, 0, 0));
  // Every shaded effect fills its whole rectangle, even a large one, and
  // only the visible part is rendered.
  for (int effect = 7; effect <= 15; ++effect) {
    QImage image(50, 30, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    MarkupGraphics graphics;
    graphics.FillEffect(painter, effect, QRect(-1000000, -1000000, 3000000, 3000000), ColorRef(0xFFFFFF),
                        ColorRef(0x808080), ColorRef(0x404040), 5, 0);
    painter.end();
    EXPECT_NE(image.pixel(25, 15), qRgb(0, 0, 0)) << "effect " << effect;
  }
}

TEST(MarkupGraphics, FramesAndLines) {
  QImage image(20, 20, QImage::Format_RGB32);
  image.fill(Qt::gray);
  QPainter painter(&image);
  MarkupGraphics::DrawFrame(painter, QRect(2, 2, 10, 10), ColorRef(0xFFFFFF), ColorRef(0x000000), 1, 2);
  MarkupGraphics::DrawLine(painter, QPoint(0, 18), QPoint(20, 18), ColorRef(0x0000FF), 0, 1);
  MarkupGraphics::DrawLine(painter, QPoint(0, 16), QPoint(20, 16), ColorRef(0x0000FF), 1, 0);
  painter.end();
  EXPECT_EQ(Pixel(image, 2, 2), QColor(Qt::white));
  EXPECT_EQ(Pixel(image, 3, 6), QColor(Qt::white));
  EXPECT_EQ(Pixel(image, 11, 6), QColor(Qt::black));
  EXPECT_EQ(Pixel(image, 6, 10), QColor(Qt::black));
  EXPECT_EQ(Pixel(image, 6, 6), QColor(Qt::gray));
  EXPECT_EQ(Pixel(image, 5, 18), QColor(Qt::gray));  // style 0 draws nothing
  EXPECT_EQ(Pixel(image, 5, 16), QColor(Qt::gray));  // nor does width 0
}

TEST(MarkupGraphics, ImageStylesMaskGreyAndShadow) {
  QImage source(4, 4, QImage::Format_RGB32);
  source.fill(QColor(255, 0, 255));
  source.setPixel(1, 1, qRgb(255, 0, 0));
  QImage target(12, 12, QImage::Format_RGB32);
  target.fill(Qt::white);
  QPainter painter(&target);
  ImageShadow shadow;
  MarkupGraphics::DrawImage(painter, QRect(0, 0, 4, 4), source, ColorRef(0xFF00FF), kImageGrey, shadow);
  MarkupGraphics::DrawImage(painter, QRect(4, 4, 8, 8), source, ColorRef(0xFF00FF), kImageShadow, shadow);
  painter.end();
  EXPECT_EQ(Pixel(target, 0, 0), QColor(Qt::white));  // the mask colour is transparent
  const int grey = qRound(0.299 * 255);
  EXPECT_EQ(Pixel(target, 1, 1), QColor(grey, grey, grey));
  EXPECT_EQ(Pixel(target, 5, 5), QColor(255, 0, 0));        // the image itself
  EXPECT_EQ(Pixel(target, 9, 9), QColor(128, 128, 128));    // its shadow, 4 px down and right
}

}  // namespace
}  // namespace drelin
