// The command line of drelin-repair: its commands, options and help, parsed
// into the arguments each command takes.
#include <CLI/CLI.hpp>

#include <new>
#include <ostream>
#include <stdexcept>

#include "BatchRepair.h"
#include "Commands.h"
#include "InspectReport.h"
#include "SalvageCommand.h"
#include "TerminalText.h"

namespace drelin::cli {

int Main(int argc, char** argv, std::ostream& out, std::ostream& err, int outFd, FileIo& io) {
  CLI::App app{"Repairs damaged dBASE III tables (.dbf), shows them as a grid and diagnoses them.\n"
               "Sources are only ever read.",
               "drelin-repair"};
  app.set_version_flag("--version", std::string("drelin-repair ") + kVersion);
  app.require_subcommand(1);
  app.footer(
      "Exit codes: 0 success; 1 a file cannot be read or written or is refused; 2 a malformed\n"
      "command line; 3 inspect found damage; 128 + N ended by signal N (Ctrl+C: 130).");

  RepairArguments repair;
  CLI::App* repairCommand = app.add_subcommand(
      "repair",
      "Repair tables. With --output OUT: one SOURCE into exactly OUT, which must not exist.\n"
      "Without it: every SOURCE repaired and saved into --out-dir under the file-name prefix.");
  repairCommand->add_option("--mode", repair.mode, "normal (the default) or advance")
      ->check(CLI::IsMember({"normal", "advance"}));
  CLI::Option* outputOption =
      repairCommand->add_option("--output,-o", repair.output, "the repaired table's path (must not exist)");
  CLI::Option* prefixOption =
      repairCommand->add_option("--prefix", repair.prefix, "file-name prefix of saved tables (default Rep)");
  CLI::Option* outDirOption = repairCommand->add_option(
      "--out-dir", repair.outDir, "folder the repaired tables are saved into (default: the current one)");
  outputOption->excludes(prefixOption)->excludes(outDirOption);
  repairCommand->add_option("SOURCE", repair.sources, "table(s) to repair")->required();

  PreviewArguments preview;
  CLI::App* previewCommand =
      app.add_subcommand("preview", "Show a table as the preview grid: an Index column, then one per field.");
  previewCommand->add_option("--format", preview.format, "text (the default), csv or json")
      ->check(CLI::IsMember({"text", "csv", "json"}));
  previewCommand->add_option("--encoding", preview.encoding,
                             "code page of the table's text: auto (the default: the table's .cpg, "
                             "else its language driver byte, else WINDOWS-1252) or a name that "
                             "reads ASCII as ASCII");
  previewCommand->add_option("--deleted", preview.deleted,
                             "deleted records: show (the default), hide (Index keeps numbering "
                             "records as they stand in the file) or mark (a column Deleted, * "
                             "for each)")
      ->check(CLI::IsMember({"show", "hide", "mark"}));
  previewCommand->add_option("--rows", preview.rows, "show only the first N rows")
      ->check([](const std::string& value) {
        return value.empty() || value.front() == '-' ? std::string("--rows takes a count of 0 or more")
                                                     : std::string();
      });
  previewCommand->add_option("FILE", preview.file, "the table")->required();
  previewCommand->footer(
      "JSON: {\"columns\":[{\"title\":\"Index\",\"width\":100},...],\"rows\":[[\"1\",cell,...],...]}.\n"
      "CSV: RFC 4180 with a title row, LF line ends; on a terminal, control characters are\n"
      "escaped as in text. All output is UTF-8.");

  InspectArguments inspect;
  CLI::App* inspectCommand = app.add_subcommand(
      "inspect", "Diagnose a table: what is stored, what is found, and which repair mode fits.");
  inspectCommand->add_flag("--json", inspect.json, "write the diagnosis as JSON");
  inspectCommand->add_flag("--deep", inspect.deep, "check every record, not the first, last and evenly spaced ones");
  inspectCommand->add_option("--encoding", inspect.encoding,
                             "code page of field names: auto (the default, as for preview) or a name");
  inspectCommand->add_option("FILE", inspect.file, "the table")->required();
  inspectCommand->footer(std::string("Exit codes: 0 sound, 3 damaged, 1 unreadable.\n") + kInspectJsonKeys);

  SalvageArguments salvage;
  CLI::App* salvageCommand = AddSalvageCommand(app, salvage);

  const std::string first = argc > 1 ? argv[1] : "";
  if (!first.empty() && first[0] != '-' && first != "repair" && first != "preview" && first != "inspect" &&
      first != "salvage") {
    err << "drelin-repair: unknown command '" << argv[1] << "' (commands: repair, preview, inspect, salvage)\n"
        << "Run with --help for more information.\n";
    return kExitUsage;
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e, out, err);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e, out, err);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e, out, err);
  } catch (const CLI::ParseError& e) {
    app.exit(e, out, err);
    return kExitUsage;
  }

  // A fault of this program still ends with a message and exit 1, not an
  // abort; the writers have removed their private names on the way out.
  try {
    if (repairCommand->parsed()) {
      repair.prefixGiven = prefixOption->count() > 0;
      repair.outDirGiven = outDirOption->count() > 0;
      if (outputOption->count() > 0) {
        if (repair.sources.size() != 1) {
          err << "drelin-repair: --output takes exactly one SOURCE\n";
          return kExitUsage;
        }
        return RunRepair(io, repair, out, err);
      }
      // Without --output: the batch form (BatchRepair.h).
      return RunBatchRepair(io, repair, out, err);
    }
    if (previewCommand->parsed()) return RunPreview(io, preview, outFd, err);
    if (salvageCommand->parsed()) return RunSalvage(io, salvage, out, err);
    return RunInspect(io, inspect, out, err);
  } catch (const std::bad_alloc&) {
    err << "drelin-repair: out of memory\n";
  } catch (const std::exception& error) {
    err << "drelin-repair: internal error: " << Shown(error.what()) << "\n";
  }
  return kExitFileError;
}

}  // namespace drelin::cli
