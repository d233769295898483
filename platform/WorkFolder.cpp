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

std::vector<std::string> EntryNames(const std::string& folder) {
  std::vector<std::string> names;
  std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
  if (!dir) return names;
  while (const dirent* entry = readdir(dir.get())) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  return names;
}

// Removes the files in `folder` (ending with "/"), then the folder.
void RemoveFolder(FileIo& io, const std::string& folder) {
  for (const std::string& name : EntryNames(folder)) io.Unlink((folder + name).c_str());
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

}  // namespace

WorkFolder::WorkFolder(FileIo& io, const std::string& parent) : io_(io) {
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    std::string pattern = parent + kPrefix + "XXXXXX";
    if (!mkdtemp(pattern.data())) throw FileError("create", pattern, errno);
    const int fd = OpenFolder(io_, pattern);
    if (fd < 0) {
      const int error = errno;
      io_.Rmdir(pattern.c_str());
      throw FileError("open", pattern, error);
    }
    // A start sweeping leftovers may have taken the new folder for one
    // before it was locked; then it is gone or going, and we make another.
    if (flock(fd, LOCK_EX | LOCK_NB) == 0 && SameEntry(io_, fd, pattern)) {
      fd_ = fd;
      path_ = pattern + "/";
      return;
    }
    io_.Close(fd);
  }
  throw FileError("create", parent + kPrefix + "XXXXXX", std::string("no folder could be locked"));
}

WorkFolder::~WorkFolder() {
  RemoveFolder(io_, path_);
  io_.Close(fd_);
}

void RemoveAbandonedWorkFolders(FileIo& io, const std::string& parent) {
  for (const std::string& name : EntryNames(parent)) {
    if (name.compare(0, sizeof kPrefix - 1, kPrefix) != 0) continue;
    const std::string folder = parent + name;
    const int fd = OpenFolder(io, folder);
    if (fd < 0) continue;
    if (flock(fd, LOCK_EX | LOCK_NB) == 0 && SameEntry(io, fd, folder)) {
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
