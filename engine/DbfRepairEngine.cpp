#include "DbfRepairEngine.h"

#include <stdexcept>

#include "DbfLayout.h"
#include "FileError.h"
#include "PlannedRepair.h"
#include "PreviewTable.h"

namespace drelin {

namespace {

// Writes the plan: header, the source's bytes after the header (with the
// forced byte of an Advance view), then the tail.
void WriteOutput(const ByteSource& source, const RepairPlan& plan, File& output,
                 const CopyProgress& progress) {
  const auto header = plan.Header();
  output.WriteAt(0, header.data(), header.size());
  output.CopyFrom(source.file(), DbfHeader::kSize, source.length() - DbfHeader::kSize, progress);
  if (const auto forced = source.forcedOffset()) {
    const uint8_t value = source.forcedValue();
    output.WriteAt(*forced, &value, 1);
  }
  if (!plan.tail.empty()) output.WriteAt(plan.sourceLength, plan.tail.data(), plan.tail.size());
}

}  // namespace

DbfRepairEngine::DbfRepairEngine() : io_(&SystemFileIo()) {}

DbfRepairEngine::DbfRepairEngine(FileIo& io) : io_(&io) {}

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
  const PlannedRepair planned = PlanFileRepair(input, mode == kRepairAdvance);
  if (planned.refused()) throw FileError(source, planned.refusal);

  File out = File::Create(*io_, output, options.creation, 0666, &input);
  WriteOutput(planned.view, planned.plan, out, options.progress);
  out.Close();
  return {planned.plan, planned.scan, planned.advance};
}

void DbfRepairEngine::LoadPreview(const std::string& path, PreviewGrid& grid) {
  const PreviewTable table(*io_, path);
  for (size_t column = 0; column < table.columnCount(); ++column) {
    grid.InsertColumn(static_cast<int>(column), table.columnTitle(column), ColumnAlignment::kLeft,
                      table.columnWidth(column));
  }
  table.ForEachRow(0, table.rowCount(), [&](uint64_t row, const std::string_view* cells,
                                            size_t set, bool) {
    grid.InsertRow(row, std::to_string(row + 1));
    for (size_t k = 0; k < set; ++k) {
      grid.SetCell(row, static_cast<int>(k + 1), std::string(cells[k]));
    }
  });
}

}  // namespace drelin
