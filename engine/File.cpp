#include "File.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "FileError.h"

namespace drelin {

namespace {

// Large enough that per-call overhead vanishes next to the copy itself, small
// enough to keep memory flat whatever the table size.
constexpr size_t kCopyBufferSize = 1 << 20;
// Kernel copies go in slices so that progress can be reported.
constexpr uint64_t kKernelCopySlice = uint64_t{64} << 20;

bool IsWriteSideError(int error) {
  return error == ENOSPC || error == EDQUOT || error == EFBIG || error == EROFS;
}

}  // namespace

File File::OpenForReading(FileIo& io, const std::string& path) {
  const int fd = io.Open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY, 0);
  if (fd < 0) throw FileError("open", path, errno);
  File file(io, path, fd);
  struct stat status {};
  if (io.Fstat(fd, &status) != 0) throw FileError("open", path, errno);
  if (S_ISDIR(status.st_mode)) throw FileError("open", path, EISDIR);
  if (!S_ISREG(status.st_mode)) throw FileError("open", path, std::string("not a regular file"));
  return file;
}

File File::Create(FileIo& io, const std::string& path, Creation creation, mode_t mode,
                  const File* keep) {
  int flags = O_RDWR | O_CREAT | O_NOCTTY;
  if (creation == Creation::kExclusive) flags |= O_EXCL;
  const int fd = io.Open(path.c_str(), flags, mode);
  if (fd < 0) throw FileError("create", path, errno);
  File file(io, path, fd);
  if (creation == Creation::kTruncate) {
    // Empty it only once it is known not to be the file we must keep.
    struct stat status {};
    if (io.Fstat(fd, &status) != 0) throw FileError("create", path, errno);
    if (!S_ISREG(status.st_mode)) throw FileError("create", path, std::string("not a regular file"));
    if (keep) {
      struct stat kept {};
      if (io.Fstat(keep->fd_, &kept) != 0) throw FileError("read", keep->path_, errno);
      if (kept.st_dev == status.st_dev && kept.st_ino == status.st_ino) {
        throw FileError("create", path, std::string("it is the table being repaired"));
      }
    }
    if (status.st_size != 0 && io.Ftruncate(fd, 0) != 0) throw FileError("create", path, errno);
  }
  return file;
}

File::File(File&& other) noexcept : io_(other.io_), path_(std::move(other.path_)), fd_(other.fd_) {
  other.fd_ = -1;
}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) io_->Close(fd_);
    io_ = other.io_;
    path_ = std::move(other.path_);
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

File::~File() {
  if (fd_ >= 0) io_->Close(fd_);
}

uint64_t File::Size() const {
  struct stat status {};
  if (io_->Fstat(fd_, &status) != 0) throw FileError("read", path_, errno);
  return static_cast<uint64_t>(status.st_size);
}

size_t File::ReadAt(uint64_t offset, void* buffer, size_t count) const {
  auto* bytes = static_cast<unsigned char*>(buffer);
  size_t done = 0;
  while (done < count) {
    const ssize_t got = io_->Pread(fd_, bytes + done, count - done, static_cast<off_t>(offset + done));
    if (got < 0) {
      if (errno == EINTR) continue;
      throw FileError("read", path_, errno);
    }
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  return done;
}

void File::WriteAt(uint64_t offset, const void* buffer, size_t count) {
  const auto* bytes = static_cast<const unsigned char*>(buffer);
  size_t done = 0;
  while (done < count) {
    const ssize_t put =
        io_->Pwrite(fd_, bytes + done, count - done, static_cast<off_t>(offset + done));
    if (put < 0) {
      if (errno == EINTR) continue;
      throw FileError("write", path_, errno);
    }
    if (put == 0) throw FileError("write", path_, EIO);
    done += static_cast<size_t>(put);
  }
}

void File::CopyFrom(const File& source, uint64_t offset, uint64_t count,
                    const CopyProgress& progress) {
  CopyRange(source, offset, offset, count, progress);
}

void File::CopyRange(const File& source, uint64_t from, uint64_t to, uint64_t count,
                     const CopyProgress& progress) {
  uint64_t done = 0;
  while (done < count) {
    off_t in = static_cast<off_t>(from + done);
    off_t out = static_cast<off_t>(to + done);
    const size_t slice = static_cast<size_t>(std::min(count - done, kKernelCopySlice));
    const ssize_t copied = io_->CopyFileRange(source.fd_, &in, fd_, &out, slice);
    if (copied < 0) {
      const int error = errno;
      if (error == EINTR) continue;
      if (error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP ||
          error == EBADF || error == EPERM) {
        // No kernel copy between these two files: do it by hand from here on.
        CopyThroughBuffer(source, from + done, to + done, count - done, done, count, progress);
        return;
      }
      if (IsWriteSideError(error)) throw FileError("write", path_, error);
      throw FileError("read", source.path_, error);
    }
    if (copied == 0) throw FileError(source.path_, "the file changed while it was being read");
    done += static_cast<uint64_t>(copied);
    if (progress) progress(done, count);
  }
}

void File::CopyThroughBuffer(const File& source, uint64_t from, uint64_t to, uint64_t count, uint64_t done,
                             uint64_t total, const CopyProgress& progress) {
  const size_t size = static_cast<size_t>(std::min<uint64_t>(count, kCopyBufferSize));
  std::vector<unsigned char> buffer(std::max<size_t>(size, 1));
  uint64_t copied = 0;
  while (copied < count) {
    const size_t want = static_cast<size_t>(std::min<uint64_t>(count - copied, size));
    const size_t got = source.ReadAt(from + copied, buffer.data(), want);
    if (got < want) throw FileError(source.path_, "the file changed while it was being read");
    WriteAt(to + copied, buffer.data(), got);
    copied += got;
    if (progress) progress(done + copied, total);
  }
}

void File::Sync() {
  if (io_->Fsync(fd_) != 0) throw FileError("write", path_, errno);
}

void File::Close() {
  if (fd_ < 0) return;
  const int fd = fd_;
  fd_ = -1;
  if (io_->Close(fd) != 0 && errno != EINTR) throw FileError("write", path_, errno);
}

}  // namespace drelin
