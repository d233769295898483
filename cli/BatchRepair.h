// BatchRepair: `drelin-repair repair` without --output. The same worker and
// saving as the desktop program, run without windows: every SOURCE becomes a
// row of the run, the progress log is printed as it grows, then one status
// line per row ("Done SOURCE", "Failed SOURCE", "Pending SOURCE" for a row a
// stopped run never reached) with each failure's reason on stderr, then every
// "Done" row is saved into the output folder under the file-name prefix and
// the collision rule, one "SOURCE -> DEST" line per saved file. Ctrl+C (or
// SIGTERM) acts as Stop: the file in hand finishes as a stop has it, the
// finished rows are saved; a second one ends the process at once.
#pragma once

#include <iosfwd>
#include <string>

#include "Commands.h"
#include "FileIo.h"

namespace drelin::cli {

// The message when `prefix` is refused as a file-name prefix (the Settings
// dialog's rules); empty when it is accepted.
std::string PrefixRefusal(const std::string& prefix);

// Exit codes: 0 every source repaired and saved; 1 any failed, was not
// reached or could not be saved; 2 a refused prefix or a missing output
// folder (nothing is started).
int RunBatchRepair(FileIo& io, const RepairArguments& arguments, std::ostream& out,
                   std::ostream& err);

}  // namespace drelin::cli
