// ViewTimers: the view's timers by id. Each id has at most one QTimer;
// starting an id that runs already restarts it with the new period. Every
// tick reaches the function given at construction with the timer's id.
#pragma once

#include <QObject>
#include <QTimer>

#include <functional>
#include <map>

#include "ViewTimer.h"

namespace drelin {

class ViewTimers : public QObject, public batch::ViewTimer {
  Q_OBJECT

 public:
  explicit ViewTimers(std::function<void(int id)> onTick, QObject* parent = nullptr);

  int StartTimer(int id, int periodMs) override;
  void StopTimer(int id) override;

  bool IsRunning(int id) const;
  // The period of a running timer; 0 when it does not run.
  int PeriodOf(int id) const;
  // Delivers a tick of `id` now, as the timer would (tests step the stop
  // flow with it instead of waiting).
  void Fire(int id);

 private:
  std::function<void(int)> onTick_;
  std::map<int, QTimer*> timers_;
};

}  // namespace drelin
