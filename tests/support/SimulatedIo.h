// SimulatedIo: the real file system, made to behave like another one and to
// fail on demand. It can refuse renameat2's flags (as file systems without
// RENAME_NOREPLACE do), refuse hard links (vfat, exFAT), put one folder on
// "another device" (renames and links across it fail with EXDEV), and fail
// the Nth call of chosen kinds with a chosen errno. Safe to share between
// threads.
#pragma once

#include <cerrno>
#include <mutex>
#include <set>
#include <string>

#include "FileIo.h"

namespace drelin::testing {

class SimulatedIo : public FileIo {
 public:
  enum Call { kOpen, kClose, kPread, kPwrite, kFstat, kLstat, kFsync, kFtruncate, kCopyFileRange,
              kRename, kLink, kUnlink, kMkdir, kRmdir, kFchmod, kMkdtemp, kOpendir, kFlock };

  bool noRenameFlags = false;  // renameat2 with flags: EINVAL
  bool noLinks = false;        // link: EPERM
  std::string otherDevice;     // a folder prefix on another device; empty for none

  // Fails call number `n` (1-based) among the calls of `kinds` (all calls
  // when empty) with `error`; every later call succeeds. 0 fails nothing.
  void FailAt(long n, int error = EIO, std::set<Call> kinds = {}) {
    const std::lock_guard<std::mutex> hold(lock_);
    failAt_ = n;
    error_ = error;
    kinds_ = std::move(kinds);
    count_ = 0;
    failed_ = false;
  }
  long count() const {
    const std::lock_guard<std::mutex> hold(lock_);
    return count_;
  }
  bool failed() const {
    const std::lock_guard<std::mutex> hold(lock_);
    return failed_;
  }

  int Open(const char* path, int flags, mode_t mode) override {
    return Fail(kOpen) ? -1 : real().Open(path, flags, mode);
  }
  int Close(int fd) override {
    // A failed close still releases the descriptor, as on Linux.
    if (Fail(kClose)) {
      const int error = errno;
      real().Close(fd);
      errno = error;
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
    return Fail(kCopyFileRange) ? -1
                                : real().CopyFileRange(inFd, inOffset, outFd, outOffset, count);
  }
  int Rename(const char* from, const char* to, unsigned flags) override {
    if (Fail(kRename)) return -1;
    if (Across(from, to)) return Refuse(EXDEV);
    if (flags != 0 && noRenameFlags) return Refuse(EINVAL);
    return real().Rename(from, to, flags);
  }
  int Link(const char* from, const char* to) override {
    if (Fail(kLink)) return -1;
    if (Across(from, to)) return Refuse(EXDEV);
    if (noLinks) return Refuse(EPERM);
    return real().Link(from, to);
  }
  int Unlink(const char* path) override { return Fail(kUnlink) ? -1 : real().Unlink(path); }
  int Mkdir(const char* path, mode_t mode) override {
    return Fail(kMkdir) ? -1 : real().Mkdir(path, mode);
  }
  int Rmdir(const char* path) override { return Fail(kRmdir) ? -1 : real().Rmdir(path); }
  int Fchmod(int fd, mode_t mode) override {
    return Fail(kFchmod) ? -1 : real().Fchmod(fd, mode);
  }
  char* Mkdtemp(char* pattern) override {
    return Fail(kMkdtemp) ? nullptr : real().Mkdtemp(pattern);
  }
  DIR* Opendir(const char* path) override {
    return Fail(kOpendir) ? nullptr : real().Opendir(path);
  }
  int Flock(int fd, int operation) override {
    return Fail(kFlock) ? -1 : real().Flock(fd, operation);
  }

 private:
  static FileIo& real() { return SystemFileIo(); }
  static int Refuse(int error) {
    errno = error;
    return -1;
  }
  bool Across(const std::string& from, const std::string& to) const {
    if (otherDevice.empty()) return false;
    const bool fromOther = from.compare(0, otherDevice.size(), otherDevice) == 0;
    const bool toOther = to.compare(0, otherDevice.size(), otherDevice) == 0;
    return fromOther != toOther;
  }

  bool Fail(Call call) {
    const std::lock_guard<std::mutex> hold(lock_);
    if (!kinds_.empty() && kinds_.count(call) == 0) return false;
    if (++count_ != failAt_) return false;
    failed_ = true;
    errno = error_;
    return true;
  }

  mutable std::mutex lock_;
  long failAt_ = 0;
  long count_ = 0;
  int error_ = EIO;
  bool failed_ = false;
  std::set<Call> kinds_;
};

}  // namespace drelin::testing
