// The rules a new file-name prefix must pass.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BatchTexts.h"
#include "FilePrefix.h"

namespace drelin::batch {
namespace {

TEST(FilePrefixRules, RefusesEmptyForbiddenAndTooLongPrefixes) {
  const std::string empty = kPrefixEmpty, illegal = kPrefixIllegal;
  const std::string tooLong = "the prefix is longer than 50 characters";
  std::string accented;  // 50 characters in 100 bytes
  for (int i = 0; i < 50; ++i) accented += "\xc3\xa9";
  struct Case {
    std::string prefix;
    std::string refusal;
  };
  std::vector<Case> cases = {
      {"", empty},
      {"Rep", ""},
      {"   ", ""},  // blanks are not empty
      {"say \"hi\"", ""},
      {std::string(50, 'p'), ""},
      {std::string(51, 'p'), tooLong},
      {accented, ""},
      {accented + "x", tooLong},
      {std::string(50, '\x80'), ""},  // stray bytes count one each
      {std::string(51, '\x80'), tooLong},
      {"\xe2\x82", ""},  // a cut sequence: two characters
      {std::string(49, 'p') + "\xf0\x9f\x98\x80", ""},
      {std::string(50, 'p') + "\xf0\x9f\x98\x80", tooLong},
      {std::string(60, 'p') + ":", illegal},  // the characters are checked first
  };
  for (const char forbidden : std::string("/\\|*:?<>'")) cases.push_back({std::string("a") + forbidden + "b", illegal});
  for (const Case& c : cases) EXPECT_EQ(PrefixRefusal(c.prefix), c.refusal) << "prefix '" << c.prefix << "'";
}

}  // namespace
}  // namespace drelin::batch
