#include "LogoButton.h"

#include <QEnterEvent>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>

#include "MarkupColors.h"
#include "MarkupImages.h"

namespace drelin {
namespace {

constexpr int kColorLight = 22;

}  // namespace

QImage MapSystemGreys(const QImage& bitmap) {
  if (bitmap.isNull()) return {};
  const struct {
    QRgb grey;
    ColorRef system;
  } map[] = {
      {qRgb(128, 128, 128), SystemColor(kColorButtonShadow)},
      {qRgb(192, 192, 192), SystemColor(kColorButtonFace)},
      {qRgb(223, 223, 223), SystemColor(kColorLight)},
  };
  QImage mapped = bitmap.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < mapped.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(mapped.scanLine(y));
    for (int x = 0; x < mapped.width(); ++x) {
      for (const auto& entry : map) {
        if (line[x] == (entry.grey | 0xFF000000u)) {
          line[x] = entry.system.toQRgb();
          break;
        }
      }
    }
  }
  return mapped;
}

CLogoButton::CLogoButton(QWidget* parent) : QAbstractButton(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  timer_.setInterval(kHoverTimerMs);
  connect(&timer_, &QTimer::timeout, this, &CLogoButton::OnTimer);
}

bool CLogoButton::SetHoverBitmap(int bitmapId) { return SetHoverBitmap(LoadProgramImage(bitmapId)); }

bool CLogoButton::SetHoverBitmap(const QImage& bitmap) {
  bitmap_ = MapSystemGreys(bitmap);
  if (bitmap_.isNull()) return false;
  resize(bitmap_.deviceIndependentSize().toSize());
  update();
  return true;
}

void CLogoButton::SetHoverTip(const QString& text, bool activate) {
  if (tip_.SetText(text, activate)) setAccessibleName(text);
}

void CLogoButton::SetHoverText(const QString& text) {
  if (!testAttribute(Qt::WA_SetCursor)) setCursor(Qt::PointingHandCursor);
  // Whole characters only, up to the byte limit of the encoded text.
  qsizetype kept = 0;
  int bytes = 0;
  while (kept < text.size()) {
    const char16_t unit = text[kept].unicode();
    const bool pair = QChar::isHighSurrogate(unit) && kept + 1 < text.size();
    const int length = unit < 0x80 ? 1 : unit < 0x800 ? 2 : pair ? 4 : 3;
    if (bytes + length > kMaxHoverTextBytes) break;
    bytes += length;
    kept += pair ? 2 : 1;
  }
  hoverText_ = text.left(kept);
}

QSize CLogoButton::sizeHint() const { return bitmap_.deviceIndependentSize().toSize(); }

bool CLogoButton::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    tip_.Show(this, static_cast<QHelpEvent*>(event));
    return true;
  }
  return QAbstractButton::event(event);
}

// The same picture in every state, pressed included, at its own size.
void CLogoButton::paintEvent(QPaintEvent*) {
  if (bitmap_.isNull()) return;
  QPainter painter(this);
  painter.drawImage(QPoint(0, 0), bitmap_);
}

void CLogoButton::enterEvent(QEnterEvent* event) {
  QAbstractButton::enterEvent(event);
  Track(event->position(), event->buttons());
}

void CLogoButton::mouseMoveEvent(QMouseEvent* event) {
  QAbstractButton::mouseMoveEvent(event);
  Track(event->position(), event->buttons());
}

void CLogoButton::leaveEvent(QEvent* event) {
  QAbstractButton::leaveEvent(event);
  pointerInside_ = false;
}

void CLogoButton::Track(const QPointF& position, Qt::MouseButtons buttons) {
  lastPosition_ = position;
  pointerInside_ = rect().contains(position.toPoint());
  if ((buttons & Qt::LeftButton) && !hover_) return;
  if (hover_ || !pointerInside_) return;
  hover_ = true;
  timer_.start();
  update();
}

void CLogoButton::OnTimer() {
  if (pointerInside_ && rect().contains(lastPosition_.toPoint())) return;
  hover_ = false;
  timer_.stop();
  update();
}

}  // namespace drelin
