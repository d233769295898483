// MemoryFileIo: a file system held in memory, for the fuzz targets, where
// millions of repairs must not touch a disk. Supports what the engine uses
// (open, positioned reads and writes, stat, close, unlink); kernel copies are
// refused, so the buffered copy path runs.
#pragma once

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "FileIo.h"

namespace drelin::testing {

class MemoryFileIo : public FileIo {
 public:
  std::map<std::string, std::vector<uint8_t>> files;

  int Open(const char* path, int flags, mode_t) override {
    auto found = files.find(path);
    if (found == files.end()) {
      if (!(flags & O_CREAT)) return Fail(ENOENT);
      found = files.emplace(path, std::vector<uint8_t>()).first;
    } else if ((flags & O_CREAT) && (flags & O_EXCL)) {
      return Fail(EEXIST);
    } else if (flags & O_TRUNC) {
      found->second.clear();
    }
    const int fd = next_++;
    open_[fd] = path;
    return fd;
  }
  int Close(int fd) override { return open_.erase(fd) ? 0 : Fail(EBADF); }
  ssize_t Pread(int fd, void* buffer, size_t count, off_t offset) override {
    auto* data = Data(fd);
    if (!data) return Fail(EBADF);
    if (static_cast<size_t>(offset) >= data->size()) return 0;
    const size_t n = std::min(count, data->size() - static_cast<size_t>(offset));
    std::memcpy(buffer, data->data() + offset, n);
    return static_cast<ssize_t>(n);
  }
  ssize_t Pwrite(int fd, const void* buffer, size_t count, off_t offset) override {
    auto* data = Data(fd);
    if (!data) return Fail(EBADF);
    if (data->size() < static_cast<size_t>(offset) + count) data->resize(static_cast<size_t>(offset) + count);
    std::memcpy(data->data() + offset, buffer, count);
    return static_cast<ssize_t>(count);
  }
  int Fstat(int fd, struct stat* status) override {
    auto* data = Data(fd);
    if (!data) return Fail(EBADF);
    *status = {};
    status->st_mode = S_IFREG | 0644;
    status->st_size = static_cast<off_t>(data->size());
    status->st_ino = static_cast<ino_t>(std::distance(files.begin(), files.find(open_[fd])) + 1);
    return 0;
  }
  int Lstat(const char* path, struct stat* status) override {
    auto found = files.find(path);
    if (found == files.end()) return Fail(ENOENT);
    *status = {};
    status->st_mode = S_IFREG | 0644;
    status->st_size = static_cast<off_t>(found->second.size());
    return 0;
  }
  int Fsync(int) override { return 0; }
  int Ftruncate(int fd, off_t length) override {
    auto* data = Data(fd);
    if (!data) return Fail(EBADF);
    data->resize(static_cast<size_t>(length));
    return 0;
  }
  ssize_t CopyFileRange(int, off_t*, int, off_t*, size_t) override { return Fail(ENOSYS); }
  int Rename(const char*, const char*, unsigned) override { return Fail(ENOSYS); }
  int Link(const char*, const char*) override { return Fail(ENOSYS); }
  int Unlink(const char* path) override { return files.erase(path) ? 0 : Fail(ENOENT); }
  int Mkdir(const char*, mode_t) override { return Fail(ENOSYS); }
  int Rmdir(const char*) override { return Fail(ENOSYS); }
  int Fchmod(int, mode_t) override { return 0; }
  char* Mkdtemp(char*) override {
    Fail(ENOSYS);
    return nullptr;
  }
  DIR* Opendir(const char*) override {
    Fail(ENOSYS);
    return nullptr;
  }
  int Flock(int, int) override { return 0; }

 private:
  static int Fail(int error) {
    errno = error;
    return -1;
  }
  std::vector<uint8_t>* Data(int fd) {
    auto found = open_.find(fd);
    if (found == open_.end()) return nullptr;
    return &files[found->second];
  }

  std::map<int, std::string> open_;
  int next_ = 3;
};

}  // namespace drelin::testing
