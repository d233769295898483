// InspectReport: a table's diagnosis as plain sentences for a person, or as
// JSON for a program. The JSON keys are listed in the command's help.
#pragma once

#include <string>

#include "CodePage.h"
#include "TableDiagnosis.h"

namespace drelin::cli {

std::string InspectText(const std::string& path, const TableDiagnosis& diagnosis,
                        const CodePage& codePage);
std::string InspectJson(const std::string& path, const TableDiagnosis& diagnosis,
                        const CodePage& codePage);

// The JSON keys, for --help and the README.
extern const char* const kInspectJsonKeys;

}  // namespace drelin::cli
