// SingleRepair: repairs one table into a new file at exactly the path the
// user named. The output is written under a private temporary name in the
// same folder and moved into place without replacing anything, so a failure
// or an interruption at any point (a second one, which ends the process at
// once, included) leaves nothing behind and nothing that already existed is
// ever touched. A failure is told about the output's name, never the
// temporary one.
#pragma once

#include <stdexcept>
#include <string>

#include "DbfRepairEngine.h"
#include "FileIo.h"

namespace drelin::cli {

// Raised from inside a repair when the user asked to stop (Ctrl+C, SIGTERM,
// a closed terminal).
class Interrupted : public std::runtime_error {
 public:
  Interrupted() : std::runtime_error("interrupted") {}
};

// Throws FileError (an existing output included), or Interrupted.
RepairReport RepairToNewFile(FileIo& io, const std::string& source, const std::string& output,
                             int mode, const CopyProgress& progress = nullptr);

}  // namespace drelin::cli
