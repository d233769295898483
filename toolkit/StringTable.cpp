#include "StringTable.h"

namespace drelin {

StringTable& ProgramStrings() {
  static StringTable table;
  return table;
}

QString LoadString(const StringTable* table, std::uint32_t id) {
  const StringTable& strings = table != nullptr ? *table : ProgramStrings();
  const auto it = strings.find(id);
  return it == strings.end() ? QString() : it->second;
}

}  // namespace drelin
