#include "ViewTimers.h"

namespace drelin {

ViewTimers::ViewTimers(std::function<void(int id)> onTick, QObject* parent)
    : QObject(parent), onTick_(std::move(onTick)) {}

int ViewTimers::StartTimer(int id, int periodMs) {
  QTimer*& timer = timers_[id];
  if (timer == nullptr) {
    timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this, id] { Fire(id); });
  }
  timer->start(periodMs);
  return id;
}

void ViewTimers::StopTimer(int id) {
  const auto found = timers_.find(id);
  if (found != timers_.end()) found->second->stop();
}

bool ViewTimers::IsRunning(int id) const {
  const auto found = timers_.find(id);
  return found != timers_.end() && found->second->isActive();
}

int ViewTimers::PeriodOf(int id) const { return IsRunning(id) ? timers_.at(id)->interval() : 0; }

void ViewTimers::Fire(int id) {
  if (onTick_) onTick_(id);
}

}  // namespace drelin
