// KeyLocks: whether Caps Lock, Num Lock and Scroll Lock are on, as the X
// server's keyboard indicators say. Where the windows are not on an X
// server (Qt's offscreen platform, native Wayland) every lock reads as off.
#pragma once

namespace drelin {

struct KeyLocks {
  bool caps = false;
  bool num = false;
  bool scroll = false;

  bool operator==(const KeyLocks& other) const {
    return caps == other.caps && num == other.num && scroll == other.scroll;
  }
};

// Reads the indicators of the core keyboard through the application's own
// X connection. User-interface thread only.
KeyLocks ReadKeyLocks();

}  // namespace drelin
