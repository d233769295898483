// MemoryFileIo: a file system held in memory, for the fuzz targets, where
// millions of repairs must not touch a disk. Supports what the engine uses
// (open, positioned reads and writes, stat, close, unlink); kernel copies are
// refused, so the buffered copy path runs.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "HeldFileIo.h"

namespace drelin::testing {

class MemoryFileIo : public HeldFileIo<std::vector<uint8_t>> {
 public:
  int Open(const char* path, int flags, mode_t) override {
    bool opened = false;
    const int fd = OpenHeld(path, flags, &opened);
    if (fd >= 0 && opened && (flags & O_TRUNC)) Held(fd)->clear();
    return fd;
  }
  ssize_t Pread(int fd, void* buffer, size_t count, off_t offset) override {
    auto* data = Held(fd);
    if (!data) return Fail(EBADF);
    if (static_cast<size_t>(offset) >= data->size()) return 0;
    const size_t n = std::min(count, data->size() - static_cast<size_t>(offset));
    std::memcpy(buffer, data->data() + offset, n);
    return static_cast<ssize_t>(n);
  }
  ssize_t Pwrite(int fd, const void* buffer, size_t count, off_t offset) override {
    auto* data = Held(fd);
    if (!data) return Fail(EBADF);
    if (data->size() < static_cast<size_t>(offset) + count) data->resize(static_cast<size_t>(offset) + count);
    std::memcpy(data->data() + offset, buffer, count);
    return static_cast<ssize_t>(count);
  }
  int Fstat(int fd, struct stat* status) override {
    auto* data = Held(fd);
    if (!data) return Fail(EBADF);
    Describe(fd, static_cast<off_t>(data->size()), status);
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
  int Ftruncate(int fd, off_t length) override {
    auto* data = Held(fd);
    if (!data) return Fail(EBADF);
    data->resize(static_cast<size_t>(length));
    return 0;
  }
  ssize_t CopyFileRange(int, off_t*, int, off_t*, size_t) override { return Fail(ENOSYS); }
};

}  // namespace drelin::testing
