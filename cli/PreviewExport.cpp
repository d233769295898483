#include "PreviewExport.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cwchar>
#include <vector>

#include <nlohmann/json.hpp>

namespace drelin::cli {

namespace {

// Rows between two progress reports.
constexpr uint64_t kProgressEvery = 1 << 16;

// Decodes one UTF-8 sequence at `p`; a sequence cut short by `end` yields
// its lead byte alone.
char32_t NextCodePoint(const unsigned char*& p, const unsigned char* end) {
  const unsigned char lead = *p++;
  if (lead < 0x80) return lead;
  int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : 1;
  if (end - p < extra) return lead;
  char32_t c = lead & (0x3F >> extra);
  while (extra-- > 0) c = (c << 6) | (*p++ & 0x3F);
  return c;
}

bool NeedsEscape(char32_t c) {
  return c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0) || c == 0x2028 || c == 0x2029 ||
         (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || c == 0x200E ||
         c == 0x200F || c == '\\';
}

void AppendDecimal(std::string& out, uint64_t value) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  out.append(digits, result.ptr);
}

// Appends one CSV field, quoted when it holds a comma, a quote or a line break.
void AppendCsvField(std::string& out, const CodePage& codePage, std::string_view bytes) {
  const size_t start = out.size();
  codePage.Append(out, bytes);
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

void ExportCsv(const PreviewTable& table, uint64_t rows, const CodePage& codePage, OutputSink& out,
               const RowProgress& progress) {
  std::string& buffer = out.buffer();
  const size_t columns = table.columnCount();
  for (size_t c = 0; c < columns; ++c) {
    if (c > 0) buffer.push_back(',');
    AppendCsvField(buffer, codePage, table.columnTitle(c));
  }
  buffer.push_back('\n');
  table.ForEachRow(0, rows, [&](uint64_t row, const std::string_view* cells, size_t set) {
    AppendDecimal(buffer, row + 1);
    for (size_t k = 0; k < set; ++k) {
      buffer.push_back(',');
      AppendCsvField(buffer, codePage, cells[k]);
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

std::string EscapeForTerminal(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size());
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  const auto* end = p + utf8.size();
  while (p < end) {
    const auto* start = p;
    const char32_t c = NextCodePoint(p, end);
    if (!NeedsEscape(c)) {
      out.append(reinterpret_cast<const char*>(start), static_cast<size_t>(p - start));
      continue;
    }
    char escape[16];
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        std::snprintf(escape, sizeof escape, c < 0x100 ? "\\x%02X" : "\\u%04X", static_cast<unsigned>(c));
        out += escape;
    }
  }
  return out;
}

std::string PathText(const std::string& path) {
  std::string out;
  const auto* p = reinterpret_cast<const unsigned char*>(path.data());
  const auto* end = p + path.size();
  while (p < end) {
    const unsigned char lead = *p;
    const int extra = lead < 0x80 ? 0 : (lead >> 5) == 0x6 ? 1 : (lead >> 4) == 0xE ? 2 : (lead >> 3) == 0x1E ? 3 : -1;
    bool valid = extra >= 0 && end - p > extra;
    for (int i = 1; valid && i <= extra; ++i) valid = (p[i] & 0xC0) == 0x80;
    if (valid) {
      out.append(reinterpret_cast<const char*>(p), static_cast<size_t>(extra + 1));
      p += extra + 1;
    } else {
      AppendUtf8(out, *p++);
    }
  }
  return out;
}

size_t DisplayWidth(const std::string& utf8) {
  size_t width = 0;
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  const auto* end = p + utf8.size();
  while (p < end) {
    const char32_t c = NextCodePoint(p, end);
    if (c < 0x80) {
      ++width;
      continue;
    }
    const int columns = ::wcwidth(static_cast<wchar_t>(c));
    width += columns < 0 ? 1 : static_cast<size_t>(columns);
  }
  return width;
}

void ExportPreview(const PreviewTable& table, PreviewFormat format, uint64_t maxRows,
                   const CodePage& codePage, OutputSink& out, const RowProgress& progress) {
  const uint64_t rows = std::min(maxRows, table.rowCount());
  switch (format) {
    case PreviewFormat::kCsv: ExportCsv(table, rows, codePage, out, progress); break;
    case PreviewFormat::kJson: ExportJson(table, rows, codePage, out, progress); break;
    case PreviewFormat::kText: ExportText(table, rows, codePage, out, progress); break;
  }
  out.Flush();
}

}  // namespace drelin::cli
