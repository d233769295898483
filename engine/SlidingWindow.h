// SlidingWindow: the bytes of a source around a point that moves forward,
// for walks that look ahead and a little behind but must never hold the
// whole file. Bytes before the point the walker releases may be dropped,
// unless a reader of the walk's results holds them; the buffer grows only
// when one request spans more than it holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "ByteSource.h"

namespace drelin {

// A window size for walks over records of `recordLength` bytes: room for a
// chain of records behind and ahead of the point, and large reads.
inline size_t WindowBytesFor(uint64_t recordLength) {
  constexpr uint64_t kMinimum = uint64_t{4} << 20;
  return static_cast<size_t>(recordLength * 40 > kMinimum ? recordLength * 40 : kMinimum);
}

// Holds bytes of a window behind the walk (see SlidingWindow::Hold).
class WindowHolder {
 public:
  virtual ~WindowHolder() = default;
  // The window is about to drop held bytes to stay within its capacity: pass
  // them on now (they are still there) and hold from further on, or not at
  // all.
  virtual void Spill() = 0;
};

class SlidingWindow {
 public:
  // A window over [begin, end) of the source (its buffer never larger).
  SlidingWindow(const ByteSource& source, uint64_t begin, uint64_t end, size_t capacity);

  uint64_t end() const { return end_; }
  // Bytes before this offset may be gone.
  uint64_t released() const { return released_; }

  // The bytes [offset, offset + count), or null when they run past the end.
  // `offset` must not lie before the released point.
  const uint8_t* Get(uint64_t offset, size_t count) {
    if (offset >= base_ && offset + count <= base_ + filled_) return buffer_.data() + (offset - base_);
    return Load(offset, count);
  }
  // Bytes before `offset` are no longer needed by the walker.
  void Release(uint64_t offset) {
    if (offset > released_) released_ = offset;
  }
  // The byte at `offset`, wherever it lies: read from the source when the
  // window has moved past it.
  uint8_t ByteAt(uint64_t offset) const {
    return offset >= base_ && offset < base_ + filled_ ? buffer_[offset - base_] : source_.At(offset);
  }
  // Bytes from `offset` on stay, even behind the released point, until held
  // from further on or the window needs their room (it asks `holder` to
  // spill them first): a writer passing on bytes the walk has judged writes
  // them from here instead of reading them a second time.
  void Hold(uint64_t offset, WindowHolder& holder) {
    held_ = offset;
    holder_ = &holder;
  }
  void Unhold() {
    held_ = UINT64_MAX;
    holder_ = nullptr;
  }
  size_t capacity() const { return buffer_.size(); }

 private:
  const uint8_t* Load(uint64_t offset, size_t count);

  const ByteSource& source_;
  uint64_t end_;
  std::vector<uint8_t> buffer_;
  uint64_t base_ = 0;    // source offset of buffer_[0]
  uint64_t filled_ = 0;  // valid bytes in buffer_
  uint64_t released_ = 0;
  uint64_t held_ = UINT64_MAX;
  WindowHolder* holder_ = nullptr;
};

}  // namespace drelin
