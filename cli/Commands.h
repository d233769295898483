// The commands of drelin-repair, each taking its parsed arguments and
// returning the process's exit code. Kept apart from the argument parsing so
// tests can run them directly.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "AdvanceDecision.h"
#include "FileIo.h"
#include "SingleRepair.h"

namespace drelin::cli {

// Exit codes shared by every command.
enum ExitCode : int {
  kExitSuccess = 0,
  kExitFileError = 1,  // a file that cannot be read or written, or is refused
  kExitUsage = 2,      // a malformed command line
  kExitDamaged = 3,    // inspect: the table is damaged
  kExitSignal = 128,   // plus the signal's number: interrupted (130 for Ctrl+C)
};

constexpr const char* kVersion = "4.03";

struct RepairArguments {
  std::string mode = "normal";  // "normal" or "advance"
  std::string output;           // the single-file form
  std::string prefix = "Rep";   // the batch form
  std::string outDir = ".";
  bool prefixGiven = false;
  bool outDirGiven = false;
  std::vector<std::string> sources;
};

// --encoding's value that takes the code page from the table itself
// (TableCodePage): its .cpg, else its language-driver byte, else
// Windows-1252.
constexpr const char* kAutoEncoding = "auto";

struct PreviewArguments {
  std::string format = "text";
  std::string encoding = kAutoEncoding;
  std::string deleted = "show";  // "show", "hide" or "mark"
  int64_t rows = -1;  // -1: all
  std::string file;
};

struct InspectArguments {
  bool json = false;
  bool deep = false;  // check every record, not a sample
  std::string encoding = kAutoEncoding;
  std::string file;
};

// A warning for stderr when Normal repair of `source` misses the header
// terminator that Advance repair would restore; empty otherwise.
std::string AdvanceModeHint(FileIo& io, const std::string& source);

// The line for stderr when Advance repair found the terminator intact before
// where the stored header length puts it, and so wrote what Normal repair
// writes; empty otherwise. The second form asks the source again (the
// batch form, after its run).
std::string AdvanceNote(const std::string& source, const std::optional<AdvanceDecision>& decision);
std::string AdvanceNote(FileIo& io, const std::string& source);

// Each companion written beside a table, as "from -> to" on `out`, and what
// could not be written on `err`.
void PrintCompanions(const CompanionOutcome& companions, std::ostream& out, std::ostream& err);

int RunRepair(FileIo& io, const RepairArguments& arguments, std::ostream& out, std::ostream& err);
int RunPreview(FileIo& io, const PreviewArguments& arguments, int outFd, std::ostream& err);
int RunInspect(FileIo& io, const InspectArguments& arguments, std::ostream& out, std::ostream& err);

// Parses the command line and runs the command on `io`.
int Main(int argc, char** argv, std::ostream& out, std::ostream& err, int outFd, FileIo& io);

}  // namespace drelin::cli
