// StringTable: numbered strings, the stand-in for a module's string
// resources. The program's own table is filled at start-up; message boxes
// and the markup's <string> tag look strings up by number.
#pragma once

#include <QString>

#include <cstdint>
#include <map>

namespace drelin {

using StringTable = std::map<std::uint32_t, QString>;

// The program's own string table (user-interface thread only).
StringTable& ProgramStrings();

// The string numbered `id` of `table` (the program's when null); empty
// when there is none.
QString LoadString(const StringTable* table, std::uint32_t id);

}  // namespace drelin
