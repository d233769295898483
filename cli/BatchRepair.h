// BatchRepair: `drelin-repair repair` without --output. The same worker and
// saving as the desktop program, run without windows: every SOURCE becomes a
// row of the run, the progress log is printed as it grows, then one status
// line per row ("Done SOURCE", "Failed SOURCE", "Pending SOURCE" for a row a
// stopped run never reached) with each failure's reason on stderr, then every
// "Done" row is saved into the output folder under the file-name prefix and
// the collision rule, one "SOURCE -> DEST" line per saved file. The output
// folder is made sure of (a folder we can write in) before anything starts.
//
// Ctrl+C, SIGTERM and a closed terminal (SIGHUP) act as Stop: the file in
// hand finishes as a stop has it, the finished rows are saved; a second one
// ends the process at once, its working files removed. During the save a
// signal ends the save after the table in hand instead, and the tables not
// saved are discarded with a message each. Each signal is answered at once
// on stderr with what will happen.
#pragma once

#include <iosfwd>
#include <string>

#include "Commands.h"
#include "FileIo.h"

namespace drelin::cli {

// Exit codes: 0 every source repaired and saved; 1 any failed, was not
// reached or could not be saved; 2 a refused prefix, or an output folder
// that is missing, not a folder or not writable (nothing is started).
int RunBatchRepair(FileIo& io, const RepairArguments& arguments, std::ostream& out,
                   std::ostream& err);

}  // namespace drelin::cli
