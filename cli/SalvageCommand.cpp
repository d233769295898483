#include "SalvageCommand.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <ostream>

#include "Commands.h"
#include "FileEntry.h"
#include "FileError.h"
#include "Interrupt.h"
#include "ProgressMeter.h"
#include "SingleRepair.h"
#include "TerminalText.h"

namespace drelin::cli {

const char* const kSalvageJsonKeys =
    "JSON keys of the salvage report (--report):\n"
    "  source, output, mode            what was salvaged into what, read as which repair reads it\n"
    "  kept                            records written\n"
    "  expected                        about how many records the damaged data area held\n"
    "  skipped [{offset, length, reason}]   byte ranges of the source left out, in order\n"
    "  skipped_count, skipped_bytes    all of them (skipped lists at most 100,000)\n"
    "  resync [offset]                 source offsets where alignment was found again\n"
    "  uncertain                       true: the table gives too little to judge alignment\n"
    "                                  (records under 8 bytes, mostly identical records, ...)\n"
    "  repaired_as_normal              true: no fields, so nothing to salvage; repaired as Normal\n"
    "  header_length, record_length, output_size    of the table written\n";

namespace {

// 14998 -> "14,998"
std::string Grouped(uint64_t value) {
  std::string digits = std::to_string(value);
  for (size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
  return digits;
}

std::string SkippedText(const SalvageReport& report) {
  const uint64_t count = report.skippedCount;
  if (count == 0) return "nothing skipped";
  std::string text = "skipped " + Grouped(count) + (count == 1 ? " range (" : " ranges (");
  if (count > 4 || report.skipped.size() < count) return text + Grouped(report.skippedBytes) + " bytes in all)";
  for (size_t i = 0; i < report.skipped.size(); ++i) {
    if (i > 0) text += i + 1 == report.skipped.size() ? " and " : ", ";
    text += Grouped(report.skipped[i].length);
  }
  return text + " bytes)";
}

}  // namespace

std::string SalvageSummary(const SalvageReport& report) {
  std::string text = "kept " + Grouped(report.kept) + " of about " + Grouped(report.expected) + " records; " +
                     SkippedText(report);
  if (report.repairedAsNormal) text += "; the table has no fields, so it was repaired as Normal repair does";
  else if (report.uncertain) text += "; the table gives too little to judge alignment: check the result";
  return text;
}

std::string SalvageJson(const std::string& source, const std::string& output, const std::string& mode,
                        const SalvageReport& report) {
  using json = nlohmann::ordered_json;
  json skipped = json::array();
  for (const SkippedRange& range : report.skipped) {
    skipped.push_back({{"offset", range.offset}, {"length", range.length}, {"reason", SkipReasonText(range.reason)}});
  }
  const json document = {
      {"source", PathText(source)},
      {"output", PathText(output)},
      {"mode", mode},
      {"kept", report.kept},
      {"expected", report.expected},
      {"skipped", skipped},
      {"skipped_count", report.skippedCount},
      {"skipped_bytes", report.skippedBytes},
      {"resync", report.resync},
      {"uncertain", report.uncertain},
      {"repaired_as_normal", report.repairedAsNormal},
      {"header_length", report.headerLength},
      {"record_length", report.recordLength},
      {"output_size", report.outputLength},
  };
  return document.dump(2) + "\n";
}

CLI::App* AddSalvageCommand(CLI::App& app, SalvageArguments& arguments) {
  CLI::App* command = app.add_subcommand(
      "salvage",
      "Recover the records of a table whose data area is damaged (zeroed or garbled sectors, bytes\n"
      "inserted or lost, overwritten deletion flags) into exactly OUT, which must not exist; its memo\n"
      "file and a .cpg naming its code page go along, as with repair --output.");
  command->add_option("--mode", arguments.mode, "read the header as normal (the default) or advance repair does")
      ->check(CLI::IsMember({"normal", "advance"}));
  command->add_option("--output,-o", arguments.output, "the salvaged table's path (must not exist)")->required();
  command->add_option("--report", arguments.report, "also write what was kept and skipped as JSON (must not exist)");
  command->add_option("SOURCE", arguments.source, "the damaged table")->required();
  command->footer(std::string("Exit codes: 0 a table was written, 1 none could be, 2 a malformed command line.\n") +
                  kSalvageJsonKeys);
  return command;
}

int RunSalvage(FileIo& io, const SalvageArguments& arguments, std::ostream& out, std::ostream& err) {
  const int mode = arguments.mode == "advance" ? kRepairAdvance : kRepairNormal;
  const std::string& source = arguments.source;
  SalvageReport report;
  batch::SavedCompanions companions;
  try {
    if (!arguments.report.empty() && platform::EntryExists(io, arguments.report)) {
      throw FileError(arguments.report, "already exists; choose a new name (nothing was replaced)");
    }
    companions = PlanCompanionsBeside(io, source, arguments.output);
    uint64_t size = 0;
    {
      const File probe = File::OpenForReading(io, source);
      size = probe.Size();
    }
    ProgressMeter meter("Salvaging " + Shown(source), size);
    SalvageOptions options;
    options.creation = File::Creation::kExclusive;
    options.progress = [&meter](uint64_t done, uint64_t total) {
      if (InterruptSignal() != 0) throw Interrupted();
      meter.Update(done, total);
    };
    WriteNewFile(io, arguments.output, [&](const std::string& temporary) {
      report = SalvageTable(io, source, temporary, mode, options);
    });
  } catch (const FileError& error) {
    err << "drelin-repair: " << Shown(error.what()) << "\n";
    if (mode == kRepairNormal) err << AdvanceModeHint(io, source);
    return kExitFileError;
  } catch (const Interrupted&) {
    err << "drelin-repair: interrupted; nothing was written\n";
    return kExitSignal + InterruptSignal();
  }

  if (!arguments.report.empty()) {
    try {
      const std::string json = SalvageJson(source, arguments.output, arguments.mode, report);
      WriteNewFile(io, arguments.report, [&](const std::string& temporary) {
        File file = File::Create(io, temporary, File::Creation::kExclusive);
        file.WriteAt(0, json.data(), json.size());
        file.Close();
      });
    } catch (const FileError& error) {
      // The table and its report go together: without the report, the
      // table is taken back, and nothing was written.
      err << "drelin-repair: " << Shown(error.what()) << "\n";
      try {
        platform::RemoveEntry(io, arguments.output);
        err << "drelin-repair: " << Shown(arguments.output) << " was removed again; nothing was written\n";
      } catch (const FileError& removal) {
        err << "drelin-repair: " << Shown(removal.what()) << "\n";
      }
      return kExitFileError;
    }
  }
  // The memo file and the code page go along once the table and its report
  // are in place, as a repair's do.
  CompanionOutcome written;
  WriteCompanionsBeside(io, companions, arguments.output, written);
  out << PathText(source) << " -> " << PathText(arguments.output) << "\n";
  PrintCompanions(written, out, err);
  err << AdvanceNote(source, report.advance);
  err << "drelin-repair: " << Shown(source) << ": " << SalvageSummary(report) << "\n";
  return kExitSuccess;
}

}  // namespace drelin::cli
