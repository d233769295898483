// UserTempFolder: the folder where this user's working files live, private
// to the user: $TMPDIR (else /tmp) plus "tarnova-drelin-<uid>/", made with
// mode 0700. A shared temporary folder lets anyone create names in it, so an
// entry of that name is used only when it is a real folder owned by this
// user; a symbolic link, a file or someone else's folder is refused, never
// followed. A folder of ours that others could enter is closed to them.
#pragma once

#include <string>

#include "FileIo.h"

namespace drelin::platform {

// The folder's path, ending with "/". Throws FileError when it cannot be
// made or is refused.
std::string UserTempFolder(FileIo& io);

}  // namespace drelin::platform
