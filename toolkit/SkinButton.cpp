#include "SkinButton.h"

#include <QApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

#include "MarkupColors.h"
#include "MarkupImages.h"
#include "SkinImage.h"

namespace drelin {
namespace {

constexpr int kColorButtonText = 18;

bool ValidIndex(int index) { return index >= 0 && index < CSkinButton::kStateColorCount; }

int CenteredIn(int outer, int inner) { return (outer - inner) / 2; }

}  // namespace

ColorRef ShadeColor(ColorRef color, int shade) {
  const int channels[] = {color.red(), color.green(), color.blue()};
  int amount = shade;
  for (int channel : channels) amount = shade > 0 ? std::min(amount, 255 - channel) : std::max(amount, -channel);
  return ColorRef::FromRgb(color.red() + amount, color.green() + amount, color.blue() + amount);
}

SkinLayout LayoutSkinButton(const QRect& client, QSize image, int alignment, bool hasText) {
  const int mx = CSkinButton::kMarginX;
  const int my = CSkinButton::kMarginY;
  const int left = client.left() + CenteredIn(client.width(), image.width());
  const int top = client.top() + CenteredIn(client.height(), image.height());
  SkinLayout layout{QRect(QPoint(left, top), image), client};
  switch (alignment) {
    case CSkinButton::kImageLeft:
      if (!hasText) break;
      layout.image.moveLeft(client.left() + mx);
      layout.text.setLeft(layout.image.right() + 1 + mx);
      break;
    case CSkinButton::kImageTop:
      if (!hasText) break;
      layout.image.moveTop(client.top() + my);
      layout.text.setTop(layout.image.bottom() + 1 + my);
      break;
    case CSkinButton::kImageRight:
      if (!hasText) {
        layout.image.moveTop(client.top());
        break;
      }
      layout.image.moveRight(client.right() - mx);
      layout.text.setRight(layout.image.left() - 1 - mx);
      break;
    default:  // overlapping: the image in the corner, the text over it
      layout.image.moveTopLeft(client.topLeft());
      break;
  }
  return layout;
}

CSkinButton::CSkinButton(QWidget* parent) : QPushButton(parent) {
  setFlat(true);
  setAutoDefault(false);
  setDefault(false);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  ResetStateColors(false);
  connect(this, &QAbstractButton::clicked, this, [this] { setFocus(Qt::MouseFocusReason); });
}

int CSkinButton::SetImages(int image1Id, ColorRef transparent1, int image2Id, ColorRef transparent2) {
  const QImage image1 = LoadProgramImage(image1Id);
  const QImage image2 = image2Id != 0 ? LoadProgramImage(image2Id) : QImage();
  if (image1.isNull() || (image2Id != 0 && image2.isNull())) {
    ReleaseImages();
    return kInvalidResource;
  }
  return SetImages(image1, transparent1, image2, transparent2);
}

int CSkinButton::SetImages(const QImage& image1, ColorRef transparent1, const QImage& image2, ColorRef transparent2) {
  ReleaseImages();
  if (image1.isNull()) return kInvalidResource;
  QImage masked1 = MaskedImage(image1, transparent1);
  QImage masked2 = image2.isNull() ? QImage() : MaskedImage(image2, transparent2);
  if (masked1.isNull() || (!image2.isNull() && masked2.isNull())) return kFailedMask;
  image1_ = std::move(masked1);
  image2_ = std::move(masked2);
  update();
  return kOk;
}

void CSkinButton::ReleaseImages() {
  image1_ = QImage();
  image2_ = QImage();
  update();
}

int CSkinButton::SetStateColor(int index, ColorRef color, bool repaint) {
  if (!ValidIndex(index)) return kInvalidIndex;
  auto& steps = ownerSteps_[static_cast<std::size_t>(index)];
  steps.clear();
  steps.push_back({false, color, 0});
  SetColorValue(index, color);
  if (repaint) update();
  return kOk;
}

int CSkinButton::ShadeStateColor(int index, int shade, bool repaint) {
  if (!ValidIndex(index)) return kInvalidIndex;
  if (shade < -255 || shade > 255) return kBadParam;
  ownerSteps_[static_cast<std::size_t>(index)].push_back({true, ColorRef(), shade});
  SetColorValue(index, ShadeColor(stateColor(index), shade));
  if (repaint) update();
  return kOk;
}

int CSkinButton::SetImageAlignment(int alignment, bool repaint) {
  if (alignment < kImageLeft || alignment > kImageOverlap) return kInvalidAlign;
  alignment_ = alignment;
  if (repaint) update();
  return kOk;
}

void CSkinButton::SetTipText(const QString& text, bool activate) {
  if (tip_.SetText(text, activate)) setAccessibleName(text);
}

int CSkinButton::ResetStateColors(bool repaint) {
  for (auto& steps : ownerSteps_) steps.clear();
  ApplyOwnerColors();
  if (repaint) update();
  return kOk;
}

// The system colours, then whatever the owner set or shaded, in its order.
void CSkinButton::ApplyOwnerColors() {
  const ColorRef face = SystemColor(kColorButtonFace);
  const ColorRef text = SystemColor(kColorButtonText);
  for (int index = 0; index < kStateColorCount; ++index) {
    ColorRef color = index % 2 == 0 ? face : text;
    for (const ColorStep& step : ownerSteps_[static_cast<std::size_t>(index)])
      color = step.shade ? ShadeColor(color, step.amount) : step.color;
    SetColorValue(index, color);
  }
}

ColorRef CSkinButton::stateColor(int index) const {
  return ValidIndex(index) ? colors_[static_cast<std::size_t>(index)] : ColorRef();
}

void CSkinButton::CancelHover() {
  if (!hover_) return;
  hover_ = false;
  update();
}

bool CSkinButton::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    tip_.Show(this, static_cast<QHelpEvent*>(event));
    return true;
  }
  // The owning window was deactivated (children hear of it this way).
  if (event->type() == QEvent::WindowDeactivate) CancelHover();
  return QPushButton::event(event);
}

void CSkinButton::mouseMoveEvent(QMouseEvent* event) {
  QPushButton::mouseMoveEvent(event);
  if ((event->buttons() & Qt::LeftButton) && !hover_) return;
  const bool over = rect().contains(event->position().toPoint());
  if (over && (trackWhenInactive_ || QApplication::activeWindow() != nullptr)) {
    if (!hover_) {
      hover_ = true;
      update();
    }
  } else {
    CancelHover();
  }
}

// A double-click is a second press, so two quick clicks are two clicks.
void CSkinButton::mouseDoubleClickEvent(QMouseEvent* event) { mousePressEvent(event); }

void CSkinButton::leaveEvent(QEvent* event) {
  CancelHover();
  QPushButton::leaveEvent(event);
}

void CSkinButton::focusInEvent(QFocusEvent* event) {
  keyboardFocus_ = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason ||
                   event->reason() == Qt::ShortcutFocusReason;
  QPushButton::focusInEvent(event);
}

void CSkinButton::focusOutEvent(QFocusEvent* event) {
  keyboardFocus_ = false;
  CancelHover();
  QPushButton::focusOutEvent(event);
}

void CSkinButton::hideEvent(QHideEvent* event) {
  CancelHover();
  QPushButton::hideEvent(event);
}

void CSkinButton::changeEvent(QEvent* event) {
  switch (event->type()) {
    case QEvent::EnabledChange:
      if (!isEnabled()) CancelHover();
      break;
    case QEvent::PaletteChange:  // the system colours changed
      ApplyOwnerColors();
      update();
      break;
    default:
      break;
  }
  QPushButton::changeEvent(event);
}

void CSkinButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const bool pressed = isDown();
  const bool focused = hasFocus();
  const int background = hover_ || pressed ? kBackgroundIn : focused ? kBackgroundFocus : kBackgroundOut;
  painter.fillRect(rect(), stateColor(background).toQColor());
  PaintFrame(painter, pressed);
  const QImage& shown = (hover_ || pressed || image2_.isNull()) ? image1_ : image2_;
  const SkinLayout layout =
      LayoutSkinButton(rect(), shown.deviceIndependentSize().toSize(), alignment_, !text().isEmpty());
  if (!shown.isNull()) PaintImage(painter, shown, layout.image, pressed);
  if (!text().isEmpty()) PaintText(painter, layout.text, pressed, focused);
  // A focus cue once the keyboard moved the focus here.
  if (focused && keyboardFocus_) {
    painter.setPen(QPen(stateColor(kTextFocus).toQColor(), 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(2, 2, -3, -3));
  }
}

void CSkinButton::PaintFrame(QPainter& painter, bool pressed) const {
  if (!pressed && !hover_) return;
  const QColor light = SystemColor(kColorButtonHighlight).toQColor();
  const QColor dark = SystemColor(kColorButtonShadow).toQColor();
  const QColor& topLeft = pressed ? dark : light;
  const QColor& bottomRight = pressed ? light : dark;
  const QRect r = rect();
  painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), topLeft);
  painter.fillRect(QRect(r.left(), r.top(), 1, r.height()), topLeft);
  painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
  painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
}

void CSkinButton::PaintImage(QPainter& painter, const QImage& shown, const QRect& place, bool pressed) const {
  const QRect target = pressed ? place.translated(kPressedOffset, kPressedOffset) : place;
  if (!isEnabled()) {
    DrawEmbossed(painter, target, shown, SystemColor(kColorButtonHighlight), SystemColor(kColorButtonShadow));
    return;
  }
  DrawScaled(painter, target, shown);
}

void CSkinButton::PaintText(QPainter& painter, const QRect& area, bool pressed, bool focused) const {
  const QRect box = pressed ? area.translated(kPressedOffset, kPressedOffset) : area;
  const int flags = Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;
  painter.setFont(font());
  if (!isEnabled()) {
    painter.setPen(SystemColor(kColorButtonHighlight).toQColor());
    painter.drawText(box.translated(1, 1), flags, text());
    painter.setPen(SystemColor(kColorButtonShadow).toQColor());
    painter.drawText(box, flags, text());
    return;
  }
  const int role = hover_ || pressed ? kTextIn : focused ? kTextFocus : kTextOut;
  painter.setPen(stateColor(role).toQColor());
  painter.drawText(box, flags, text());
}

}  // namespace drelin
