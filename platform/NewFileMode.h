// NewFileMode: the permissions a newly created file gets here, 0666 less the
// process's umask. Files that reach the user through a rename or a link get
// them too, whatever mode they were written with.
#pragma once

#include <sys/types.h>

namespace drelin::platform {

mode_t NewFileMode();

}  // namespace drelin::platform
