// FramePacer: paints a window at most once per frame while it is switched
// on. A repair run changes the log box and the status list several times per
// table; painting after each change would cost more than the repairs. While
// pacing, the window's requests to paint are held back and the last one is
// let through at the next frame, so every change still shows within a frame.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace drelin {

class FramePacer : public QObject {
  Q_OBJECT

 public:
  explicit FramePacer(int frameMs, QObject* parent = nullptr);

  // Paces the window of `widget` from now on.
  void Start(QWidget* widget);
  // Lets a held request through and stops pacing.
  void Stop();
  bool active() const { return !window_.isNull(); }
  // Paint requests held back and let through so far (tests).
  int held() const { return held_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Deliver();

  QTimer frames_;
  QPointer<QWidget> window_;
  bool pending_ = false;
  bool delivering_ = false;
  int held_ = 0;
};

}  // namespace drelin
