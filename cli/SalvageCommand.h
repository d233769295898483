// SalvageCommand: `drelin-repair salvage`, record salvage of one table into
// a new file under the same rules as `repair --output`, with an optional
// JSON report of what was kept and skipped.
#pragma once

#include <iosfwd>
#include <string>

#include "FileIo.h"
#include "RecordSalvage.h"

namespace CLI {
class App;
}

namespace drelin::cli {

struct SalvageArguments {
  std::string mode = "normal";  // "normal" or "advance"
  std::string output;
  std::string report;  // empty: none
  std::string source;
};

// Adds the command and its options to `app`, filling `arguments`.
CLI::App* AddSalvageCommand(CLI::App& app, SalvageArguments& arguments);

// Exit codes: 0 an output was written, 1 none could be, 130 interrupted.
int RunSalvage(FileIo& io, const SalvageArguments& arguments, std::ostream& out, std::ostream& err);

// "kept 14,998 of about 15,000 records; skipped 2 ranges (4,096 and 3 bytes)"
std::string SalvageSummary(const SalvageReport& report);
std::string SalvageJson(const std::string& source, const std::string& output, const std::string& mode,
                        const SalvageReport& report);

// The JSON keys, for --help and the README.
extern const char* const kSalvageJsonKeys;

}  // namespace drelin::cli
