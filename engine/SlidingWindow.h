// SlidingWindow: the bytes of a source around a point that moves forward,
// for walks that look ahead and a little behind but must never hold the
// whole file. Bytes before the point the walker releases may be dropped; the
// buffer grows only when one request spans more than it holds.
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

class SlidingWindow {
 public:
  SlidingWindow(const ByteSource& source, uint64_t end, size_t capacity);

  uint64_t end() const { return end_; }
  // Bytes before this offset may be gone.
  uint64_t released() const { return released_; }

  // The bytes [offset, offset + count), or null when they run past the end.
  // `offset` must not lie before the released point.
  const uint8_t* Get(uint64_t offset, size_t count) {
    if (offset >= base_ && offset + count <= base_ + filled_) return buffer_.data() + (offset - base_);
    return Load(offset, count);
  }
  // Bytes before `offset` are no longer needed.
  void Release(uint64_t offset) {
    if (offset > released_) released_ = offset;
  }

 private:
  const uint8_t* Load(uint64_t offset, size_t count);

  const ByteSource& source_;
  uint64_t end_;
  std::vector<uint8_t> buffer_;
  uint64_t base_ = 0;    // source offset of buffer_[0]
  uint64_t filled_ = 0;  // valid bytes in buffer_
  uint64_t released_ = 0;
};

}  // namespace drelin
