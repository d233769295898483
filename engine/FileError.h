// FileError: the one exception type for a file that cannot be opened, read,
// written, moved or removed, and for a file whose content a repair refuses.
// It carries the path and the reason, so every caller can name both.
#pragma once

#include <stdexcept>
#include <string>

namespace drelin {

class FileError : public std::runtime_error {
 public:
  // An operating-system failure: `operation` is a verb ("open", "read",
  // "write", ...), `error` the errno value. what() reads
  // "cannot open 'x.dbf': Permission denied".
  FileError(const std::string& operation, const std::string& path, int error);

  // A failure with a reason of our own: "cannot open 'fifo': not a regular file".
  FileError(const std::string& operation, const std::string& path, const std::string& reason);

  // A refusal of the file's content: what() reads "'x.dbf': <reason>".
  FileError(const std::string& path, const std::string& reason);

  const std::string& path() const { return path_; }
  // errno of the failed call; 0 for a refusal of content.
  int error() const { return error_; }
  // The reason alone, without the path ("Permission denied").
  const std::string& reason() const { return reason_; }
  // The failed operation ("open", "write", ...); empty for a content refusal.
  const std::string& operation() const { return operation_; }

  // The same failure told about another path (a temporary file's failure
  // reported under the name the user knows).
  FileError WithPath(const std::string& path) const;

 private:
  std::string operation_;
  std::string path_;
  std::string reason_;
  int error_ = 0;
};

}  // namespace drelin
