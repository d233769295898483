#include "FilePrefix.h"

#include "BatchTexts.h"

namespace drelin::batch {
namespace {

// Bytes of the well-formed UTF-8 sequence at `text[at]`; 1 for a byte that
// begins none (so it counts as one character on its own).
size_t SequenceLength(const std::string& text, size_t at) {
  const auto byte = [&text](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  const size_t extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
  if (extra == 0 || lead > 0xF4 || text.size() - at - 1 < extra) return 1;
  char32_t c = lead & (0x3F >> extra);
  for (size_t i = 1; i <= extra; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 1;
    c = (c << 6) | (byte(at + i) & 0x3F);
  }
  // The shortest form only, and no surrogates.
  static constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
  if (c < kLeast[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 1;
  return extra + 1;
}

size_t CharacterCount(const std::string& text) {
  size_t count = 0;
  for (size_t at = 0; at < text.size(); ++count) at += SequenceLength(text, at);
  return count;
}

}  // namespace

std::string PrefixRefusal(const std::string& prefix) {
  if (prefix.empty()) return kPrefixEmpty;
  if (prefix.find_first_of(kPrefixForbidden) != std::string::npos) return kPrefixIllegal;
  if (CharacterCount(prefix) > static_cast<size_t>(kPrefixMaxLength)) {
    return "the prefix is longer than 50 characters";
  }
  return "";
}

}  // namespace drelin::batch
