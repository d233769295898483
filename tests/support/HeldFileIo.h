// HeldFileIo: what the in-memory file systems of the tests share. Files are
// held by name in a map of `File`s; a descriptor names an open file. Folders,
// renames, links and temporary names are refused with ENOSYS, since the code
// these stand under (the engine's reads and writes) never makes them.
#pragma once

#include <fcntl.h>

#include <cerrno>
#include <iterator>
#include <map>
#include <string>

#include "FileIo.h"

namespace drelin::testing {

template <typename File>
class HeldFileIo : public FileIo {
 public:
  std::map<std::string, File> files;

  int Close(int fd) override { return open_.erase(fd) ? 0 : Fail(EBADF); }
  int Fsync(int) override { return 0; }
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

 protected:
  static int Fail(int error) {
    errno = error;
    return -1;
  }

  // Opens `path` under open(2)'s O_CREAT and O_EXCL rules; `opened` says
  // whether an existing file was opened (so O_TRUNC may apply), -1 on failure.
  int OpenHeld(const char* path, int flags, bool* opened) {
    auto found = files.find(path);
    *opened = found != files.end();
    if (!*opened) {
      if (!(flags & O_CREAT)) return Fail(ENOENT);
      files.emplace(path, File());
    } else if ((flags & O_CREAT) && (flags & O_EXCL)) {
      return Fail(EEXIST);
    }
    const int fd = next_++;
    open_[fd] = path;
    return fd;
  }

  // The open file `fd` names, or null.
  File* Held(int fd) {
    const auto found = open_.find(fd);
    return found == open_.end() ? nullptr : &files[found->second];
  }

  // A plain regular file of `size` bytes whose inode number tells it apart
  // from the other held files.
  void Describe(int fd, off_t size, struct stat* status) {
    *status = {};
    status->st_mode = S_IFREG | 0644;
    status->st_size = size;
    status->st_ino = static_cast<ino_t>(std::distance(files.begin(), files.find(open_[fd])) + 1);
  }

 private:
  std::map<int, std::string> open_;
  int next_ = 3;
};

}  // namespace drelin::testing
