// TerminalText: text as the command line prints it. Paths are bytes, shown as
// UTF-8 without losing a byte; anything a hostile table or file name could
// use to drive the terminal (escape sequences, line breaks, bidirectional
// overrides) is written as a visible escape instead.
#pragma once

#include <cstddef>
#include <string>

namespace drelin::cli {

// The text as a terminal may safely show it: control characters (C0, DEL,
// C1), line and paragraph separators, bidirectional overrides, bytes that
// are not UTF-8 and the backslash itself are written as escapes (\n, \x1B,
// \u202E, \\).
std::string EscapeForTerminal(const std::string& utf8);

// A path as UTF-8 text: valid UTF-8 stays as it is; any other byte becomes
// the code point of the same number.
std::string PathText(const std::string& path);

// A path or message for stderr: PathText, escaped for the terminal.
std::string Shown(const std::string& text);

// Columns the text takes on a terminal.
size_t DisplayWidth(const std::string& utf8);

}  // namespace drelin::cli
