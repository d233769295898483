// SparseFileIo: files of any length held in memory as the few bytes written
// into them; every other byte reads as zero. A 4 GiB table costs a handful of
// bytes, so the format's size limits are tested at their exact boundary
// without a disk. Kernel copies copy only the bytes that were written, so a
// repair of such a table runs in an instant.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <vector>

#include "HeldFileIo.h"

namespace drelin::testing {

struct SparseFile {
  uint64_t length = 0;
  std::map<uint64_t, uint8_t> bytes;  // the bytes that are not zero
};

class SparseFileIo : public HeldFileIo<SparseFile> {
 public:
  // Writes `bytes` into `path` at `offset`, making and lengthening it as needed.
  void Put(const std::string& path, uint64_t offset, const std::vector<uint8_t>& bytes) {
    SparseFile& file = files[path];
    for (size_t i = 0; i < bytes.size(); ++i) file.bytes[offset + i] = bytes[i];
    file.length = std::max(file.length, offset + bytes.size());
  }
  uint8_t At(const std::string& path, uint64_t offset) {
    const auto& bytes = files.at(path).bytes;
    const auto found = bytes.find(offset);
    return found == bytes.end() ? 0 : found->second;
  }

  int Open(const char* path, int flags, mode_t) override {
    bool opened = false;
    return OpenHeld(path, flags, &opened);
  }
  ssize_t Pread(int fd, void* buffer, size_t count, off_t offset) override {
    SparseFile* file = Held(fd);
    if (!file) return Fail(EBADF);
    const uint64_t start = static_cast<uint64_t>(offset);
    if (start >= file->length) return 0;
    const uint64_t end = std::min<uint64_t>(file->length, start + count);
    auto* out = static_cast<uint8_t*>(buffer);
    std::memset(out, 0, end - start);
    for (auto it = file->bytes.lower_bound(start); it != file->bytes.end() && it->first < end; ++it) {
      out[it->first - start] = it->second;
    }
    return static_cast<ssize_t>(end - start);
  }
  ssize_t Pwrite(int fd, const void* buffer, size_t count, off_t offset) override {
    SparseFile* file = Held(fd);
    if (!file) return Fail(EBADF);
    const auto* in = static_cast<const uint8_t*>(buffer);
    for (size_t i = 0; i < count; ++i) Store(*file, static_cast<uint64_t>(offset) + i, in[i]);
    file->length = std::max<uint64_t>(file->length, static_cast<uint64_t>(offset) + count);
    return static_cast<ssize_t>(count);
  }
  int Fstat(int fd, struct stat* status) override {
    SparseFile* file = Held(fd);
    if (!file) return Fail(EBADF);
    Describe(fd, static_cast<off_t>(file->length), status);
    return 0;
  }
  // Only new, empty outputs are made here: nothing to truncate, no names to look up.
  int Ftruncate(int, off_t) override { return Fail(ENOSYS); }
  int Lstat(const char*, struct stat*) override { return Fail(ENOSYS); }
  ssize_t CopyFileRange(int inFd, off_t* inOffset, int outFd, off_t* outOffset, size_t count) override {
    SparseFile* from = Held(inFd);
    SparseFile* to = Held(outFd);
    if (!from || !to) return Fail(EBADF);
    const uint64_t start = static_cast<uint64_t>(*inOffset);
    if (start >= from->length) return 0;
    const uint64_t copied = std::min<uint64_t>(count, from->length - start);
    const uint64_t target = static_cast<uint64_t>(*outOffset);
    to->bytes.erase(to->bytes.lower_bound(target), to->bytes.lower_bound(target + copied));
    for (auto it = from->bytes.lower_bound(start); it != from->bytes.end() && it->first < start + copied; ++it) {
      to->bytes[target + (it->first - start)] = it->second;
    }
    to->length = std::max<uint64_t>(to->length, target + copied);
    *inOffset += static_cast<off_t>(copied);
    *outOffset += static_cast<off_t>(copied);
    return static_cast<ssize_t>(copied);
  }

 private:
  static void Store(SparseFile& file, uint64_t offset, uint8_t byte) {
    if (byte == 0) {
      file.bytes.erase(offset);
    } else {
      file.bytes[offset] = byte;
    }
  }
};

}  // namespace drelin::testing
