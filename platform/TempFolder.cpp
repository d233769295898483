#include "TempFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "FileError.h"
#include "Paths.h"

namespace drelin::platform {

namespace {

std::string TempRoot() {
  const char* variable = std::getenv("TMPDIR");
  std::string root = variable && variable[0] == '/' ? variable : "/tmp";
  while (root.size() > 1 && root.back() == '/') root.pop_back();
  return root;
}

[[noreturn]] void Refuse(const std::string& folder, const std::string& reason) {
  throw FileError("use the temporary folder", folder, reason);
}

}  // namespace

std::string UserTempFolder(FileIo& io) {
  const std::string folder =
      JoinPath(TempRoot(), "tarnova-drelin-" + std::to_string(static_cast<unsigned long>(geteuid())));
  if (io.Mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    throw FileError("create", folder, errno);
  }
  struct stat entry {};
  if (io.Lstat(folder.c_str(), &entry) != 0) throw FileError("open", folder, errno);
  if (S_ISLNK(entry.st_mode)) Refuse(folder, "it is a symbolic link");
  if (!S_ISDIR(entry.st_mode)) Refuse(folder, "it is not a folder");
  if (entry.st_uid != geteuid()) Refuse(folder, "it belongs to another user");

  // Check again through a descriptor that cannot have followed a link.
  const int fd = io.Open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_NOCTTY, 0);
  if (fd < 0) throw FileError("open", folder, errno);
  struct stat status {};
  const bool stated = io.Fstat(fd, &status) == 0;
  int error = errno;
  const bool same = stated && status.st_dev == entry.st_dev && status.st_ino == entry.st_ino &&
                    status.st_uid == geteuid();
  bool closed = true;
  if (same && (status.st_mode & 077) != 0) {
    closed = io.Fchmod(fd, 0700) == 0;
    error = errno;
  }
  io.Close(fd);
  if (!stated) throw FileError("open", folder, error);
  if (!same) Refuse(folder, "it was replaced while being checked");
  if (!closed) throw FileError("set the permissions of", folder, error);
  return folder + "/";
}

}  // namespace drelin::platform
