#include "OutputSink.h"

#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace drelin::cli {

OutputSink::~OutputSink() {
  try {
    Flush();
  } catch (const std::system_error&) {
    // Reported by the explicit Flush of a normal end; nothing to add here.
  }
}

void OutputSink::Flush() {
  size_t done = 0;
  while (done < buffer_.size()) {
    const ssize_t written = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
    if (written < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      buffer_.clear();
      throw std::system_error(error, std::generic_category(), "cannot write the output");
    }
    done += static_cast<size_t>(written);
  }
  buffer_.clear();
}

}  // namespace drelin::cli
