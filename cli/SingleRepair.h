// SingleRepair: repairs one table into a new file at exactly the path the
// user named. The output is written under a private temporary name in the
// same folder and moved into place without replacing anything, so a failure
// or an interruption at any point (a second one, which ends the process at
// once, included) leaves nothing behind and nothing that already existed is
// ever touched. A failure is told about the output's name, never the
// temporary one.
//
// The repaired table takes its companions along as saving does
// (SavedCompanions: the source's memo file, a .cpg naming its code page),
// under the output's base name. A companion's name that is taken refuses
// the repair before anything is written, as a taken output does; a
// companion that cannot be written once the table is in place is only
// noted.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "DbfRepairEngine.h"
#include "FileIo.h"
#include "SavedCompanions.h"

namespace drelin::cli {

// Raised from inside a repair when the user asked to stop (Ctrl+C, SIGTERM,
// a closed terminal).
class Interrupted : public std::runtime_error {
 public:
  Interrupted() : std::runtime_error("interrupted") {}
};

// What went along with the table: each companion written (from, to), and
// notes on what could not.
struct CompanionOutcome {
  std::vector<std::pair<std::string, std::string>> written;
  std::vector<std::string> notes;
};

// Throws FileError (an existing output or companion name included), or
// Interrupted.
RepairReport RepairToNewFile(FileIo& io, const std::string& source, const std::string& output,
                             int mode, const CopyProgress& progress = nullptr,
                             CompanionOutcome* outcome = nullptr);

// The companions of `source` for a table to be written at `output`. Throws
// FileError when a companion's name is taken there, before anything is
// written.
batch::SavedCompanions PlanCompanionsBeside(FileIo& io, const std::string& source, const std::string& output);
// Writes them beside the table now at `output`; what cannot be written is
// only noted.
void WriteCompanionsBeside(FileIo& io, const batch::SavedCompanions& companions, const std::string& output,
                           CompanionOutcome& outcome);

// The same rules for any new file: `write` creates the file it is given (a
// private temporary name beside `output`) exclusively, and fills it; it is
// then moved to `output` without replacing anything.
void WriteNewFile(FileIo& io, const std::string& output, const std::function<void(const std::string& path)>& write);

}  // namespace drelin::cli
