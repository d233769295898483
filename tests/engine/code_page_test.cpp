// Code pages: what each accepted encoding makes of a table's bytes, and
// which encodings are refused because they cannot show a table.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "CodePage.h"

namespace drelin {
namespace {

TEST(CodePage, DecodesEachPageAsItsOwn) {
  struct Case {
    const char* page;
    std::string bytes;
    std::string utf8;
  };
  const Case cases[] = {
      {CodePage::kDefault, "Caf\xE9 \x80 10", "Caf\xC3\xA9 \xE2\x82\xAC 10"},
      // 0x81 is undefined in Windows-1252: it keeps its own code point.
      {"WINDOWS-1252", "a\x81z", "a\xC2\x81z"},
      {"CP437", "\x82t\x82", "\xC3\xA9t\xC3\xA9"},
      {"CP1251", "\xC0\xE1\xE2", "\xD0\x90\xD0\xB1\xD0\xB2"},
      {"CP866", "\x80\xAF", "\xD0\x90\xD0\xBF"},
      // Converters that hold a letter back to compose it with what follows.
      {"WINDOWS-1255", "\xE1\xF9", "\xD7\x91\xD7\xA9"},
      {"WINDOWS-1258", "\xC3\xE3", "\xC4\x82\xC4\x83"},
      // A double-byte page: one character from two bytes; a lead byte cut
      // short at the end stands for itself.
      {"CP932", "A\x82\xA0" "B\x82", "A\xE3\x81\x82" "B\xC2\x82"},
      {"UTF-8", "\xC3\xA9\xFF", "\xC3\xA9\xC3\xBF"},
  };
  for (const Case& c : cases) {
    const CodePage page(c.page);
    EXPECT_EQ(page.Decode(c.bytes), c.utf8) << c.page;
  }
  EXPECT_TRUE(CodePage("CP437").singleByte());
  EXPECT_FALSE(CodePage("CP932").singleByte());
}

// The Mac pages follow Apple's current mappings, which the C library's
// converters do not all have (Mac Greek) or follow (the euro sign).
TEST(CodePage, MacPagesAreBuiltInUnderTheirNames) {
  struct Case {
    const char* page;
    std::string bytes;
    std::string utf8;
  };
  const Case cases[] = {
      {"MACINTOSH", "\xDB\xC6\x8E", "\xE2\x82\xAC\xE2\x88\x86\xC3\xA9"},  // euro, increment, e acute
      {"x-mac-roman", "A\xF0", "A\xEF\xA3\xBF"},                               // the Apple logo
      {"CP10006", "\xA1\xE1", "\xCE\x93\xCE\xB1"},                         // Gamma, alpha
      {"mac-greek", "\xFF", "\xC2\xAD"},
      {"MAC-CYRILLIC", "\x80\xFF", "\xD0\x90\xE2\x82\xAC"},
      {"MAC-CENTRALEUROPE", "\x81\x84", "\xC4\x80\xC4\x84"},
  };
  for (const Case& c : cases) {
    const CodePage page(c.page);
    EXPECT_TRUE(page.singleByte()) << c.page;
    EXPECT_EQ(page.Decode(c.bytes), c.utf8) << c.page;
  }
}

TEST(CodePage, RefusesWhatCannotShowATable) {
  for (const char* name : {"", "NO-SUCH-PAGE", "UTF-16", "UTF-32LE", "EBCDIC-US"}) {
    EXPECT_THROW(CodePage{name}, std::invalid_argument) << name;
  }
}

}  // namespace
}  // namespace drelin
