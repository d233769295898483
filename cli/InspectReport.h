// InspectReport: a table's diagnosis as plain sentences for a person, or as
// JSON for a program. The JSON keys are listed in the command's help.
#pragma once

#include <string>

#include "CodePage.h"
#include "TableDiagnosis.h"

namespace drelin::cli {

// Names are decoded with `codePage`: the table's own (`automatic`) or the
// one the user gave, which the report then sets beside the table's own.
std::string InspectText(const std::string& path, const TableDiagnosis& diagnosis,
                        const CodePage& codePage, bool automatic = true);
std::string InspectJson(const std::string& path, const TableDiagnosis& diagnosis,
                        const CodePage& codePage, bool automatic = true);

// The JSON keys, for --help and the README.
extern const char* const kInspectJsonKeys;

}  // namespace drelin::cli
