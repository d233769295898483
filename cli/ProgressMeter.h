// ProgressMeter: a one-line percentage on stderr for long work, shown only
// when stderr is a terminal and the work is large, and erased when done.
#pragma once

#include <cstdint>
#include <string>

namespace drelin::cli {

class ProgressMeter {
 public:
  // Work over this many bytes earns a meter.
  static constexpr uint64_t kThreshold = uint64_t{64} << 20;

  ProgressMeter(std::string label, uint64_t workBytes);
  ~ProgressMeter();
  ProgressMeter(const ProgressMeter&) = delete;
  ProgressMeter& operator=(const ProgressMeter&) = delete;

  void Update(uint64_t done, uint64_t total);

 private:
  std::string label_;
  bool shown_ = false;
  int lastPercent_ = -1;
};

}  // namespace drelin::cli
