#include "Commands.h"

#include <unistd.h>

#include <cctype>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <system_error>

#include "CodePage.h"
#include "DbfRepairEngine.h"
#include "FileError.h"
#include "InspectReport.h"
#include "Interrupt.h"
#include "PreviewExport.h"
#include "PreviewTable.h"
#include "ProgressMeter.h"
#include "SingleRepair.h"
#include "TableCodePage.h"
#include "TableDiagnosis.h"
#include "TerminalText.h"

namespace drelin::cli {

namespace {

// A progress callback that also turns a stop signal into Interrupted.
CopyProgress RepairProgress(ProgressMeter& meter) {
  return [&meter](uint64_t done, uint64_t total) {
    if (InterruptSignal() != 0) throw Interrupted();
    meter.Update(done, total);
  };
}

bool IsAuto(const std::string& encoding) {
  std::string lower = encoding;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower == kAutoEncoding;
}

// The code page the user named, or null (the reason written to `err`); for
// "auto", the page the table's own traits name (a FileError when the table
// cannot be read).
std::unique_ptr<CodePage> OpenCodePage(FileIo& io, const std::string& encoding,
                                       const std::string& table, std::ostream& err) {
  if (IsAuto(encoding)) return std::make_unique<CodePage>(ReadTableCodePage(io, table).page.name);
  try {
    return std::make_unique<CodePage>(encoding);
  } catch (const std::invalid_argument& error) {
    err << "drelin-repair: " << Shown(error.what())
        << " (--encoding; try names such as WINDOWS-1252, CP437, CP932, UTF-8)\n";
    return nullptr;
  }
}

}  // namespace

std::string AdvanceModeHint(FileIo& io, const std::string& source) {
  try {
    // Told after each repair: only what the repairs decide from is read.
    const TableDiagnosis diagnosis = DiagnoseTable(io, source, MeasureDepth::kHeader);
    if (!diagnosis.advanceNeeded) return "";
    return "drelin-repair: warning: " + Shown(source) +
           ": no header terminator where the stored header length (" +
           std::to_string(diagnosis.storedHeaderLength) +
           ") says the header ends, but Advance repair would put it there; a line-ending "
           "conversion that turned 0x0D into 0x0A is a common cause. Try --mode advance.\n";
  } catch (const FileError&) {
    return "";  // the repair itself went through; a hint we cannot give is no failure
  }
}

std::string AdvanceNote(const std::string& source, const std::optional<AdvanceDecision>& decision) {
  if (!decision || decision->rule != AdvanceRule::kTerminatorBefore) return "";
  return "drelin-repair: " + Shown(source) + ": header terminator found at " +
         std::to_string(*decision->terminatorOffset) + "; the stored header length " +
         std::to_string(decision->storedHeaderLength) + " was not used\n";
}

std::string AdvanceNote(FileIo& io, const std::string& source) {
  try {
    return AdvanceNote(source, DiagnoseTable(io, source, MeasureDepth::kHeader).advance);
  } catch (const FileError&) {
    return "";  // as for the hint: the repair went through
  }
}

void PrintCompanions(const CompanionOutcome& companions, std::ostream& out, std::ostream& err) {
  for (const auto& [from, to] : companions.written) out << PathText(from) << " -> " << PathText(to) << "\n";
  for (const std::string& note : companions.notes) err << "drelin-repair: " << Shown(note) << "\n";
}

int RunRepair(FileIo& io, const RepairArguments& arguments, std::ostream& out, std::ostream& err) {
  const int mode = arguments.mode == "advance" ? kRepairAdvance : kRepairNormal;
  const std::string& source = arguments.sources.front();
  if (arguments.output.empty()) {
    err << "drelin-repair: the output name is empty (--output)\n";
    return kExitUsage;
  }
  std::string note;
  CompanionOutcome companions;
  try {
    uint64_t size = 0;
    {
      const File probe = File::OpenForReading(io, source);
      size = probe.Size();
    }
    ProgressMeter meter("Repairing " + Shown(source), size);
    note = AdvanceNote(source, RepairToNewFile(io, source, arguments.output, mode,
                                               RepairProgress(meter), &companions).advance);
  } catch (const FileError& error) {
    err << "drelin-repair: " << Shown(error.what()) << "\n";
    return kExitFileError;
  } catch (const Interrupted&) {
    err << "drelin-repair: interrupted; nothing was written\n";
    return kExitSignal + InterruptSignal();
  }
  out << PathText(source) << " -> " << PathText(arguments.output) << "\n";
  PrintCompanions(companions, out, err);
  err << note;

  if (mode == kRepairNormal) err << AdvanceModeHint(io, source);
  return kExitSuccess;
}

int RunPreview(FileIo& io, const PreviewArguments& arguments, int outFd, std::ostream& err) {
  std::unique_ptr<CodePage> codePage;
  if (!IsAuto(arguments.encoding)) {
    codePage = OpenCodePage(io, arguments.encoding, arguments.file, err);
    if (!codePage) return kExitUsage;
  }
  PreviewFormat format = PreviewFormat::kText;
  if (arguments.format == "csv") {
    format = ::isatty(outFd) ? PreviewFormat::kTerminalCsv : PreviewFormat::kCsv;
  }
  if (arguments.format == "json") format = PreviewFormat::kJson;
  DeletedRows deleted = DeletedRows::kShow;
  if (arguments.deleted == "hide") deleted = DeletedRows::kHide;
  if (arguments.deleted == "mark") deleted = DeletedRows::kMark;
  try {
    const PreviewTable table(io, arguments.file);
    if (!codePage) codePage = OpenCodePage(io, arguments.encoding, arguments.file, err);
    ProgressMeter meter("Reading " + Shown(arguments.file), table.scan().length);
    OutputSink sink(outFd);
    const uint64_t rows = arguments.rows < 0 ? table.rowCount() : static_cast<uint64_t>(arguments.rows);
    ExportPreview(table, format, rows, *codePage, deleted, sink, [&](uint64_t done, uint64_t total) {
      if (InterruptSignal() != 0) throw Interrupted();
      meter.Update(done, total);
    });
  } catch (const FileError& error) {
    err << "drelin-repair: " << Shown(error.what()) << "\n";
    return kExitFileError;
  } catch (const std::system_error& error) {
    err << "drelin-repair: " << error.what() << "\n";
    return kExitFileError;
  } catch (const Interrupted&) {
    err << "drelin-repair: interrupted\n";
    return kExitSignal + InterruptSignal();
  }
  return kExitSuccess;
}

int RunInspect(FileIo& io, const InspectArguments& arguments, std::ostream& out, std::ostream& err) {
  std::unique_ptr<CodePage> codePage;
  const bool automatic = IsAuto(arguments.encoding);
  if (!automatic) {
    codePage = OpenCodePage(io, arguments.encoding, arguments.file, err);
    if (!codePage) return kExitUsage;
  }
  try {
    const TableDiagnosis diagnosis =
        DiagnoseTable(io, arguments.file, arguments.deep ? MeasureDepth::kDeep : MeasureDepth::kWhole);
    if (automatic) codePage = std::make_unique<CodePage>(diagnosis.codePage.page.name);
    out << (arguments.json ? InspectJson(arguments.file, diagnosis, *codePage, automatic)
                           : InspectText(arguments.file, diagnosis, *codePage, automatic));
    return diagnosis.sound() ? kExitSuccess : kExitDamaged;
  } catch (const FileError& error) {
    err << "drelin-repair: " << Shown(error.what()) << "\n";
    return kExitFileError;
  }
}

}  // namespace drelin::cli
