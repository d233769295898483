// MacCodePages: the four Macintosh code pages dBASE language drivers name
// (Roman 10000, Greek 10006, Cyrillic 10007, Central European 10029), as
// Apple publishes their mappings. They are built in because the C library's
// converters lack Mac Greek and follow older Apple tables for a few bytes
// of the others (the euro sign, the Apple logo, the increment sign).
#pragma once

#include <string>

namespace drelin {

// The code points of bytes 0x80 to 0xFF (bytes below are ASCII) of the Mac
// code page `name`, in any letter case: MACINTOSH (or MAC, MACROMAN,
// MAC-ROMAN, X-MAC-ROMAN, CP10000), MAC-GREEK, MAC-CYRILLIC,
// MAC-CENTRALEUROPE, and their MACxxx, X-MAC-xxx and CP100xx forms;
// null for any other name.
const char16_t* MacCodePageHighHalf(const std::string& name);

}  // namespace drelin
