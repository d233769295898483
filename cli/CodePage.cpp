#include "CodePage.h"

#include <cerrno>
#include <stdexcept>

namespace drelin::cli {

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

CodePage::CodePage(const std::string& name) : name_(name) {
  converter_ = iconv_open("UTF-8", name.c_str());
  if (converter_ == reinterpret_cast<iconv_t>(-1)) {
    throw std::invalid_argument("unknown encoding '" + name + "'");
  }
  // Ask for each byte alone. A byte that is incomplete on its own means a
  // multi-byte encoding; one that is illegal is undefined in this page.
  for (int value = 0; value < 256; ++value) {
    iconv(converter_, nullptr, nullptr, nullptr, nullptr);
    char in = static_cast<char>(value);
    char* inPointer = &in;
    size_t inLeft = 1;
    char out[16];
    char* outPointer = out;
    size_t outLeft = sizeof out;
    std::string utf8;
    const size_t result = iconv(converter_, &inPointer, &inLeft, &outPointer, &outLeft);
    if (result == static_cast<size_t>(-1) && errno == EINVAL) {
      singleByte_ = false;
      break;
    }
    if (result == static_cast<size_t>(-1) || inLeft != 0 || outPointer == out ||
        outPointer - out > 4) {
      AppendUtf8(utf8, static_cast<char32_t>(value));
    } else {
      utf8.assign(out, static_cast<size_t>(outPointer - out));
    }
    Entry& entry = table_[static_cast<size_t>(value)];
    entry.size = static_cast<unsigned char>(utf8.size());
    utf8.copy(entry.bytes, utf8.size());
    if (value < 0x80 && (utf8.size() != 1 || utf8[0] != static_cast<char>(value))) {
      asciiIsIdentity_ = false;
    }
  }
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
    if (asciiIsIdentity_ && *p < 0x80) {
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
    AppendUtf8(out, static_cast<unsigned char>(*in));
    ++in;
    --inLeft;
    iconv(converter_, nullptr, nullptr, nullptr, nullptr);
  }
  char* outPointer = buffer;
  size_t outLeft = sizeof buffer;
  iconv(converter_, nullptr, nullptr, &outPointer, &outLeft);  // flush a shift state
  out.append(buffer, static_cast<size_t>(outPointer - buffer));
}

}  // namespace drelin::cli
