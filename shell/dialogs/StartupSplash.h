// CStartupSplash: the picture shown while the main view is being created.
// The view asks for it once (4000 ms, picture 215); it stands centred on
// its owner's window (on the screen while that is not yet visible) and
// goes at the end of its period or at the first key or mouse-button press
// anywhere in the program, which it consumes. When it goes, the owner's
// window is repainted at once.
//
// The splash is off until the application's start-up turns it on from its
// command line (EnableSplash); tests leave it off.
#pragma once

#include <QWidget>

#include "ProgramPicture.h"

class QEvent;

namespace drelin {

class CStartupSplash : public QWidget {
  Q_OBJECT

 public:
  static void EnableSplash(bool enable);
  // Shows the splash for `periodMs`; false when it is off, one is shown
  // already, or there is no picture `bitmapId`.
  static bool ShowSplash(int periodMs, int bitmapId, QWidget* parentView);
  // While a splash is shown, a key or mouse-button press hides it and is
  // consumed (true); any other event goes on (false).
  static bool SplashPreTranslate(QEvent* event);
  // The splash shown, or null.
  static CStartupSplash* Current();

  ~CStartupSplash() override;

  // Timer 1: its id for timer events, and its period.
  int timerId() const { return timerId_; }
  int period() const { return period_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void timerEvent(QTimerEvent* event) override;

 private:
  CStartupSplash(int bitmapId, const QSize& size, QWidget* parentView);
  void Start(int periodMs);
  void HideSplashWindow();

  ProgramPicture bitmap_;
  int timerId_ = 0;
  int period_ = 0;
};

}  // namespace drelin
