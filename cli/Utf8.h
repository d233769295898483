// Utf8: the one walk through UTF-8 text that the command line's text
// handling shares (escaping for a terminal, display widths, path text,
// character counts), and the encoding of one code point.
#pragma once

#include <cstddef>
#include <string>

namespace drelin::cli {

struct Utf8Step {
  char32_t codePoint;
  bool valid;  // false: a byte that begins no well-formed sequence, taken alone
};

// The code point at `p`, moving `p` past it. A byte that does not begin a
// well-formed sequence (a stray continuation, a sequence cut short by `end`,
// an overlong form, a surrogate, past U+10FFFF) is taken alone, as the code
// point of its own value.
Utf8Step NextUtf8(const unsigned char*& p, const unsigned char* end);

// Characters in `text`, each malformed byte counting as one.
size_t CharacterCount(const std::string& text);

// Appends the UTF-8 form of a code point.
void AppendUtf8(std::string& out, char32_t codePoint);

}  // namespace drelin::cli
