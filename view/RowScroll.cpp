#include "RowScroll.h"

#include <algorithm>

namespace drelin {

namespace {

// a * b / c rounded to nearest, without overflow for any 64-bit a and b.
uint64_t MulDivRounded(uint64_t a, uint64_t b, uint64_t c) {
  const unsigned __int128 product = static_cast<unsigned __int128>(a) * b;
  return static_cast<uint64_t>((product + c / 2) / c);
}

}  // namespace

RowScroll::RowScroll(uint64_t maxTop, int maxSteps) : maxTop_(maxTop), maxSteps_(std::max(maxSteps, 1)) {}

int RowScroll::maximum() const {
  return scaled() ? maxSteps_ : static_cast<int>(maxTop_);
}

int RowScroll::ValueFor(uint64_t top) const {
  top = std::min(top, maxTop_);
  if (!scaled()) return static_cast<int>(top);
  return static_cast<int>(MulDivRounded(top, static_cast<uint64_t>(maxSteps_), maxTop_));
}

uint64_t RowScroll::TopFor(int value) const {
  const uint64_t step = static_cast<uint64_t>(std::clamp(value, 0, maximum()));
  if (!scaled()) return step;
  return MulDivRounded(step, maxTop_, static_cast<uint64_t>(maxSteps_));
}

int RowScroll::PageStepFor(uint64_t rows) const {
  if (!scaled()) return static_cast<int>(std::clamp<uint64_t>(rows, 1, static_cast<uint64_t>(maxSteps_)));
  return static_cast<int>(std::max<uint64_t>(MulDivRounded(rows, static_cast<uint64_t>(maxSteps_), maxTop_), 1));
}

}  // namespace drelin
