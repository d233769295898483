#include "NewFileMode.h"

#include <sys/stat.h>

#include <fstream>
#include <mutex>
#include <string>

namespace drelin::platform {

namespace {

// The kernel reports the umask without changing it (Linux 4.7 and later).
bool ReadUmask(mode_t& mask) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.compare(0, 6, "Umask:") != 0) continue;
    try {
      mask = static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8)) & 0777;
      return true;
    } catch (const std::exception&) {
      return false;
    }
  }
  return false;
}

}  // namespace

mode_t NewFileMode() {
  mode_t mask = 0;
  if (!ReadUmask(mask)) {
    // umask() can only be read by setting it; keep the window to one thread.
    static std::mutex lock;
    const std::lock_guard<std::mutex> hold(lock);
    mask = ::umask(022);
    ::umask(mask);
  }
  return 0666 & ~mask;
}

}  // namespace drelin::platform
