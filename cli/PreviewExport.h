// PreviewExport: writes a table's preview grid as an aligned terminal table,
// as CSV (RFC 4180, a title row first, LF line ends) or as JSON, all UTF-8.
// CSV bound for a terminal has its control characters escaped as the text
// table does (TerminalText.h); bound for a pipe or a file it stays raw.
// Rows stream straight from the table, so memory stays flat.
//
// Deleted records show like the others, or are left out (the Index column
// still numbers records as they stand in the file), or are marked in a
// column "Deleted" after Index: "*" for a deleted record, empty otherwise.
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

enum class DeletedRows { kShow, kHide, kMark };

// The "Deleted" column of DeletedRows::kMark: its title, its width (that of
// a one-byte field, as the flag is) and the mark of a deleted record.
constexpr const char* kDeletedColumnTitle = "Deleted";
constexpr int kDeletedColumnWidth = 105;
constexpr const char* kDeletedMark = "*";

// Told how many of the table's rows are read, now and then.
using RowProgress = std::function<void(uint64_t done, uint64_t total)>;

// Writes the first `maxRows` rows shown (all when there are fewer).
void ExportPreview(const PreviewTable& table, PreviewFormat format, uint64_t maxRows,
                   const CodePage& codePage, DeletedRows deleted, OutputSink& out,
                   const RowProgress& progress = nullptr);

}  // namespace drelin::cli
