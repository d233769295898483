// FileIo: every system call that touches a file, behind one small interface.
// The engine, the platform core and the batch reach files only through it,
// so tests can make any single open, read, write, rename or unlink fail and
// check that nothing is lost when it does.
#pragma once

#include <dirent.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>

namespace drelin {

class FileIo {
 public:
  virtual ~FileIo() = default;

  // Each returns what the POSIX call of the same name returns and sets errno
  // on failure.
  virtual int Open(const char* path, int flags, mode_t mode) = 0;
  virtual int Close(int fd) = 0;
  virtual ssize_t Pread(int fd, void* buffer, size_t count, off_t offset) = 0;
  virtual ssize_t Pwrite(int fd, const void* buffer, size_t count, off_t offset) = 0;
  virtual int Fstat(int fd, struct stat* status) = 0;
  virtual int Lstat(const char* path, struct stat* status) = 0;
  virtual int Fsync(int fd) = 0;
  virtual int Ftruncate(int fd, off_t length) = 0;
  virtual ssize_t CopyFileRange(int inFd, off_t* inOffset, int outFd, off_t* outOffset,
                                size_t count) = 0;
  // renameat2(AT_FDCWD, from, AT_FDCWD, to, flags).
  virtual int Rename(const char* from, const char* to, unsigned flags) = 0;
  virtual int Link(const char* from, const char* to) = 0;
  virtual int Unlink(const char* path) = 0;
  virtual int Mkdir(const char* path, mode_t mode) = 0;
  virtual int Rmdir(const char* path) = 0;
  virtual int Fchmod(int fd, mode_t mode) = 0;
  // mkdtemp(pattern): the "XXXXXX" ending `pattern` filled in place.
  virtual char* Mkdtemp(char* pattern) = 0;
  // opendir(path); readdir and closedir then act on the stream returned.
  virtual DIR* Opendir(const char* path) = 0;
  virtual int Flock(int fd, int operation) = 0;
};

// The real file system.
FileIo& SystemFileIo();

}  // namespace drelin
