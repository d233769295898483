#include "CodePage.h"

#include <cerrno>
#include <stdexcept>

#include "MacCodePages.h"

namespace drelin {

namespace {

// The UTF-8 form of a code point below 0x100: a byte that stands for itself.
void AppendByteCodePoint(std::string& out, unsigned char value) {
  if (value < 0x80) {
    out.push_back(static_cast<char>(value));
    return;
  }
  out.push_back(static_cast<char>(0xC0 | (value >> 6)));
  out.push_back(static_cast<char>(0x80 | (value & 0x3F)));
}

// The UTF-8 form of a code point of the Basic Multilingual Plane.
std::string Utf8Of(char16_t value) {
  std::string out;
  if (value < 0x80) {
    out.push_back(static_cast<char>(value));
  } else if (value < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (value >> 6)));
    out.push_back(static_cast<char>(0x80 | (value & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (value >> 12)));
    out.push_back(static_cast<char>(0x80 | ((value >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (value & 0x3F)));
  }
  return out;
}

}  // namespace

CodePage::CodePage(const std::string& name) : name_(name) {
  // iconv would take an empty name for the locale's encoding.
  if (name.empty()) throw std::invalid_argument("the encoding name is empty");
  if (const char16_t* high = MacCodePageHighHalf(name)) {
    for (int value = 0; value < 0x100; ++value) {
      const std::string utf8 = Utf8Of(value < 0x80 ? char16_t(value) : high[value - 0x80]);
      Entry& entry = table_[static_cast<size_t>(value)];
      entry.size = static_cast<unsigned char>(utf8.size());
      utf8.copy(entry.bytes, utf8.size());
    }
    return;
  }
  converter_ = iconv_open("UTF-8", name.c_str());
  if (converter_ == reinterpret_cast<iconv_t>(-1)) {
    throw std::invalid_argument("unknown encoding '" + name + "'");
  }
  // Field names, numbers, dates and the padding of every table are ASCII
  // bytes, and each cell is decoded on its own: an encoding that reads one
  // of them otherwise (UTF-16 and UTF-32, EBCDIC, stateful ones) cannot show
  // a table.
  bool incomplete = false;
  for (int value = 0; value < 0x80; ++value) {
    const std::string utf8 = DecodeAlone(static_cast<unsigned char>(value), incomplete);
    if (utf8.size() != 1 || utf8[0] != static_cast<char>(value)) {
      iconv_close(converter_);
      throw std::invalid_argument("encoding '" + name +
                                  "' does not decode each byte 0x00 to 0x7F alone as that ASCII "
                                  "character, as a dBASE table's text needs");
    }
    Entry& entry = table_[static_cast<size_t>(value)];
    entry.size = 1;
    entry.bytes[0] = static_cast<char>(value);
  }
  // A byte that is incomplete on its own means a multi-byte encoding; one
  // that is illegal is undefined in this page.
  for (int value = 0x80; value < 0x100; ++value) {
    std::string utf8 = DecodeAlone(static_cast<unsigned char>(value), incomplete);
    if (incomplete) {
      singleByte_ = false;
      break;
    }
    if (utf8.empty() || utf8.size() > 4) {
      utf8.clear();
      AppendByteCodePoint(utf8, static_cast<unsigned char>(value));
    }
    Entry& entry = table_[static_cast<size_t>(value)];
    entry.size = static_cast<unsigned char>(utf8.size());
    utf8.copy(entry.bytes, utf8.size());
  }
}

std::string CodePage::DecodeAlone(unsigned char byte, bool& incomplete) const {
  incomplete = false;
  iconv(converter_, nullptr, nullptr, nullptr, nullptr);
  char in = static_cast<char>(byte);
  char* inPointer = &in;
  size_t inLeft = 1;
  char out[16];
  char* outPointer = out;
  size_t outLeft = sizeof out;
  const size_t result = iconv(converter_, &inPointer, &inLeft, &outPointer, &outLeft);
  if (result == static_cast<size_t>(-1)) {
    incomplete = errno == EINVAL;
    return "";
  }
  if (inLeft != 0) return "";
  // Converters that compose (Hebrew's 1255, Vietnamese's 1258) hold a
  // character back until they see what follows it: flush it out.
  iconv(converter_, nullptr, nullptr, &outPointer, &outLeft);
  return std::string(out, static_cast<size_t>(outPointer - out));
}

CodePage::~CodePage() {
  if (converter_ != reinterpret_cast<iconv_t>(-1)) iconv_close(converter_);
}

void CodePage::Append(std::string& out, std::string_view bytes) const {
  if (!singleByte_) {
    AppendThroughIconv(out, bytes);
    return;
  }
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = p + bytes.size();
  while (p < end) {
    if (*p < 0x80) {
      // Runs of ASCII are copied as they are.
      const auto* run = p;
      while (p < end && *p < 0x80) ++p;
      out.append(reinterpret_cast<const char*>(run), static_cast<size_t>(p - run));
      continue;
    }
    const Entry& entry = table_[*p++];
    out.append(entry.bytes, entry.size);
  }
}

void CodePage::AppendThroughIconv(std::string& out, std::string_view bytes) const {
  iconv(converter_, nullptr, nullptr, nullptr, nullptr);
  char* in = const_cast<char*>(bytes.data());
  size_t inLeft = bytes.size();
  char buffer[1024];
  while (inLeft > 0) {
    char* outPointer = buffer;
    size_t outLeft = sizeof buffer;
    const size_t result = iconv(converter_, &in, &inLeft, &outPointer, &outLeft);
    out.append(buffer, static_cast<size_t>(outPointer - buffer));
    if (result != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) continue;
    // An illegal or incomplete sequence: that byte stands for itself.
    AppendByteCodePoint(out, static_cast<unsigned char>(*in));
    ++in;
    --inLeft;
    iconv(converter_, nullptr, nullptr, nullptr, nullptr);
  }
  char* outPointer = buffer;
  size_t outLeft = sizeof buffer;
  iconv(converter_, nullptr, nullptr, &outPointer, &outLeft);  // flush a shift state
  out.append(buffer, static_cast<size_t>(outPointer - buffer));
}

}  // namespace drelin
