#include "FileError.h"

#include <cstring>

namespace drelin {

namespace {

std::string ErrorText(int error) {
  char buffer[256];
  // GNU strerror_r may return a static string instead of filling the buffer.
  const char* text = strerror_r(error, buffer, sizeof buffer);
  return text;
}

}  // namespace

FileError::FileError(const std::string& operation, const std::string& path, int error)
    : std::runtime_error("cannot " + operation + " '" + path + "': " + ErrorText(error)),
      operation_(operation),
      path_(path),
      reason_(ErrorText(error)),
      error_(error) {}

FileError::FileError(const std::string& operation, const std::string& path,
                     const std::string& reason)
    : std::runtime_error("cannot " + operation + " '" + path + "': " + reason),
      operation_(operation),
      path_(path),
      reason_(reason) {}

FileError::FileError(const std::string& path, const std::string& reason)
    : std::runtime_error("'" + path + "': " + reason), path_(path), reason_(reason) {}

FileError FileError::WithPath(const std::string& path) const {
  FileError moved = operation_.empty() ? FileError(path, reason_) : FileError(operation_, path, reason_);
  moved.error_ = error_;
  return moved;
}

}  // namespace drelin
