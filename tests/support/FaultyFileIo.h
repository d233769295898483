// FaultyFileIo: the real file system, except that the Nth call (counting
// every call from the start, or every call of chosen kinds) fails with a
// chosen errno. Tests walk N over all the calls of an operation to prove that
// any single failure is reported and loses nothing.
#pragma once

#include <cerrno>
#include <string>
#include <vector>

#include "FileIo.h"

namespace drelin::testing {

class FaultyFileIo : public FileIo {
 public:
  enum Call { kOpen, kClose, kPread, kPwrite, kFstat, kLstat, kFsync, kFtruncate, kCopyFileRange,
              kRename, kLink, kUnlink, kMkdir, kRmdir, kFchmod };

  // Fails call number `n` (1-based, counting calls whose kind is in `kinds`,
  // or every call when `kinds` is empty) with `error`. 0 fails nothing.
  void FailAt(long n, int error = EIO, std::vector<Call> kinds = {}) {
    failAt_ = n;
    error_ = error;
    kinds_ = std::move(kinds);
    count_ = 0;
    failed_ = false;
  }
  // Calls counted so far (of the chosen kinds).
  long count() const { return count_; }
  bool failed() const { return failed_; }
  // The kinds of every call made, in order.
  const std::vector<Call>& log() const { return log_; }
  void ClearLog() { log_.clear(); }

  int Open(const char* path, int flags, mode_t mode) override {
    return Fail(kOpen) ? -1 : real().Open(path, flags, mode);
  }
  int Close(int fd) override {
    // A failed close still releases the descriptor, as on Linux.
    if (Fail(kClose)) {
      real().Close(fd);
      errno = error_;
      return -1;
    }
    return real().Close(fd);
  }
  ssize_t Pread(int fd, void* buffer, size_t count, off_t offset) override {
    return Fail(kPread) ? -1 : real().Pread(fd, buffer, count, offset);
  }
  ssize_t Pwrite(int fd, const void* buffer, size_t count, off_t offset) override {
    return Fail(kPwrite) ? -1 : real().Pwrite(fd, buffer, count, offset);
  }
  int Fstat(int fd, struct stat* status) override {
    return Fail(kFstat) ? -1 : real().Fstat(fd, status);
  }
  int Lstat(const char* path, struct stat* status) override {
    return Fail(kLstat) ? -1 : real().Lstat(path, status);
  }
  int Fsync(int fd) override { return Fail(kFsync) ? -1 : real().Fsync(fd); }
  int Ftruncate(int fd, off_t length) override {
    return Fail(kFtruncate) ? -1 : real().Ftruncate(fd, length);
  }
  ssize_t CopyFileRange(int inFd, off_t* inOffset, int outFd, off_t* outOffset,
                        size_t count) override {
    return Fail(kCopyFileRange) ? -1 : real().CopyFileRange(inFd, inOffset, outFd, outOffset, count);
  }
  int Rename(const char* from, const char* to, unsigned flags) override {
    return Fail(kRename) ? -1 : real().Rename(from, to, flags);
  }
  int Link(const char* from, const char* to) override {
    return Fail(kLink) ? -1 : real().Link(from, to);
  }
  int Unlink(const char* path) override { return Fail(kUnlink) ? -1 : real().Unlink(path); }
  int Mkdir(const char* path, mode_t mode) override {
    return Fail(kMkdir) ? -1 : real().Mkdir(path, mode);
  }
  int Rmdir(const char* path) override { return Fail(kRmdir) ? -1 : real().Rmdir(path); }
  int Fchmod(int fd, mode_t mode) override { return Fail(kFchmod) ? -1 : real().Fchmod(fd, mode); }

 private:
  static FileIo& real() { return SystemFileIo(); }

  bool Fail(Call call) {
    log_.push_back(call);
    bool counted = kinds_.empty();
    for (Call kind : kinds_) counted = counted || kind == call;
    if (!counted) return false;
    if (++count_ != failAt_) return false;
    failed_ = true;
    errno = error_;
    return true;
  }

  long failAt_ = 0;
  long count_ = 0;
  int error_ = EIO;
  bool failed_ = false;
  std::vector<Call> kinds_;
  std::vector<Call> log_;
};

}  // namespace drelin::testing
