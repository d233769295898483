// TableCodePage: which code page a table's text is written in, as the table
// itself tells it. A companion code page file (.cpg, as shapefile tools
// write it) wins; else the language-driver byte at offset 29 of the header,
// through the table of dBASE's and FoxPro's driver ids; else Windows-1252.
// The id 0x57 means "the writing program's current ANSI code page", which
// no file records: it is taken as Windows-1252, and said to be assumed.
//
// A .cpg holds, in any letter case and with blanks around it ignored: a bare
// number (65001 is UTF-8, any other a Windows code page), "CPn", "ANSI n",
// "UTF-8", or an encoding name the converters know. Anything else, or a
// page that cannot decode a table, is ignored, and the reason kept.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "FileIo.h"
#include "TableCompanions.h"

namespace drelin {

struct CodePageName {
  std::string name;  // as CodePage takes it: "CP866", "WINDOWS-1251", "UTF-8"
  int number = 0;    // the Windows code page number; 0 when it has none

  // How a .cpg names it: the bare number, else the name ("UTF-8").
  std::string CpgText() const;
};

struct TableCodePage {
  enum class Source { kDefault, kCpg, kLanguageDriver };

  CodePageName page{"WINDOWS-1252", 1252};
  Source source = Source::kDefault;
  // The id 0x57: Windows-1252 stands in for a page the file does not record.
  bool assumed = false;
  uint8_t languageDriver = 0;       // the header's byte 29 (0 when absent)
  bool languageDriverKnown = false;  // in the driver table, with a converter here
  std::optional<std::string> cpgPath;
  std::string cpgContent;  // what the .cpg says, blanks around it taken away
  // Why a .cpg there was not used, as a sentence ("orders.cpg (\"x\") names
  // no code page known here"); empty otherwise.
  std::string cpgProblem;

  // Known from a .cpg or from a language-driver id other than 0x57: a
  // repaired copy (whose header has no language byte) is given a .cpg.
  bool known() const { return source != Source::kDefault && !assumed; }
  // Where the choice came from, as a clause: "from the language driver byte
  // 0x65", "from orders.cpg (\"CP1251\")", "assumed: ...", "the default: ...".
  std::string Reason() const;
};

// The code page of a language-driver id; nothing for 0, an unknown id, or
// one whose page has no converter here (0x68 Kamenicky, 0x69 Mazovia).
std::optional<CodePageName> LanguageDriverCodePage(uint8_t id);

// The page of a Windows code page number, when it can decode a table here.
std::optional<CodePageName> CodePageOfNumber(int number);

// What a .cpg's content names; nothing for content that names no code page
// that can decode a table here.
std::optional<CodePageName> ParseCpg(std::string_view content);

// The code page of the table at `tablePath` (its folder searched for the
// .cpg through `names` when given). A FileError when the table cannot be
// opened or read; a .cpg that cannot be read is only ignored.
TableCodePage ReadTableCodePage(FileIo& io, const std::string& tablePath,
                                FolderNames* names = nullptr);

}  // namespace drelin
