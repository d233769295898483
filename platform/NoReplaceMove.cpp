#include "NoReplaceMove.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <optional>

#include "File.h"
#include "FileEntry.h"
#include "FileError.h"
#include "NewFileMode.h"
#include "PartName.h"
#include "Paths.h"

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace drelin::platform {

namespace {

// renameat2 could not honour RENAME_NOREPLACE on this file system.
bool NoReplaceUnsupported(int error) {
  return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

// The file system has no hard links.
bool LinksUnsupported(int error) {
  return error == EPERM || error == EOPNOTSUPP || error == ENOSYS;
}

[[noreturn]] void ThrowMoveError(const std::string& from, const std::string& to, int error) {
  throw FileError("move '" + from + "' to", to, error);
}

struct Identity {
  dev_t device;
  ino_t inode;
};

Identity IdentityOf(FileIo& io, const File& file) {
  struct stat status {};
  if (io.Fstat(file.fd(), &status) != 0) throw FileError("read", file.path(), errno);
  return {status.st_dev, status.st_ino};
}

// A name this move created. Unless kept, it is removed when the move fails;
// once the file's identity is known, only while it still names that file.
class CreatedName {
 public:
  CreatedName(FileIo& io, std::string path) : io_(io), path_(std::move(path)) {}
  CreatedName(FileIo& io, std::string path, Identity identity)
      : io_(io), path_(std::move(path)), identity_(identity) {}
  CreatedName(const CreatedName&) = delete;
  CreatedName& operator=(const CreatedName&) = delete;
  ~CreatedName() {
    if (!armed_) return;
    if (identity_) {
      struct stat status {};
      if (io_.Lstat(path_.c_str(), &status) != 0) return;
      if (status.st_dev != identity_->device || status.st_ino != identity_->inode) return;
    }
    io_.Unlink(path_.c_str());
  }
  void Identify(Identity identity) { identity_ = identity; }
  void Keep() { armed_ = false; }

 private:
  FileIo& io_;
  std::string path_;
  std::optional<Identity> identity_;
  bool armed_ = true;
};

// Gives a file the permissions of a newly created one. File systems that fix
// permissions themselves (vfat, exFAT) refuse, and keep theirs.
void GiveNewFileMode(FileIo& io, const File& file, mode_t current) {
  const mode_t wanted = NewFileMode();
  if ((current & 07777) == wanted) return;
  if (io.Fchmod(file.fd(), wanted) == 0) return;
  if (errno == EPERM || errno == EOPNOTSUPP) return;
  throw FileError("set the permissions of", file.path(), errno);
}

// Flushes a folder's entries, so a name made there reaches the disk before
// the file's other name is removed. A folder that cannot be opened for
// reading, or a file system that cannot flush folders, is left to its own
// ordering.
void SyncFolder(FileIo& io, const std::string& folder) {
  const int fd = io.Open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOCTTY, 0);
  if (fd < 0) return;
  const int result = io.Fsync(fd);
  const int error = errno;
  io.Close(fd);
  if (result != 0 && error != EINVAL && error != EROFS && error != EOPNOTSUPP) {
    throw FileError("flush", folder, error);
  }
}

// Creates a new file under a private name beside `to`, readable only by its
// owner while it is written.
File CreatePartFile(FileIo& io, const std::string& to) {
  for (int attempt = 0;; ++attempt) {
    const std::string part = PartNameIn(DirName(to));
    try {
      return File::Create(io, part, File::Creation::kExclusive, 0600);
    } catch (const FileError& error) {
      if (error.error() != EEXIST || attempt == 99) throw AboutFinalName(error, part, to);
    }
  }
}

// Copies the whole of `source` into a new file at `to`, made exclusively,
// and flushes it and its folder. Returns the new file's identity.
Identity CopyToNewFile(FileIo& io, const File& source, uint64_t size, const std::string& to) {
  File target = File::Create(io, to, File::Creation::kExclusive, 0666);
  CreatedName created(io, to);
  const Identity identity = IdentityOf(io, target);
  created.Identify(identity);
  target.CopyFrom(source, 0, size);
  target.Sync();
  target.Close();
  SyncFolder(io, DirName(to));
  created.Keep();
  return identity;
}

// Moves `from` (open as `source`) to `to` on one file system and returns
// the identity of the file now at `to`; nothing when the two names lie on
// different file systems, before anything has changed.
std::optional<Identity> MoveOnFileSystem(FileIo& io, const File& source, Identity identity,
                                         uint64_t size, const std::string& from,
                                         const std::string& to) {
  if (io.Rename(from.c_str(), to.c_str(), RENAME_NOREPLACE) == 0) return identity;
  int error = errno;
  if (error == EXDEV) return std::nullopt;
  if (!NoReplaceUnsupported(error)) ThrowMoveError(from, to, error);

  if (io.Link(from.c_str(), to.c_str()) == 0) {
    CreatedName linked(io, to, identity);
    if (io.Unlink(from.c_str()) != 0) throw FileError("remove", from, errno);
    linked.Keep();
    return identity;
  }
  error = errno;
  if (error == EXDEV) return std::nullopt;
  if (!LinksUnsupported(error)) ThrowMoveError(from, to, error);

  Identity copy{};
  try {
    copy = CopyToNewFile(io, source, size, to);
  } catch (const FileError& failure) {
    if (failure.error() == EEXIST) ThrowMoveError(from, to, EEXIST);
    throw;
  }
  CreatedName copied(io, to, copy);
  if (io.Unlink(from.c_str()) != 0) throw FileError("remove", from, errno);
  copied.Keep();
  return copy;
}

// Moves `from` (open as `source`) to `to` on another file system: a flushed
// copy under a private name beside `to` first, then its move into place,
// and the removal of `from` last.
void MoveAcross(FileIo& io, const File& source, uint64_t size, const std::string& from,
                const std::string& to) {
  // Not worth a copy when the name is already taken; the final move still
  // refuses it if it appears meanwhile.
  if (EntryExists(io, to)) ThrowMoveError(from, to, EEXIST);
  const std::string folder = DirName(to);
  File part = CreatePartFile(io, to);
  CreatedName partName(io, part.path());
  std::optional<Identity> placed;
  try {
    const Identity identity = IdentityOf(io, part);
    partName.Identify(identity);
    part.CopyFrom(source, 0, size);
    GiveNewFileMode(io, part, 0600);
    part.Sync();
    // Only a move within the destination folder is left.
    placed = MoveOnFileSystem(io, part, identity, size, part.path(), to);
  } catch (const FileError& error) {
    // Name the caller's file, not the private copy, when the name is taken.
    if (error.error() == EEXIST) ThrowMoveError(from, to, EEXIST);
    throw AboutFinalName(error, part.path(), to);
  }
  if (!placed) throw FileError("write", to, EXDEV);
  partName.Keep();
  CreatedName placedName(io, to, *placed);
  SyncFolder(io, folder);
  if (io.Unlink(from.c_str()) != 0) throw FileError("remove", from, errno);
  placedName.Keep();
}

}  // namespace

void MoveNoReplace(FileIo& io, const std::string& from, const std::string& to) {
  struct stat entry {};
  if (io.Lstat(from.c_str(), &entry) != 0) throw FileError("move", from, errno);
  if (!S_ISREG(entry.st_mode)) throw FileError("move", from, std::string("not a regular file"));
  const File source = File::OpenForReading(io, from);
  struct stat status {};
  if (io.Fstat(source.fd(), &status) != 0) throw FileError("read", from, errno);
  if (status.st_dev != entry.st_dev || status.st_ino != entry.st_ino) {
    throw FileError("move", from, std::string("it was replaced while being moved"));
  }
  const auto size = static_cast<uint64_t>(status.st_size);
  GiveNewFileMode(io, source, status.st_mode);
  if (MoveOnFileSystem(io, source, {status.st_dev, status.st_ino}, size, from, to)) return;
  MoveAcross(io, source, size, from, to);
}

}  // namespace drelin::platform
