#include "PreviewExport.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include <nlohmann/json.hpp>

namespace drelin::cli {

namespace {

// Rows between two progress reports, and rows read at a time when deleted
// rows are left out.
constexpr uint64_t kProgressEvery = 1 << 16;

void AppendDecimal(std::string& out, uint64_t value) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  out.append(digits, result.ptr);
}

// One row as the export writes it: the table's row and its cells, and the
// mark column's text when there is one.
struct ShownRow {
  uint64_t row;
  const std::string_view* cells;
  size_t set;
  bool deleted;
};

// The rows an export writes, in order, at most `maxRows` of them.
class RowStream {
 public:
  RowStream(const PreviewTable& table, DeletedRows deleted, uint64_t maxRows, const RowProgress& progress)
      : table_(table), deleted_(deleted), maxRows_(maxRows), progress_(progress) {}

  bool marked() const { return deleted_ == DeletedRows::kMark; }
  // Columns written: the table's, and the mark column.
  size_t columns() const { return table_.columnCount() + (marked() ? 1 : 0); }

  template <typename Visit>
  void ForEach(Visit&& visit) const {
    const uint64_t total = table_.rowCount();
    auto report = [&](uint64_t row) {
      if (progress_ && (row + 1) % kProgressEvery == 0) progress_(row + 1, total);
    };
    if (deleted_ != DeletedRows::kHide) {
      table_.ForEachRow(0, std::min(maxRows_, total),
                        [&](uint64_t row, const std::string_view* cells, size_t set, bool deleted) {
                          visit(ShownRow{row, cells, set, deleted});
                          report(row);
                        });
      return;
    }
    // Leaving rows out, the table is read a slice at a time until enough
    // rows are shown.
    uint64_t shown = 0;
    for (uint64_t first = 0; first < total && shown < maxRows_; first += kProgressEvery) {
      table_.ForEachRow(first, kProgressEvery,
                        [&](uint64_t row, const std::string_view* cells, size_t set, bool deleted) {
                          report(row);
                          if (deleted || shown >= maxRows_) return;
                          ++shown;
                          visit(ShownRow{row, cells, set, deleted});
                        });
    }
  }

 private:
  const PreviewTable& table_;
  DeletedRows deleted_;
  uint64_t maxRows_;
  const RowProgress& progress_;
};

// The titles of the columns written, raw, and their widths.
std::vector<std::pair<std::string, int>> Titles(const PreviewTable& table, const RowStream& rows) {
  std::vector<std::pair<std::string, int>> titles;
  for (size_t c = 0; c < table.columnCount(); ++c) {
    titles.emplace_back(table.columnTitle(c), table.columnWidth(c));
    if (c == 0 && rows.marked()) titles.emplace_back(kDeletedColumnTitle, kDeletedColumnWidth);
  }
  return titles;
}

const char* MarkText(const ShownRow& row) { return row.deleted ? kDeletedMark : ""; }

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

void ExportCsv(const PreviewTable& table, const RowStream& rows, const CodePage& codePage, bool escape,
               OutputSink& out) {
  std::string& buffer = out.buffer();
  const auto titles = Titles(table, rows);
  for (size_t c = 0; c < titles.size(); ++c) {
    if (c > 0) buffer.push_back(',');
    AppendCsvField(buffer, codePage, titles[c].first, escape);
  }
  buffer.push_back('\n');
  const size_t fields = table.columnCount() - 1;
  rows.ForEach([&](const ShownRow& row) {
    AppendDecimal(buffer, row.row + 1);
    if (rows.marked()) {
      buffer.push_back(',');
      buffer += MarkText(row);
    }
    for (size_t k = 0; k < row.set; ++k) {
      buffer.push_back(',');
      AppendCsvField(buffer, codePage, row.cells[k], escape);
    }
    buffer.append(fields - row.set, ',');
    buffer.push_back('\n');
    out.MaybeFlush();
  });
}

void ExportJson(const PreviewTable& table, const RowStream& rows, const CodePage& codePage,
                OutputSink& out) {
  nlohmann::json columns = nlohmann::json::array();
  for (const auto& [title, width] : Titles(table, rows)) {
    columns.push_back({{"title", codePage.Decode(title)}, {"width", width}});
  }
  std::string& buffer = out.buffer();
  buffer += "{\"columns\":";
  buffer += columns.dump();
  buffer += ",\"rows\":[";
  const size_t fields = table.columnCount() - 1;
  bool first = true;
  rows.ForEach([&](const ShownRow& row) {
    nlohmann::json values = nlohmann::json::array();
    values.push_back(std::to_string(row.row + 1));
    if (rows.marked()) values.push_back(MarkText(row));
    for (size_t k = 0; k < fields; ++k) {
      values.push_back(k < row.set ? codePage.Decode(row.cells[k]) : std::string());
    }
    if (!first) buffer.push_back(',');
    first = false;
    buffer += values.dump();
    out.MaybeFlush();
  });
  buffer += "]}\n";
}

void ExportText(const PreviewTable& table, const RowStream& rows, const CodePage& codePage,
                OutputSink& out) {
  const size_t columns = rows.columns();
  const size_t firstField = columns - (table.columnCount() - 1);
  std::vector<std::string> titles;
  std::vector<size_t> widths;
  for (const auto& title : Titles(table, rows)) {
    titles.push_back(EscapeForTerminal(codePage.Decode(title.first)));
    widths.push_back(DisplayWidth(titles.back()));
  }
  // The texts of one row, as shown.
  std::vector<std::string> texts(columns);
  auto fill = [&](const ShownRow& row) {
    texts[0] = std::to_string(row.row + 1);
    if (rows.marked()) texts[1] = MarkText(row);
    for (size_t k = 0; k + firstField < columns; ++k) {
      texts[k + firstField] = k < row.set ? EscapeForTerminal(codePage.Decode(row.cells[k])) : std::string();
    }
  };
  // First pass: the widest cell of each column among the rows shown.
  rows.ForEach([&](const ShownRow& row) {
    fill(row);
    for (size_t c = 0; c < columns; ++c) widths[c] = std::max(widths[c], DisplayWidth(texts[c]));
  });

  std::string& buffer = out.buffer();
  auto appendRow = [&](const std::vector<std::string>& cells) {
    for (size_t c = 0; c < columns; ++c) {
      if (c > 0) buffer += " | ";
      buffer += cells[c];
      if (c + 1 < columns) buffer.append(widths[c] - DisplayWidth(cells[c]), ' ');
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
  rows.ForEach([&](const ShownRow& row) {
    fill(row);
    appendRow(texts);
    out.MaybeFlush();
  });
}

}  // namespace

void ExportPreview(const PreviewTable& table, PreviewFormat format, uint64_t maxRows,
                   const CodePage& codePage, DeletedRows deleted, OutputSink& out,
                   const RowProgress& progress) {
  const RowStream rows(table, deleted, maxRows, progress);
  switch (format) {
    case PreviewFormat::kCsv: ExportCsv(table, rows, codePage, false, out); break;
    case PreviewFormat::kTerminalCsv: ExportCsv(table, rows, codePage, true, out); break;
    case PreviewFormat::kJson: ExportJson(table, rows, codePage, out); break;
    case PreviewFormat::kText: ExportText(table, rows, codePage, out); break;
  }
  out.Flush();
}

}  // namespace drelin::cli
