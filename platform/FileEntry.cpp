#include "FileEntry.h"

#include <sys/stat.h>

#include <cerrno>

#include "FileError.h"

namespace drelin::platform {

bool EntryExists(FileIo& io, const std::string& path) {
  struct stat status {};
  if (io.Lstat(path.c_str(), &status) == 0) return true;
  if (errno == ENOENT || errno == ENOTDIR) return false;
  throw FileError("look for", path, errno);
}

bool RemoveEntry(FileIo& io, const std::string& path) {
  if (io.Unlink(path.c_str()) == 0) return true;
  if (errno == ENOENT) return false;
  throw FileError("remove", path, errno);
}

}  // namespace drelin::platform
