// MoveNoReplace: moves a file to a new name, on the same or another file
// system, without ever replacing anything that already bears that name.
//
// What it guarantees. `from` must be a regular file (a symbolic link or a
// folder is refused). An existing entry at `to` of any kind, a dangling
// symbolic link included, is never replaced, emptied or followed: the call
// fails with a FileError whose error() is EEXIST and leaves `from` as it
// was, so the caller can pick another name and try again. On success the
// file exists once, at `to`, with its full content and the permissions of a
// newly created file (0666 less the umask), and `from` is gone. On any other
// failure (a FileError naming the file and the OS reason) the file is still
// whole at `from` and nothing of it is at `to`: never half at each, never at
// both, and no temporary name is left behind. The move is one
// renameat2(RENAME_NOREPLACE) where the file system supports it; else a hard
// link, then the unlink of `from`; where hard links are unsupported too
// (vfat, exFAT), an exclusive create of `to`, a copy and an fsync, then the
// unlink. Across file systems the file is first copied to a private unique
// name (".drelin-*.part") in the destination folder and flushed to disk,
// then moved into place as above, the folder is flushed, and only then is
// `from` removed, so a power cut leaves at least one whole copy. Only a crash
// of the process or the machine (not a reported error) can leave more: the
// file under both names between the two steps of a link move, or a partial
// copy at its temporary name or, on file systems without links, at `to`.
// A failure names `from` or `to`, never the private name. Every system call
// goes through `io`.
#pragma once

#include <string>

#include "FileIo.h"

namespace drelin::platform {

void MoveNoReplace(FileIo& io, const std::string& from, const std::string& to);

}  // namespace drelin::platform
