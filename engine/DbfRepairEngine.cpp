#include "DbfRepairEngine.h"

#include <stdexcept>
#include <vector>

#include "ByteSource.h"
#include "DbfLayout.h"
#include "FileError.h"
#include "PreviewTable.h"
#include "TableScan.h"

namespace drelin {

namespace {

// Writes the plan: header, the source's bytes after the header (with the
// forced byte and zero lengthening of an Advance view), then the tail.
void WriteOutput(const ByteSource& source, const RepairPlan& plan, File& output,
                 const CopyProgress& progress) {
  const auto header = plan.Header();
  output.WriteAt(0, header.data(), header.size());

  const uint64_t fileEnd = source.fileLength();
  output.CopyFrom(source.file(), DbfHeader::kSize, fileEnd - DbfHeader::kSize, progress);

  if (const auto forced = source.forcedOffset()) {
    if (*forced >= fileEnd) {
      // The view runs past the file: zeros, then the forced byte.
      std::vector<uint8_t> extension(*forced + 1 - fileEnd, 0);
      extension.back() = source.forcedValue();
      output.WriteAt(fileEnd, extension.data(), extension.size());
    } else if (*forced >= DbfHeader::kSize) {
      const uint8_t value = source.forcedValue();
      output.WriteAt(*forced, &value, 1);
    }
  }
  if (!plan.tail.empty()) output.WriteAt(plan.sourceLength, plan.tail.data(), plan.tail.size());
}

}  // namespace

DbfRepairEngine::DbfRepairEngine() : io_(&SystemFileIo()) {}

DbfRepairEngine::DbfRepairEngine(FileIo& io) : io_(&io) {}

DbfRepairEngine::~DbfRepairEngine() = default;

bool DbfRepairEngine::RepairNormal(const std::string& source, const std::string& output) {
  RepairFile(source, output, kRepairNormal);
  return true;
}

void DbfRepairEngine::RepairAdvance(const std::string& source, const std::string& output) {
  RepairFile(source, output, kRepairAdvance);
}

bool DbfRepairEngine::Repair(const std::string& source, const std::string& output, int mode) {
  if (mode != kRepairNormal && mode != kRepairAdvance) return false;
  RepairFile(source, output, mode);
  return true;
}

RepairReport DbfRepairEngine::RepairFile(const std::string& source, const std::string& output,
                                         int mode, const RepairOptions& options) {
  if (mode != kRepairNormal && mode != kRepairAdvance) {
    throw std::invalid_argument("unknown repair mode " + std::to_string(mode));
  }
  const File input = File::OpenForReading(*io_, source);
  ByteSource view(input);
  const uint64_t length = view.fileLength();
  if (length < DbfHeader::kSize) throw FileError(source, "too short to be a dBASE table");
  if (length > kMaxTableLength) {
    throw FileError(source, "too large to be a dBASE table (over 4 GiB)");
  }
  if (mode == kRepairAdvance) {
    uint8_t stored[2];
    input.ReadAt(DbfHeader::kHeaderLengthOffset, stored, sizeof stored);
    const uint16_t headerLength = ReadLe16(stored);
    if (headerLength == 0) {
      throw FileError(source,
                      "the stored header length is 0, so Advance repair cannot tell where the "
                      "header ends");
    }
    view.Force(headerLength - 1u, kHeaderTerminator);
  }

  RepairReport report;
  report.scan = ScanTable(view);
  report.plan = PlanRepair(view, report.scan);

  File out = File::Create(*io_, output, options.creation, 0666, &input);
  WriteOutput(view, report.plan, out, options.progress);
  out.Close();
  return report;
}

void DbfRepairEngine::LoadPreview(const std::string& path, PreviewGrid& grid) {
  const PreviewTable table(*io_, path);
  for (size_t column = 0; column < table.columnCount(); ++column) {
    grid.InsertColumn(static_cast<int>(column), table.columnTitle(column), ColumnAlignment::kLeft,
                      table.columnWidth(column));
  }
  table.ForEachRow(0, table.rowCount(), [&](uint64_t row, const std::string_view* cells,
                                            size_t set) {
    grid.InsertRow(row, std::to_string(row + 1));
    for (size_t k = 0; k < set; ++k) {
      grid.SetCell(row, static_cast<int>(k + 1), std::string(cells[k]));
    }
  });
}

}  // namespace drelin
