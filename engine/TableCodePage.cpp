#include "TableCodePage.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <stdexcept>

#include "CodePage.h"
#include "DbfLayout.h"
#include "File.h"
#include "FileError.h"
#include "TableCompanions.h"

namespace drelin {

namespace {

// A .cpg names one code page; a longer file is something else.
constexpr size_t kMaxCpgSize = 256;
constexpr uint8_t kAnsiDriver = 0x57;
constexpr int kUtf8Number = 65001;

// The Windows code page numbers with a name of their own here; any other
// number n is tried as "CPn".
struct NumberedPage {
  int number;
  const char* name;
};
const NumberedPage kNumberedPages[] = {
    {1250, "WINDOWS-1250"}, {1251, "WINDOWS-1251"}, {1252, "WINDOWS-1252"},
    {1253, "WINDOWS-1253"}, {1254, "WINDOWS-1254"}, {1255, "WINDOWS-1255"},
    {1256, "WINDOWS-1256"}, {1257, "WINDOWS-1257"}, {1258, "WINDOWS-1258"},
    {10000, "MACINTOSH"},   {10006, "MAC-GREEK"},   {10007, "MAC-CYRILLIC"},
    {10029, "MAC-CENTRALEUROPE"}, {20866, "KOI8-R"}, {21866, "KOI8-U"},
    {28591, "ISO-8859-1"},  {28592, "ISO-8859-2"},  {28593, "ISO-8859-3"},
    {28594, "ISO-8859-4"},  {28595, "ISO-8859-5"},  {28596, "ISO-8859-6"},
    {28597, "ISO-8859-7"},  {28598, "ISO-8859-8"},  {28599, "ISO-8859-9"},
    {28603, "ISO-8859-13"}, {28605, "ISO-8859-15"}, {kUtf8Number, "UTF-8"},
};

// dBASE's and FoxPro's language-driver ids and the code pages they stand
// for. 0x57 is resolved apart; 0x68 (Kamenicky, 895) and 0x69 (Mazovia,
// 620) have no converter here and are left out.
struct LanguageDriver {
  uint8_t id;
  int number;
};
const LanguageDriver kLanguageDrivers[] = {
    {0x01, 437},   {0x02, 850},   {0x03, 1252},  {0x04, 10000}, {0x08, 865},   {0x09, 437},
    {0x0A, 850},   {0x0B, 437},   {0x0D, 437},   {0x0E, 850},   {0x0F, 437},   {0x10, 850},
    {0x11, 437},   {0x12, 850},   {0x13, 932},   {0x14, 850},   {0x15, 437},   {0x16, 850},
    {0x17, 865},   {0x18, 437},   {0x19, 437},   {0x1A, 850},   {0x1B, 437},   {0x1C, 863},
    {0x1D, 850},   {0x1F, 852},   {0x22, 852},   {0x23, 852},   {0x24, 860},   {0x25, 850},
    {0x26, 866},   {0x37, 850},   {0x40, 852},   {0x4D, 936},   {0x4E, 949},   {0x4F, 950},
    {0x50, 874},   {0x58, 1252},  {0x59, 1252},  {0x64, 852},   {0x65, 866},   {0x66, 865},
    {0x67, 861},   {0x6A, 737},   {0x6B, 857},   {0x6C, 863},   {0x78, 950},   {0x79, 949},
    {0x7A, 936},   {0x7B, 932},   {0x7C, 874},   {0x7D, 1255},  {0x7E, 1256},  {0x86, 737},
    {0x87, 852},   {0x88, 857},   {0x96, 10007}, {0x97, 10029}, {0x98, 10006}, {0xC8, 1250},
    {0xC9, 1251},  {0xCA, 1254},  {0xCB, 1253},  {0xCC, 1257},
};

std::string Upper(std::string_view text) {
  std::string upper(text);
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return upper;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == '\0';
}

// The content without a UTF-8 byte order mark and the blanks around it.
std::string_view Trimmed(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Whether the page can decode a table here.
bool Decodes(const std::string& name) {
  try {
    CodePage page(name);
    return true;
  } catch (const std::invalid_argument&) {
    return false;
  }
}

// A number of one to six digits after blanks at `start`, alone to the end.
std::optional<int> NumberAt(const std::string& text, size_t start) {
  while (start < text.size() && text[start] == ' ') ++start;
  const size_t digits = text.size() - start;
  if (digits == 0 || digits > 6) return std::nullopt;
  if (!std::all_of(text.begin() + static_cast<std::ptrdiff_t>(start), text.end(),
                   [](unsigned char c) { return std::isdigit(c) != 0; })) {
    return std::nullopt;
  }
  return std::stoi(text.substr(start));
}

std::string FileName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string HexByte(uint8_t byte) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", byte);
  return text;
}

// At most kMaxCpgSize + 1 bytes of the file, so an oversized one shows.
std::string ReadCpg(FileIo& io, const std::string& path) {
  const File file = File::OpenForReading(io, path);
  std::string content(kMaxCpgSize + 1, '\0');
  content.resize(file.ReadAt(0, content.data(), content.size()));
  return content;
}

}  // namespace

std::string CodePageName::CpgText() const {
  if (number == kUtf8Number) return "UTF-8";
  return number > 0 ? std::to_string(number) : name;
}

std::optional<CodePageName> CodePageOfNumber(int number) {
  if (number <= 0) return std::nullopt;
  for (const NumberedPage& page : kNumberedPages) {
    if (page.number == number) {
      if (!Decodes(page.name)) return std::nullopt;
      return CodePageName{page.name, number};
    }
  }
  const std::string name = "CP" + std::to_string(number);
  if (!Decodes(name)) return std::nullopt;
  return CodePageName{name, number};
}

std::optional<CodePageName> LanguageDriverCodePage(uint8_t id) {
  if (id == kAnsiDriver) return CodePageOfNumber(1252);
  for (const LanguageDriver& driver : kLanguageDrivers) {
    if (driver.id == id) return CodePageOfNumber(driver.number);
  }
  return std::nullopt;
}

std::optional<CodePageName> ParseCpg(std::string_view content) {
  const std::string text = Upper(Trimmed(content));
  if (text.empty()) return std::nullopt;
  std::optional<int> number = NumberAt(text, 0);
  if (!number && text.compare(0, 2, "CP") == 0) number = NumberAt(text, 2);
  if (!number && text.compare(0, 4, "ANSI") == 0) number = NumberAt(text, 4);
  if (number) return CodePageOfNumber(*number);
  if (text == "UTF-8" || text == "UTF8") return CodePageOfNumber(kUtf8Number);
  // Any other name the converters know, as long as it is a plain name.
  const bool plain = std::all_of(text.begin(), text.end(), [](unsigned char c) {
    return std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == ':';
  });
  if (!plain || !Decodes(text)) return std::nullopt;
  for (const NumberedPage& page : kNumberedPages) {
    if (text == page.name) return CodePageName{text, page.number};
  }
  return CodePageName{text, 0};
}

std::string TableCodePage::Reason() const {
  const std::string cpg = cpgPath ? FileName(*cpgPath) : std::string(".cpg");
  const std::string ignored = cpgPath ? " (" + cpg + " ignored)" : "";
  switch (source) {
    case Source::kCpg:
      return "from " + cpg + " (\"" + cpgContent + "\")";
    case Source::kLanguageDriver:
      if (assumed) {
        return "assumed: the language driver byte 0x57 stands for the writing program's ANSI code "
               "page, which the table does not record" + ignored;
      }
      return "from the language driver byte " + HexByte(languageDriver) + ignored;
    case Source::kDefault:
      break;
  }
  return "the default (" + std::string(cpgPath ? cpg + " ignored" : "no .cpg") + ", " +
         (languageDriver == 0 ? std::string("no language driver byte")
                              : "language driver byte " + HexByte(languageDriver) + " unknown here") +
         ")";
}

TableCodePage ReadTableCodePage(FileIo& io, const std::string& tablePath, FolderNames* names) {
  TableCodePage result;
  {
    const File table = File::OpenForReading(io, tablePath);
    table.ReadAt(DbfHeader::kLanguageDriverOffset, &result.languageDriver, 1);
  }
  if (const auto driverPage = LanguageDriverCodePage(result.languageDriver)) {
    result.page = *driverPage;
    result.source = TableCodePage::Source::kLanguageDriver;
    result.assumed = result.languageDriver == kAnsiDriver;
    result.languageDriverKnown = true;
  }
  try {
    result.cpgPath = FindCompanion(io, tablePath, kCodePageExtension, names);
    if (!result.cpgPath) return result;
    const std::string content = ReadCpg(io, *result.cpgPath);
    const std::string name = FileName(*result.cpgPath);
    if (content.size() > kMaxCpgSize) {
      result.cpgProblem = name + " is too long to name a code page";
      return result;
    }
    result.cpgContent = std::string(Trimmed(content));
    if (const auto page = ParseCpg(content)) {
      result.page = *page;
      result.source = TableCodePage::Source::kCpg;
      result.assumed = false;
    } else {
      result.cpgProblem = name + " (\"" + result.cpgContent + "\") names no code page known here";
    }
  } catch (const FileError& error) {
    result.cpgProblem = error.what();
  }
  return result;
}

}  // namespace drelin
