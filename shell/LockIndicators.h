// CLockIndicators: the status bar's three indicator panes after the message
// pane, Caps Lock ("CAP"), Num Lock ("NUM") and Scroll Lock ("SCRL"), each
// showing its text while its lock is on and empty otherwise, always as wide
// as its text. The locks are read again whenever a lock key is pressed or
// released and whenever the program becomes active, so a lock changed in
// another program shows as soon as the user comes back.
#pragma once

#include <QObject>

#include <functional>

#include "KeyLocks.h"

class QLabel;
class QStatusBar;

namespace drelin {

class CLockIndicators : public QObject {
  Q_OBJECT

 public:
  using Reader = std::function<KeyLocks()>;

  // Adds the panes to `bar`; `reader` empty: the X server's indicators.
  CLockIndicators(QStatusBar& bar, Reader reader);
  ~CLockIndicators() override;

  // The pane of indicator id 59137, 59138 or 59139; null for another id.
  QLabel* pane(int id) const;
  // Reads the locks and shows them.
  void Update();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Reader reader_;
  QLabel* caps_ = nullptr;
  QLabel* num_ = nullptr;
  QLabel* scroll_ = nullptr;
};

}  // namespace drelin
