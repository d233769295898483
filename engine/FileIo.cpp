#include "FileIo.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

namespace drelin {

namespace {

class SystemIo final : public FileIo {
 public:
  int Open(const char* path, int flags, mode_t mode) override {
    return ::open(path, flags | O_CLOEXEC, mode);
  }
  int Close(int fd) override { return ::close(fd); }
  ssize_t Pread(int fd, void* buffer, size_t count, off_t offset) override {
    return ::pread(fd, buffer, count, offset);
  }
  ssize_t Pwrite(int fd, const void* buffer, size_t count, off_t offset) override {
    return ::pwrite(fd, buffer, count, offset);
  }
  int Fstat(int fd, struct stat* status) override { return ::fstat(fd, status); }
  int Lstat(const char* path, struct stat* status) override { return ::lstat(path, status); }
  int Fsync(int fd) override { return ::fsync(fd); }
  int Ftruncate(int fd, off_t length) override { return ::ftruncate(fd, length); }
  ssize_t CopyFileRange(int inFd, off_t* inOffset, int outFd, off_t* outOffset,
                        size_t count) override {
    return ::copy_file_range(inFd, inOffset, outFd, outOffset, count, 0);
  }
  int Rename(const char* from, const char* to, unsigned flags) override {
    if (flags == 0) return ::rename(from, to);
#ifdef SYS_renameat2
    return static_cast<int>(::syscall(SYS_renameat2, AT_FDCWD, from, AT_FDCWD, to, flags));
#else
    errno = ENOSYS;
    return -1;
#endif
  }
  int Link(const char* from, const char* to) override { return ::link(from, to); }
  int Unlink(const char* path) override { return ::unlink(path); }
  int Mkdir(const char* path, mode_t mode) override { return ::mkdir(path, mode); }
  int Rmdir(const char* path) override { return ::rmdir(path); }
  int Fchmod(int fd, mode_t mode) override { return ::fchmod(fd, mode); }
  char* Mkdtemp(char* pattern) override { return ::mkdtemp(pattern); }
  DIR* Opendir(const char* path) override { return ::opendir(path); }
  int Flock(int fd, int operation) override { return ::flock(fd, operation); }
};

}  // namespace

FileIo& SystemFileIo() {
  static SystemIo io;
  return io;
}

}  // namespace drelin
