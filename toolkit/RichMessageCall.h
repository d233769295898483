// RichMessageCall: the batch's message call answered by the rich message
// box, for the desktop program. Each message shows in the program's record
// (the light yellow message area), owned by the given window. The batch
// and the box use the standard message box's style and result numbers;
// this is where the two sets of names meet, and they are pinned together.
#pragma once

#include <QPointer>
#include <QWidget>

#include <string>

#include "MessageCall.h"

namespace drelin {

class RichMessageCall : public batch::MessageCall {
 public:
  // Boxes are owned by `owner` while it exists; null: by the active window.
  explicit RichMessageCall(QWidget* owner = nullptr) : owner_(owner) {}

  // `text` (plain: shown as written) and `caption` are UTF-8.
  int RichMessageBox(const std::string& text, const std::string& caption, unsigned style) override;

 private:
  QPointer<QWidget> owner_;
};

}  // namespace drelin
