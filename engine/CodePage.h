// CodePage: turns a table's text bytes into UTF-8, one way for every
// reader of a table (the command line's preview and the desktop preview
// window). Single-byte code pages (the common case, Windows-1252 by default)
// decode through a 256-entry table built once; the East-Asian double-byte
// pages go through iconv per text; the Mac pages of dBASE's language drivers
// are built in (MacCodePages.h). Every encoding accepted reads ASCII bytes
// as ASCII. A byte the encoding leaves undefined becomes the code point of
// the same number, as the Windows code pages do, so nothing is ever dropped
// or replaced.
#pragma once

#include <iconv.h>

#include <array>
#include <string>
#include <string_view>

namespace drelin {

class CodePage {
 public:
  static constexpr const char* kDefault = "WINDOWS-1252";

  // Throws std::invalid_argument, with the reason, for an empty name, an
  // encoding iconv does not know, and one that does not decode each byte
  // 0x00 to 0x7F alone as that ASCII character (UTF-16 and UTF-32, EBCDIC).
  explicit CodePage(const std::string& name = kDefault);
  ~CodePage();
  CodePage(const CodePage&) = delete;
  CodePage& operator=(const CodePage&) = delete;

  const std::string& name() const { return name_; }
  bool singleByte() const { return singleByte_; }

  // Appends the UTF-8 form of `bytes` to `out`.
  void Append(std::string& out, std::string_view bytes) const;
  std::string Decode(std::string_view bytes) const {
    std::string out;
    Append(out, bytes);
    return out;
  }

 private:
  struct Entry {
    char bytes[4];
    unsigned char size;
  };

  // What `byte` alone decodes to; empty when it is illegal alone, or
  // incomplete (then `incomplete` is set).
  std::string DecodeAlone(unsigned char byte, bool& incomplete) const;
  void AppendThroughIconv(std::string& out, std::string_view bytes) const;

  std::string name_;
  iconv_t converter_ = reinterpret_cast<iconv_t>(-1);
  bool singleByte_ = true;
  std::array<Entry, 256> table_{};
};

}  // namespace drelin
