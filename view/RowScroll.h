// RowScroll: the preview grid's vertical scroll bar, counted in rows. The
// grid keeps its exact top row; the bar shows it. A table may hold more rows
// than the bar's int range; then each step of the bar stands for several
// rows, and the grid still moves row by row for the arrow keys and the bar's
// arrows.
#pragma once

#include <cstdint>
#include <limits>

namespace drelin {

class RowScroll {
 public:
  static constexpr int kMaxSteps = std::numeric_limits<int>::max();

  // `maxTop`: the last row that can stand at the top. `maxSteps` is the
  // bar's largest maximum (smaller only in tests).
  explicit RowScroll(uint64_t maxTop = 0, int maxSteps = kMaxSteps);

  uint64_t maxTop() const { return maxTop_; }
  bool scaled() const { return maxTop_ > static_cast<uint64_t>(maxSteps_); }
  // The bar's maximum (its minimum is 0).
  int maximum() const;
  // The bar's value for a top row, and the top row for a value: the ends
  // meet the ends, and a value read back from its row is the same value.
  int ValueFor(uint64_t top) const;
  uint64_t TopFor(int value) const;
  // The bar's page step for `rows` rows on a page: at least one step.
  int PageStepFor(uint64_t rows) const;

 private:
  uint64_t maxTop_;
  int maxSteps_;
};

}  // namespace drelin
