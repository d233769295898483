#include "WorkFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <cerrno>
#include <memory>
#include <mutex>
#include <vector>

#include "FileError.h"
#include "TempFolder.h"

namespace drelin::platform {

namespace {

constexpr char kPrefix[] = "run-";
constexpr int kAttempts = 16;

std::vector<std::string> EntryNames(FileIo& io, const std::string& folder) {
  std::vector<std::string> names;
  std::unique_ptr<DIR, int (*)(DIR*)> dir(io.Opendir(folder.c_str()), closedir);
  if (!dir) return names;
  while (const dirent* entry = readdir(dir.get())) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  return names;
}

// Removes the files in `folder` (ending with "/"), then the folder.
void RemoveFolder(FileIo& io, const std::string& folder) {
  for (const std::string& name : EntryNames(io, folder)) io.Unlink((folder + name).c_str());
  io.Rmdir(folder.c_str());
}

int OpenFolder(FileIo& io, const std::string& folder) {
  return io.Open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_NOCTTY, 0);
}

bool SameEntry(FileIo& io, int fd, const std::string& path) {
  struct stat open {}, named {};
  return io.Fstat(fd, &open) == 0 && io.Lstat(path.c_str(), &named) == 0 &&
         open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

// A lock on a folder for as long as it lives; not held when the folder
// could not be opened or locked.
class FolderLock {
 public:
  FolderLock(FileIo& io, const std::string& folder, int operation)
      : io_(io), fd_(OpenFolder(io, folder)) {
    if (fd_ >= 0 && io_.Flock(fd_, operation) != 0) {
      io_.Close(fd_);
      fd_ = -1;
    }
  }
  ~FolderLock() {
    if (fd_ >= 0) io_.Close(fd_);
  }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  bool held() const { return fd_ >= 0; }

 private:
  FileIo& io_;
  int fd_;
};

}  // namespace

// A new folder stands unlocked between its mkdtemp and its flock, and a
// sweep that met it then would take it for abandoned. So the two meet in
// the parent folder's lock: creation holds it shared over that step, a
// sweep runs only with it exclusive and never waits for it, leaving the
// leftovers to a later start while any folder is being made. A folder lost
// all the same (a parent that cannot be locked, a cleaner of temporary
// folders) is made again.
WorkFolder::WorkFolder(FileIo& io, const std::string& parent) : io_(io) {
  const FolderLock creating(io_, parent, LOCK_SH);
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    std::string pattern = parent + kPrefix + "XXXXXX";
    if (!io_.Mkdtemp(pattern.data())) throw FileError("create", pattern, errno);
    const int fd = OpenFolder(io_, pattern);
    if (fd < 0 && errno == ENOENT) continue;  // removed already
    if (fd < 0) {
      const int error = errno;
      io_.Rmdir(pattern.c_str());
      throw FileError("open", pattern, error);
    }
    if (io_.Flock(fd, LOCK_EX | LOCK_NB) == 0) {
      if (SameEntry(io_, fd, pattern)) {
        fd_ = fd;
        path_ = pattern + "/";
        return;
      }
    } else if (errno != EWOULDBLOCK) {
      const int error = errno;
      io_.Close(fd);
      io_.Rmdir(pattern.c_str());
      throw FileError("lock", pattern, error);
    }
    // Locked by a sweep, or gone since: it is not ours.
    io_.Close(fd);
  }
  throw FileError("create", parent + kPrefix + "XXXXXX", std::string("no folder could be locked"));
}

WorkFolder::~WorkFolder() {
  RemoveFolder(io_, path_);
  io_.Close(fd_);
}

void RemoveAbandonedWorkFolders(FileIo& io, const std::string& parent) {
  const FolderLock sweeping(io, parent, LOCK_EX | LOCK_NB);
  if (!sweeping.held()) return;
  for (const std::string& name : EntryNames(io, parent)) {
    if (name.compare(0, sizeof kPrefix - 1, kPrefix) != 0) continue;
    const std::string folder = parent + name;
    const int fd = OpenFolder(io, folder);
    if (fd < 0) continue;
    if (io.Flock(fd, LOCK_EX | LOCK_NB) == 0 && SameEntry(io, fd, folder)) {
      RemoveFolder(io, folder + "/");
    }
    io.Close(fd);
  }
}

namespace {

struct ProcessFolder {
  std::mutex lock;
  std::unique_ptr<WorkFolder> folder;
};

// Made after the file layer it uses, so the normal exit removes the folder
// while that layer still exists.
ProcessFolder& TheProcessFolder() {
  SystemFileIo();
  static ProcessFolder holder;
  return holder;
}

}  // namespace

std::string ProcessWorkFolder() {
  ProcessFolder& holder = TheProcessFolder();
  const std::lock_guard<std::mutex> hold(holder.lock);
  if (!holder.folder) {
    FileIo& io = SystemFileIo();
    const std::string parent = UserTempFolder(io);
    RemoveAbandonedWorkFolders(io, parent);
    holder.folder = std::make_unique<WorkFolder>(io, parent);
  }
  return holder.folder->path();
}

void RemoveProcessWorkFolder() noexcept {
  ProcessFolder& holder = TheProcessFolder();
  const std::lock_guard<std::mutex> hold(holder.lock);
  holder.folder.reset();
}

}  // namespace drelin::platform
