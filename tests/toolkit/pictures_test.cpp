// The program's pictures as the program loads them: every number at its
// size and at twice its size for high-density screens, the buttons keyed on
// exact black with no near-black edge and no hole, the skin pieces joining
// without seams at any window size, and the companion background files.
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QPainter>

#include <gtest/gtest.h>

#include <vector>

#include "MarkupImages.h"
#include "Pictures.h"
#include "WizardSkin.h"

namespace drelin {
namespace {

using namespace res;

struct Expected {
  int number;
  QSize size;
};

std::vector<Expected> EveryPicture() {
  std::vector<Expected> all;
  for (const PictureSize& bitmap : kBitmapSizes) all.push_back({bitmap.number, {bitmap.width, bitmap.height}});
  for (const int icon : kIcons) all.push_back({icon, {kIconSide, kIconSide}});
  int index = 0;
  for (const ButtonPictures& button : kButtonPictures) {
    const QSize size = index++ < kTopRowButtonCount ? QSize(kTopRowButtonWidth, kTopRowButtonHeight)
                                                    : QSize(kSmallButtonWidth, kSmallButtonHeight);
    all.push_back({button.normal, size});
    all.push_back({button.hover, size});
  }
  return all;
}

int ChannelDistance(QRgb a, QRgb b) {
  return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

// A picture with its black key (if it has one) shown as the button face.
QImage OnButtonFace(const QImage& picture) {
  QImage image = picture.convertToFormat(QImage::Format_ARGB32);
  if (picture.hasAlphaChannel()) return image;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if ((image.pixel(x, y) & 0xFFFFFF) == 0) image.setPixel(x, y, qRgb(0xEF, 0xEF, 0xEF));
  return image;
}

// The mean channel difference between a picture and its 2x copy shrunk.
double MeanDifference(const QImage& picture, const QImage& sharp) {
  const QImage a = OnButtonFace(picture);
  const QImage b = OnButtonFace(sharp).scaled(picture.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  double sum = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q)) +
             std::abs(qAlpha(p) - qAlpha(q));
    }
  return sum / (4.0 * a.width() * a.height());
}

// Every number loads at its size for ordinary screens and as the 2x copy,
// ratio 2, for any ratio above 1; the copy shows the same picture.
TEST(Pictures, EveryNumberAtItsSizeAndTwice) {
  for (const Expected& picture : EveryPicture()) {
    SCOPED_TRACE(picture.number);
    const QImage plain = LoadProgramImage(picture.number);
    ASSERT_FALSE(plain.isNull());
    EXPECT_EQ(plain.size(), picture.size);
    EXPECT_EQ(plain.devicePixelRatio(), 1.0);
    EXPECT_EQ(LoadProgramImage(picture.number, 1.0), plain);
    for (const qreal ratio : {1.25, 2.0, 3.0}) {
      const QImage sharp = LoadProgramImage(picture.number, ratio);
      EXPECT_EQ(sharp.size(), picture.size * 2);
      EXPECT_EQ(sharp.devicePixelRatio(), 2.0);
      EXPECT_EQ(sharp.deviceIndependentSize(), QSizeF(picture.size));
    }
    EXPECT_LT(MeanDifference(plain, LoadProgramImage(picture.number, 2.0)), 3.0);
  }
  for (const int icon : kIcons) {  // icons keep their transparency
    const QImage image = LoadProgramImage(icon);
    EXPECT_TRUE(image.hasAlphaChannel() && qAlpha(image.pixel(0, 0)) == 0) << icon;
  }
  EXPECT_TRUE(LoadProgramImage(999).isNull());
  EXPECT_TRUE(LoadProgramImage(999, 2.0).isNull());
}

// The buttons' transparent colour is exact black: a drawn pixel is never
// black nor close to it (a dark edge would show as a fringe once the key is
// taken out), a picture is mostly drawing, and the pointer-over pictures
// fill their button nearly to the edge.
TEST(Pictures, ButtonsKeyOnExactBlackOnly) {
  constexpr int kMinChannelSum = 96;
  for (const ButtonPictures& button : kButtonPictures) {
    for (const int number : {button.normal, button.hover}) {
      for (const qreal ratio : {1.0, 2.0}) {
        SCOPED_TRACE(::testing::Message() << number << " at " << ratio);
        const QImage image = LoadProgramImage(number, ratio);
        ASSERT_FALSE(image.isNull());
        EXPECT_FALSE(image.hasAlphaChannel());
        int key = 0, nearBlack = 0;
        for (int y = 0; y < image.height(); ++y)
          for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            const int sum = qRed(p) + qGreen(p) + qBlue(p);
            key += sum == 0;
            nearBlack += sum > 0 && sum < kMinChannelSum;
          }
        EXPECT_EQ(nearBlack, 0);
        EXPECT_GT(key, 0);
        EXPECT_LT(key, image.width() * image.height() * 9 / 10);
        if (number == button.hover) {
          EXPECT_LT(key, image.width() * image.height() / 20);
        }
      }
    }
  }
}

// Pixels either side of a seam, in device pixels of the painted image.
struct Seam {
  const char* where;
  QPoint from;  // logical, first pixel of the far side
  QPoint step;  // along the seam
  QPoint across;  // towards the near side
  int length;
};

// The view's background at several window sizes: wherever two pieces meet,
// or a stretched piece meets another, the colours on both sides agree.
TEST(Pictures, SkinJoinsWithoutSeams) {
  for (const qreal ratio : {1.0, 2.0}) {
    const WizardSkin skin(ratio);
    ASSERT_TRUE(skin.complete());
    for (const QSize client : {QSize(700, 520), QSize(800, 600), QSize(1280, 900), QSize(1916, 1020)}) {
      SCOPED_TRACE(::testing::Message() << client.width() << "x" << client.height() << " at " << ratio);
      const int w = client.width(), h = client.height();
      QImage painted(client * ratio, QImage::Format_RGB32);
      painted.setDevicePixelRatio(ratio);
      painted.fill(Qt::magenta);
      QPainter painter(&painted);
      skin.Paint(painter, client);
      painter.end();
      const Seam seams[] = {
          {"top-left | middle", {566, 0}, {0, 1}, {-1, 0}, 229},
          {"middle | top-right", {w - 133, 0}, {0, 1}, {-1, 0}, 229},
          {"top | left strip", {0, 225}, {1, 0}, {0, -1}, 40},
          {"top | right strip", {w - 40, 225}, {1, 0}, {0, -1}, 40},
          {"left strip | bottom", {0, h - 100}, {1, 0}, {0, -1}, 40},
          {"right strip | bottom", {w - 40, h - 100}, {1, 0}, {0, -1}, 40},
          {"bottom-left | bottom-right", {w - 428, h - 100}, {0, 1}, {-1, 0}, 100},
      };
      for (const Seam& seam : seams) {
        if (seam.from.x() <= 0 && seam.across.x() < 0) continue;  // nothing on the near side
        int worst = 0;
        for (int i = 0; i < seam.length; ++i) {
          for (int d = 0; d < ratio; ++d) {
            const QPoint far = (seam.from + seam.step * i) * ratio + seam.step * d;
            worst = std::max(worst, ChannelDistance(painted.pixel(far), painted.pixel(far + seam.across)));
          }
        }
        EXPECT_LE(worst, 8) << seam.where;
      }
    }
  }
}

// The home-page button's picture stands on the toolbar's own colours, and
// the preview window's corner picture on that window's amber.
TEST(Pictures, CornerPicturesBlendIntoTheirBackground) {
  const QImage logo = LoadProgramImage(kBmpHomePage);
  const QImage toolbar = LoadProgramImage(kBmpSkinTop);  // drawn one row down
  for (int y = 0; y < 62; ++y) EXPECT_LE(ChannelDistance(logo.pixel(132, y), toolbar.pixel(40, y + 1)), 3) << y;
  const QImage badge = LoadProgramImage(kBmpPreviewBadge);
  for (const QPoint p : {QPoint(0, 0), QPoint(151, 0), QPoint(0, 59), QPoint(151, 59), QPoint(75, 2)})
    EXPECT_EQ(badge.pixel(p), qRgb(255, 186, 16));
}

// The list backgrounds stand beside the program as plain bitmap files.
TEST(Pictures, ListBackgroundFiles) {
  for (const char* name : {"bkgList.bmp", "bkgListPreview.bmp"}) {
    const QString path = QStringLiteral(DRELIN_PROGRAM_DIR "/%1").arg(QLatin1String(name));
    QImageReader reader(path);
    EXPECT_EQ(reader.format(), "bmp") << name;
    const QImage image = reader.read();
    EXPECT_FALSE(image.isNull() || image.hasAlphaChannel()) << name;
  }
}

}  // namespace
}  // namespace drelin
