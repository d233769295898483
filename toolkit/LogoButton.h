// CLogoButton: the picture button that leads to the home page. It is
// exactly as large as its bitmap, shows the pointing-hand cursor, and
// notices the pointer by enter and leave events: entering sets hover and
// starts a 100 ms timer that clears hover on the first tick after the last
// known pointer position lies outside the button. It never grabs the
// pointer. The picture is the same in every state.
#pragma once

#include <QAbstractButton>
#include <QImage>
#include <QPointF>
#include <QTimer>

#include "ButtonTip.h"

namespace drelin {

class CLogoButton : public QAbstractButton {
  Q_OBJECT

 public:
  static constexpr int kHoverTimerMs = 100;
  static constexpr int kMaxHoverTextBytes = 260;

  explicit CLogoButton(QWidget* parent = nullptr);

  // Loads the bitmap (its three-dimensional greys mapped to the system
  // colours) and resizes the button to it without moving; false when the
  // bitmap cannot be loaded.
  bool SetHoverBitmap(int bitmapId);
  bool SetHoverBitmap(const QImage& bitmap);
  void SetHoverTip(const QString& text, bool activate);
  void SetHoverText(const QString& text);

  bool hovered() const { return hover_; }
  const QString& hoverText() const { return hoverText_; }
  const ButtonTip& tip() const { return tip_; }
  // The hover timer, so that tests can drive its ticks.
  QTimer& hoverTimer() { return timer_; }

  QSize sizeHint() const override;

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  void Track(const QPointF& position, Qt::MouseButtons buttons);
  void OnTimer();

  QImage bitmap_;
  QString hoverText_;
  ButtonTip tip_{0};
  QTimer timer_;
  QPointF lastPosition_;
  bool pointerInside_ = false;
  bool hover_ = false;
};

// `bitmap` with the three-dimensional greys of the original platform
// (128, 192 and 223 grey) replaced by the shadow, face and light colours.
QImage MapSystemGreys(const QImage& bitmap);

}  // namespace drelin
