// What the shell's tests share: a failure handler for the seams, the main
// frame's prefix as a plain string, and a counter of paint events.
#pragma once

#include <QEvent>
#include <QObject>
#include <QString>

#include <gtest/gtest.h>

#include <string>

#include "BatchTexts.h"
#include "FilePrefix.h"

namespace drelin::testing {

// Fails the running test instead of ending the process.
inline void FailTest(const QString& message) { ADD_FAILURE() << message.toStdString(); }

class FakePrefix : public batch::FilePrefix {
 public:
  std::string Prefix() const override { return prefix; }
  void SetPrefix(const std::string& value) override {
    prefix = value;
    ++writes;
  }
  std::string prefix = batch::kDefaultPrefix;
  int writes = 0;
};

// Counts the paint events `watched` receives.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QObject* watched) { watched->installEventFilter(this); }
  int paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

}  // namespace drelin::testing
