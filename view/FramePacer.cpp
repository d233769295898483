#include "FramePacer.h"

#include <QCoreApplication>
#include <QEvent>

namespace drelin {

FramePacer::FramePacer(int frameMs, QObject* parent) : QObject(parent) {
  frames_.setInterval(frameMs);
  connect(&frames_, &QTimer::timeout, this, [this] { Deliver(); });
}

void FramePacer::Start(QWidget* widget) {
  Stop();
  window_ = widget->window();
  window_->installEventFilter(this);
  frames_.start();
}

void FramePacer::Stop() {
  frames_.stop();
  if (window_.isNull()) return;
  window_->removeEventFilter(this);
  Deliver();
  window_.clear();
}

void FramePacer::Deliver() {
  if (!pending_ || window_.isNull()) return;
  pending_ = false;
  delivering_ = true;
  QEvent request(QEvent::UpdateRequest);
  QCoreApplication::sendEvent(window_, &request);
  delivering_ = false;
}

bool FramePacer::eventFilter(QObject* watched, QEvent* event) {
  if (watched == window_ && event->type() == QEvent::UpdateRequest && !delivering_) {
    pending_ = true;
    ++held_;
    return true;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace drelin
