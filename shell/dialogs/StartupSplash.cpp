#include "StartupSplash.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QTimerEvent>

#include "MarkupImages.h"

namespace drelin {
namespace {

bool g_bSplashEnabled = false;
QPointer<CStartupSplash> g_pSplash;

bool IsPress(QEvent::Type type) {
  return type == QEvent::KeyPress || type == QEvent::MouseButtonPress ||
         type == QEvent::NonClientAreaMouseButtonPress;
}

}  // namespace

void CStartupSplash::EnableSplash(bool enable) { g_bSplashEnabled = enable; }

CStartupSplash* CStartupSplash::Current() { return g_pSplash.data(); }

bool CStartupSplash::ShowSplash(int periodMs, int bitmapId, QWidget* parentView) {
  if (!g_bSplashEnabled || g_pSplash) return false;
  const qreal ratio = parentView ? parentView->devicePixelRatioF() : qApp->devicePixelRatio();
  const QImage bitmap = LoadProgramImage(bitmapId, ratio);
  if (bitmap.isNull()) return false;
  // Owned by the view, if any.
  auto* splash = new CStartupSplash(bitmapId, bitmap.deviceIndependentSize().toSize(), parentView);
  splash->Start(periodMs);
  return true;
}

bool CStartupSplash::SplashPreTranslate(QEvent* event) {
  if (!g_pSplash || !event) return false;
  // A key first comes as a shortcut query: keep it from starting a
  // shortcut, so that the press itself reaches us and is consumed.
  if (event->type() == QEvent::ShortcutOverride) {
    event->accept();
    return true;
  }
  if (!IsPress(event->type())) return false;
  g_pSplash->HideSplashWindow();
  return true;
}

CStartupSplash::CStartupSplash(int bitmapId, const QSize& size, QWidget* parentView)
    : QWidget(parentView, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus),
      bitmap_(bitmapId) {
  // The keyboard stays with the main window, before and after.
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFixedSize(size);
  g_pSplash = this;
}

CStartupSplash::~CStartupSplash() {
  qApp->removeEventFilter(this);
  if (g_pSplash == this) g_pSplash = nullptr;
}

void CStartupSplash::Start(int periodMs) {
  QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
  const QRect area = owner && owner->isVisible() ? owner->geometry()
                     : owner && owner->screen()  ? owner->screen()->availableGeometry()
                                                 : QGuiApplication::primaryScreen()->availableGeometry();
  move(area.center() - rect().center());
  show();
  repaint();
  period_ = periodMs;
  timerId_ = startTimer(periodMs);
  qApp->installEventFilter(this);
}

void CStartupSplash::HideSplashWindow() {
  qApp->removeEventFilter(this);
  if (timerId_) killTimer(timerId_);
  timerId_ = 0;
  g_pSplash = nullptr;
  QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
  // Where the platform made the splash the active window after all, the
  // activation goes back to its owner.
  const bool wasActive = isActiveWindow();
  hide();
  deleteLater();
  if (!owner || !owner->isVisible()) return;
  if (wasActive) owner->activateWindow();
  owner->repaint();
}

bool CStartupSplash::eventFilter(QObject* watched, QEvent* event) {
  return SplashPreTranslate(event) || QWidget::eventFilter(watched, event);
}

void CStartupSplash::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, bitmap_.For(painter));
}

void CStartupSplash::timerEvent(QTimerEvent* event) {
  if (event->timerId() == timerId_) HideSplashWindow();
  else QWidget::timerEvent(event);
}

}  // namespace drelin
