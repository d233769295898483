// ButtonMenu: the owner-drawn menu object every skinned button carries. The
// program never puts items into it, so it never shows; it exists so that a
// button owns one for its whole life and releases it with itself.
#pragma once

namespace drelin {

class ButtonMenu {
 public:
  int itemCount() const { return 0; }
};

}  // namespace drelin
