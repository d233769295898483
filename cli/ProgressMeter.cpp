#include "ProgressMeter.h"

#include <unistd.h>

#include <cstdio>

namespace drelin::cli {

ProgressMeter::ProgressMeter(std::string label, uint64_t workBytes)
    : label_(std::move(label)), shown_(workBytes > kThreshold && ::isatty(STDERR_FILENO)) {}

ProgressMeter::~ProgressMeter() {
  if (shown_ && lastPercent_ >= 0) std::fprintf(stderr, "\r\033[K");
}

void ProgressMeter::Update(uint64_t done, uint64_t total) {
  if (!shown_ || total == 0) return;
  const int percent = static_cast<int>(done * 100 / total);
  if (percent == lastPercent_) return;
  lastPercent_ = percent;
  std::fprintf(stderr, "\r%s %3d%%", label_.c_str(), percent);
  std::fflush(stderr);
}

}  // namespace drelin::cli
