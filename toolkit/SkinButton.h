// CSkinButton: the flat bitmap push button of the main view. It shows
// image 2 normally and image 1 while the pointer is over it or it is
// pressed (both drawn through a mask made from a transparent colour),
// fills its background in one of six state colours, draws a thin raised
// edge while hovered and a sunken one while pressed, and has a tooltip that
// starts inactive and wraps at 400 pixels. Its tip is also its accessible
// name, and it takes the focus by Tab and by click.
//
// The owner's colour settings survive a system colour change: the colours
// go back to the new system colours and the owner's settings are applied
// again on top of them.
#pragma once

#include <QImage>
#include <QPushButton>

#include <array>
#include <vector>

#include "ButtonMenu.h"
#include "ButtonTip.h"
#include "ColorRef.h"

namespace drelin {

// Where the image and the text of a skinned button go in `client`.
struct SkinLayout {
  QRect image;
  QRect text;
};
SkinLayout LayoutSkinButton(const QRect& client, QSize image, int alignment, bool hasText);

class CSkinButton : public QPushButton {
  Q_OBJECT

 public:
  enum StateColor { kBackgroundIn, kTextIn, kBackgroundOut, kTextOut, kBackgroundFocus, kTextFocus };
  static constexpr int kStateColorCount = 6;
  enum Alignment { kImageLeft, kImageTop, kImageRight, kImageOverlap };
  // Return codes of the setters.
  static constexpr int kOk = 0;
  static constexpr int kInvalidResource = 1;
  static constexpr int kFailedMask = 2;
  static constexpr int kInvalidIndex = 3;
  static constexpr int kInvalidAlign = 4;
  static constexpr int kBadParam = 5;

  static constexpr int kMarginX = 3;
  static constexpr int kMarginY = 3;
  static constexpr int kPressedOffset = 1;
  static constexpr int kTipMaxWidth = 400;

  explicit CSkinButton(QWidget* parent = nullptr);

  // Image 1 (hovered or pressed) and image 2 (otherwise, optional: id 0 or
  // a null image), each keyed on its transparent colour. On failure every
  // image is released.
  int SetImages(int image1Id, ColorRef transparent1, int image2Id = 0, ColorRef transparent2 = ColorRef());
  int SetImages(const QImage& image1, ColorRef transparent1, const QImage& image2 = QImage(),
                ColorRef transparent2 = ColorRef());
  int SetStateColor(int index, ColorRef color, bool repaint = true);
  int ShadeStateColor(int index, int shade, bool repaint = true);
  int SetImageAlignment(int alignment, bool repaint = true);
  void SetTipText(const QString& text, bool activate);
  int ResetStateColors(bool repaint = true);

  ColorRef stateColor(int index) const;
  int imageAlignment() const { return alignment_; }
  bool hovered() const { return hover_; }
  bool hasImages() const { return !image1_.isNull(); }
  const ButtonTip& tip() const { return tip_; }
  const ButtonMenu& menu() const { return menu_; }

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // What the owner did to one colour, replayed after a system colour change.
  struct ColorStep {
    bool shade = false;
    ColorRef color;
    int amount = 0;
  };

  void CancelHover();
  void ReleaseImages();
  void ApplyOwnerColors();
  void SetColorValue(int index, ColorRef color) { colors_[static_cast<std::size_t>(index)] = color; }
  void PaintFrame(QPainter& painter, bool pressed) const;
  void PaintImage(QPainter& painter, const QImage& shown, const QRect& place, bool pressed) const;
  void PaintText(QPainter& painter, const QRect& area, bool pressed, bool focused) const;

  QImage image1_;
  QImage image2_;
  std::array<ColorRef, kStateColorCount> colors_{};
  std::array<std::vector<ColorStep>, kStateColorCount> ownerSteps_{};
  int alignment_ = kImageLeft;
  bool hover_ = false;
  bool keyboardFocus_ = false;
  bool trackWhenInactive_ = true;
  ButtonTip tip_{kTipMaxWidth};
  ButtonMenu menu_;
};

// The colour with all three channels moved by the same amount, limited so
// that none leaves 0 to 255 (the hue is kept).
ColorRef ShadeColor(ColorRef color, int shade);

}  // namespace drelin
