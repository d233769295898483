// File: an open file descriptor that closes itself, whose every failure is a
// FileError naming the file. All engine I/O is positioned (pread/pwrite), so a
// File has no current offset.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>

#include "FileIo.h"

namespace drelin {

// Told how far a long copy has come; called from the copying thread.
using CopyProgress = std::function<void(uint64_t done, uint64_t total)>;

class File {
 public:
  enum class Creation {
    kTruncate,   // create, or empty an existing file
    kExclusive,  // create; fail if any entry (a symbolic link included) exists
  };

  // Opens a regular file for reading. The open does not block on a FIFO or a
  // device; anything but a regular file is refused with a clear reason.
  static File OpenForReading(FileIo& io, const std::string& path);
  // Creates a file for reading and writing with `mode` less the umask. An
  // existing file that is `keep` itself (the same file under any name) is
  // refused rather than emptied.
  static File Create(FileIo& io, const std::string& path, Creation creation, mode_t mode = 0666,
                     const File* keep = nullptr);

  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  ~File();

  const std::string& path() const { return path_; }
  int fd() const { return fd_; }
  FileIo& io() const { return *io_; }

  uint64_t Size() const;
  // Reads up to `count` bytes at `offset`; fewer only where the file ends.
  size_t ReadAt(uint64_t offset, void* buffer, size_t count) const;
  // Writes all `count` bytes at `offset`.
  void WriteAt(uint64_t offset, const void* buffer, size_t count);
  // Copies `count` bytes of `source` starting at `offset` to the same offset
  // here: in the kernel where it can, else through a large buffer. A source
  // that ends before `offset + count` is an error (it changed while read).
  void CopyFrom(const File& source, uint64_t offset, uint64_t count,
                const CopyProgress& progress = nullptr);
  // The same from offset `from` of `source` to offset `to` here.
  void CopyRange(const File& source, uint64_t from, uint64_t to, uint64_t count,
                 const CopyProgress& progress = nullptr);
  void Sync();
  // Closes now and reports a failed close (a late write error on some file
  // systems). The destructor closes silently.
  void Close();

 private:
  File(FileIo& io, std::string path, int fd) : io_(&io), path_(std::move(path)), fd_(fd) {}
  void CopyThroughBuffer(const File& source, uint64_t from, uint64_t to, uint64_t count, uint64_t done,
                         uint64_t total, const CopyProgress& progress);

  FileIo* io_;
  std::string path_;
  int fd_ = -1;
};

}  // namespace drelin
