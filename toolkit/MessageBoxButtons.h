// MessageBoxButtons: which buttons a message box has, in which order, what
// they are captioned, and whether the box may be cancelled.
#pragma once

#include <QString>

#include <cstdint>
#include <vector>

#include "MessageBoxParams.h"

namespace drelin {

struct MessageBoxButton {
  int id = 0;
  QString caption;
};

struct MessageBoxButtonRow {
  std::vector<MessageBoxButton> buttons;
  bool cancelAllowed = false;
  int defaultIndex = 0;  // into `buttons`
};

// The caption of a button id or of the keys kKeyCheckbox and
// kKeyCountdownTitle: the caller's map, then the string resource, then the
// built-in text.
QString MessageBoxCaption(const MessageBoxParams& params, std::uint32_t key);

// The row for `params`: own buttons (ids 23 to 26) or the style's set, then
// Help, Report (when `hasParent`) and More.
MessageBoxButtonRow BuildButtonRow(const MessageBoxParams& params, bool hasParent);

}  // namespace drelin
