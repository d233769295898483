#include "PreviewExport.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include <nlohmann/json.hpp>

namespace drelin::cli {

namespace {

// Rows between two progress reports.
constexpr uint64_t kProgressEvery = 1 << 16;

void AppendDecimal(std::string& out, uint64_t value) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  out.append(digits, result.ptr);
}

// Appends one CSV field, quoted when it holds a comma, a quote or a line
// break; escaped first for a terminal when `escape` is set.
void AppendCsvField(std::string& out, const CodePage& codePage, std::string_view bytes,
                    bool escape) {
  const size_t start = out.size();
  if (escape) {
    out += EscapeForTerminal(codePage.Decode(bytes));
  } else {
    codePage.Append(out, bytes);
  }
  const auto special = std::find_if(out.begin() + static_cast<std::ptrdiff_t>(start), out.end(),
                                    [](char c) { return c == ',' || c == '"' || c == '\n' || c == '\r'; });
  if (special == out.end()) return;
  std::string field = out.substr(start);
  out.resize(start);
  out.push_back('"');
  for (char c : field) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  out.push_back('"');
}

void ExportCsv(const PreviewTable& table, uint64_t rows, const CodePage& codePage, bool escape,
               OutputSink& out, const RowProgress& progress) {
  std::string& buffer = out.buffer();
  const size_t columns = table.columnCount();
  for (size_t c = 0; c < columns; ++c) {
    if (c > 0) buffer.push_back(',');
    AppendCsvField(buffer, codePage, table.columnTitle(c), escape);
  }
  buffer.push_back('\n');
  table.ForEachRow(0, rows, [&](uint64_t row, const std::string_view* cells, size_t set) {
    AppendDecimal(buffer, row + 1);
    for (size_t k = 0; k < set; ++k) {
      buffer.push_back(',');
      AppendCsvField(buffer, codePage, cells[k], escape);
    }
    buffer.append(columns - 1 - set, ',');
    buffer.push_back('\n');
    out.MaybeFlush();
    if (progress && (row + 1) % kProgressEvery == 0) progress(row + 1, rows);
  });
}

void ExportJson(const PreviewTable& table, uint64_t rows, const CodePage& codePage, OutputSink& out,
                const RowProgress& progress) {
  nlohmann::json columns = nlohmann::json::array();
  for (size_t c = 0; c < table.columnCount(); ++c) {
    columns.push_back({{"title", codePage.Decode(table.columnTitle(c))}, {"width", table.columnWidth(c)}});
  }
  std::string& buffer = out.buffer();
  buffer += "{\"columns\":";
  buffer += columns.dump();
  buffer += ",\"rows\":[";
  const size_t fields = table.columnCount() - 1;
  table.ForEachRow(0, rows, [&](uint64_t row, const std::string_view* cells, size_t set) {
    nlohmann::json values = nlohmann::json::array();
    values.push_back(std::to_string(row + 1));
    for (size_t k = 0; k < fields; ++k) values.push_back(k < set ? codePage.Decode(cells[k]) : std::string());
    if (row > 0) buffer.push_back(',');
    buffer += values.dump();
    out.MaybeFlush();
    if (progress && (row + 1) % kProgressEvery == 0) progress(row + 1, rows);
  });
  buffer += "]}\n";
}

void ExportText(const PreviewTable& table, uint64_t rows, const CodePage& codePage, OutputSink& out,
                const RowProgress& progress) {
  const size_t columns = table.columnCount();
  std::vector<std::string> titles(columns);
  std::vector<size_t> widths(columns);
  for (size_t c = 0; c < columns; ++c) {
    titles[c] = EscapeForTerminal(codePage.Decode(table.columnTitle(c)));
    widths[c] = DisplayWidth(titles[c]);
  }
  // First pass: the widest cell of each column among the rows shown.
  table.ForEachRow(0, rows, [&](uint64_t row, const std::string_view* cells, size_t set) {
    widths[0] = std::max(widths[0], std::to_string(row + 1).size());
    for (size_t k = 0; k < set; ++k) {
      widths[k + 1] = std::max(widths[k + 1], DisplayWidth(EscapeForTerminal(codePage.Decode(cells[k]))));
    }
  });

  std::string& buffer = out.buffer();
  auto appendRow = [&](const std::vector<std::string>& texts) {
    for (size_t c = 0; c < columns; ++c) {
      if (c > 0) buffer += " | ";
      buffer += texts[c];
      if (c + 1 < columns) buffer.append(widths[c] - DisplayWidth(texts[c]), ' ');
    }
    while (!buffer.empty() && buffer.back() == ' ') buffer.pop_back();
    buffer.push_back('\n');
  };
  appendRow(titles);
  for (size_t c = 0; c < columns; ++c) {
    if (c > 0) buffer += "-+-";
    buffer.append(widths[c], '-');
  }
  buffer.push_back('\n');
  std::vector<std::string> texts(columns);
  table.ForEachRow(0, rows, [&](uint64_t row, const std::string_view* cells, size_t set) {
    texts[0] = std::to_string(row + 1);
    for (size_t k = 0; k + 1 < columns; ++k) {
      texts[k + 1] = k < set ? EscapeForTerminal(codePage.Decode(cells[k])) : std::string();
    }
    appendRow(texts);
    out.MaybeFlush();
    if (progress && (row + 1) % kProgressEvery == 0) progress(row + 1, rows);
  });
}

}  // namespace

void ExportPreview(const PreviewTable& table, PreviewFormat format, uint64_t maxRows,
                   const CodePage& codePage, OutputSink& out, const RowProgress& progress) {
  const uint64_t rows = std::min(maxRows, table.rowCount());
  switch (format) {
    case PreviewFormat::kCsv: ExportCsv(table, rows, codePage, false, out, progress); break;
    case PreviewFormat::kTerminalCsv: ExportCsv(table, rows, codePage, true, out, progress); break;
    case PreviewFormat::kJson: ExportJson(table, rows, codePage, out, progress); break;
    case PreviewFormat::kText: ExportText(table, rows, codePage, out, progress); break;
  }
  out.Flush();
}

}  // namespace drelin::cli
