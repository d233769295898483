// The command line's text handling: byte paths shown without losing a byte,
// and nothing a hostile name or table holds reaching the terminal raw.
#include <gtest/gtest.h>

#include "TerminalText.h"
#include "Utf8.h"

namespace drelin::testing {
namespace {

// Each malformed byte stands alone, whatever it is part of.
TEST(TerminalText, MalformedUtf8IsTakenByteByByte) {
  struct Case {
    std::string bytes, path, escaped;
    size_t characters;
  };
  const std::vector<Case> cases = {
      {"caf\xC3\xA9", "caf\xC3\xA9", "caf\xC3\xA9", 4},
      {"\xE2\x82\xAC!", "\xE2\x82\xAC!", "\xE2\x82\xAC!", 2},
      {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80", 1},
      {"\xFF" "a", "\xC3\xBF" "a", "\\xFF" "a", 2},             // never a lead byte
      {"\xC3", "\xC3\x83", "\\xC3", 1},                        // cut short
      {"\xC0\xAF", "\xC3\x80\xC2\xAF", "\\xC0\\xAF", 2},        // overlong '/'
      {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xC2\x80", "\\xED\\xA0\\x80", 3},  // a surrogate
      {"\xF4\x90\x80\x80", "\xC3\xB4\xC2\x90\xC2\x80\xC2\x80", "\\xF4\\x90\\x80\\x80", 4},
      {"\x1B[2J\\\n\t", "\x1B[2J\\\n\t", "\\x1B[2J\\\\\\n\\t", 7},
      {"\xE2\x80\xAE" "evil", "\xE2\x80\xAE" "evil", "\\u202Eevil", 5},  // right-to-left override
      {"\xC2\x9B" "1m", "\xC2\x9B" "1m", "\\x9B" "1m", 3},             // C1 control sequence introducer
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.bytes);
    EXPECT_EQ(cli::PathText(test.bytes), test.path);
    EXPECT_EQ(cli::EscapeForTerminal(test.bytes), test.escaped);
    EXPECT_EQ(cli::CharacterCount(test.bytes), test.characters);
  }
  // A path is shown as its text: a stray byte as its own code point, a
  // control character escaped.
  EXPECT_EQ(cli::Shown("a\xFF\x9B\n.dbf"), "a\xC3\xBF\\x9B\\n.dbf");
}

}  // namespace
}  // namespace drelin::testing
