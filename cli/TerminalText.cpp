#include "TerminalText.h"

#include <cstdio>
#include <cwchar>

#include "Utf8.h"

namespace drelin::cli {

namespace {

bool NeedsEscape(char32_t c) {
  return c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0) || c == 0x2028 || c == 0x2029 ||
         (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || c == 0x200E ||
         c == 0x200F || c == '\\';
}

void AppendEscape(std::string& out, char32_t c) {
  switch (c) {
    case '\\': out += "\\\\"; return;
    case '\n': out += "\\n"; return;
    case '\r': out += "\\r"; return;
    case '\t': out += "\\t"; return;
    default: break;
  }
  char escape[16];
  std::snprintf(escape, sizeof escape, c < 0x100 ? "\\x%02X" : "\\u%04X", static_cast<unsigned>(c));
  out += escape;
}

}  // namespace

std::string EscapeForTerminal(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size());
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  const auto* end = p + utf8.size();
  while (p < end) {
    const auto* start = p;
    const Utf8Step step = NextUtf8(p, end);
    if (step.valid && !NeedsEscape(step.codePoint)) {
      out.append(reinterpret_cast<const char*>(start), static_cast<size_t>(p - start));
    } else {
      AppendEscape(out, step.codePoint);
    }
  }
  return out;
}

std::string PathText(const std::string& path) {
  std::string out;
  out.reserve(path.size());
  const auto* p = reinterpret_cast<const unsigned char*>(path.data());
  const auto* end = p + path.size();
  while (p < end) {
    const auto* start = p;
    const Utf8Step step = NextUtf8(p, end);
    if (step.valid) {
      out.append(reinterpret_cast<const char*>(start), static_cast<size_t>(p - start));
    } else {
      AppendUtf8(out, step.codePoint);
    }
  }
  return out;
}

std::string Shown(const std::string& text) { return EscapeForTerminal(PathText(text)); }

size_t DisplayWidth(const std::string& utf8) {
  size_t width = 0;
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  const auto* end = p + utf8.size();
  while (p < end) {
    const char32_t c = NextUtf8(p, end).codePoint;
    if (c < 0x80) {
      ++width;
      continue;
    }
    const int columns = ::wcwidth(static_cast<wchar_t>(c));
    width += columns < 0 ? 1 : static_cast<size_t>(columns);
  }
  return width;
}

}  // namespace drelin::cli
