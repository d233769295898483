#include "SlidingWindow.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace drelin {

namespace {
constexpr uint64_t kReadPiece = uint64_t{1} << 20;
}  // namespace

SlidingWindow::SlidingWindow(const ByteSource& source, uint64_t begin, uint64_t end, size_t capacity)
    : source_(source),
      end_(std::min(end, source.length())),
      buffer_(static_cast<size_t>(std::clamp<uint64_t>(end_ - std::min(begin, end_), 1, std::max<uint64_t>(capacity, 1)))) {}

const uint8_t* SlidingWindow::Load(uint64_t offset, size_t count) {
  if (offset + count > end_) return nullptr;
  // Held bytes behind the walk give way before the buffer would grow for them.
  if (holder_ && held_ < released_ && offset + count > held_ + buffer_.size()) holder_->Spill();
  const uint64_t wanted = std::min(released_, held_);
  if (offset < wanted) throw std::logic_error("sliding window: read before the released point");
  // Keep what is still wanted, from the released or held point (or the
  // request, if the buffer does not reach that far back) on.
  const uint64_t keepFrom = std::clamp(wanted, base_, base_ + filled_);
  const uint64_t start = offset < keepFrom || offset >= base_ + filled_ ? offset : keepFrom;
  const uint64_t span = offset + count - start;
  if (span > buffer_.size()) buffer_.resize(static_cast<size_t>(span));
  if (start >= base_ && start < base_ + filled_) {
    const uint64_t kept = base_ + filled_ - start;
    std::memmove(buffer_.data(), buffer_.data() + (start - base_), static_cast<size_t>(kept));
    filled_ = kept;
  } else {
    filled_ = 0;
  }
  base_ = start;
  // Reads come in pieces small enough to be still in the cache when walked.
  const uint64_t want = std::min<uint64_t>({buffer_.size(), end_ - base_, offset + count - base_ + kReadPiece}) - filled_;
  const size_t got = source_.Read(base_ + filled_, buffer_.data() + filled_, static_cast<size_t>(want));
  filled_ += got;
  if (offset + count > base_ + filled_) throw std::logic_error("sliding window: short read");
  return buffer_.data() + (offset - base_);
}

}  // namespace drelin
