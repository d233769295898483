// OutputSink: a large buffer in front of a file descriptor (stdout), so that
// exporting a big table costs one write per megabyte. A closed pipe or a
// full disk ends the export with an error rather than silently.
#pragma once

#include <string>

namespace drelin::cli {

class OutputSink {
 public:
  explicit OutputSink(int fd, size_t flushAt = 1 << 20) : fd_(fd), flushAt_(flushAt) {
    buffer_.reserve(flushAt + 4096);
  }
  ~OutputSink();
  OutputSink(const OutputSink&) = delete;
  OutputSink& operator=(const OutputSink&) = delete;

  // The buffer to append to; call MaybeFlush after appending.
  std::string& buffer() { return buffer_; }
  void MaybeFlush() {
    if (buffer_.size() >= flushAt_) Flush();
  }
  // Throws std::system_error when the write fails.
  void Flush();

 private:
  int fd_;
  size_t flushAt_;
  std::string buffer_;
};

}  // namespace drelin::cli
