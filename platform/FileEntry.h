// FileEntry: the existence test and the deletion that the batch uses on
// working files and destinations. Both act on the entry itself: a symbolic
// link is seen and removed as a link, never followed, so nothing planted in a
// folder can redirect them.
#pragma once

#include <string>

#include "FileIo.h"

namespace drelin::platform {

// True when any entry of that name exists (a dangling symbolic link too).
// A failure other than "no such entry" is a FileError: an unknown answer
// must not pass for "free".
bool EntryExists(FileIo& io, const std::string& path);

// Removes the entry; false when there was none. A failure (a folder, no
// permission) is a FileError.
bool RemoveEntry(FileIo& io, const std::string& path);

}  // namespace drelin::platform
