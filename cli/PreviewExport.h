// PreviewExport: writes a table's preview grid as an aligned terminal table,
// as CSV (RFC 4180, a title row first, LF line ends) or as JSON, all UTF-8.
// CSV bound for a terminal has its control characters escaped as the text
// table does (TerminalText.h); bound for a pipe or a file it stays raw.
// Rows stream straight from the table, so memory stays flat.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "CodePage.h"
#include "OutputSink.h"
#include "PreviewTable.h"
#include "TerminalText.h"

namespace drelin::cli {

enum class PreviewFormat {
  kText,
  kCsv,
  kTerminalCsv,  // CSV with control characters escaped
  kJson,
};

// Told how many rows are written, now and then.
using RowProgress = std::function<void(uint64_t done, uint64_t total)>;

// Writes the first `maxRows` rows (all when larger than the table).
void ExportPreview(const PreviewTable& table, PreviewFormat format, uint64_t maxRows,
                   const CodePage& codePage, OutputSink& out, const RowProgress& progress = nullptr);

}  // namespace drelin::cli
