// PreviewExport: writes a table's preview grid as an aligned terminal table,
// as CSV (RFC 4180, a title row first, LF line ends) or as JSON, all UTF-8.
// Rows stream straight from the table, so memory stays flat.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "CodePage.h"
#include "OutputSink.h"
#include "PreviewTable.h"

namespace drelin::cli {

enum class PreviewFormat { kText, kCsv, kJson };

// Told how many rows are written, now and then.
using RowProgress = std::function<void(uint64_t done, uint64_t total)>;

// Writes the first `maxRows` rows (all when larger than the table).
void ExportPreview(const PreviewTable& table, PreviewFormat format, uint64_t maxRows,
                   const CodePage& codePage, OutputSink& out, const RowProgress& progress = nullptr);

// The text as a terminal may safely show it: control characters (C0, DEL,
// C1), line and paragraph separators, bidirectional overrides and the
// backslash itself are written as escapes (\n, \x1B, \u202E, \\).
std::string EscapeForTerminal(const std::string& utf8);

// A path as UTF-8 text: valid UTF-8 stays as it is; any other byte becomes
// the code point of the same number.
std::string PathText(const std::string& path);

// Columns the text takes on a terminal.
size_t DisplayWidth(const std::string& utf8);

}  // namespace drelin::cli
