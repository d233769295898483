#include "InspectReport.h"

#include <cstdio>
#include <functional>

#include <nlohmann/json.hpp>

#include "DbfLayout.h"
#include "PreviewExport.h"

namespace drelin::cli {

const char* const kInspectJsonKeys =
    "JSON keys of inspect --json:\n"
    "  file, size                      the path and its length in bytes\n"
    "  stored.version, stored.date ([year, month, day] bytes), stored.record_count,\n"
    "  stored.header_length, stored.record_length     the header as found\n"
    "  fields [{name, type, length, decimals}]        descriptors before the terminator\n"
    "  field_count                     all descriptors (fields lists at most 4096)\n"
    "  terminator_offset (null: none), terminator_agrees (with the stored header length)\n"
    "  code_page: {name, number (null: none), source (cpg, language_driver or default),\n"
    "              assumed (0x57), language_driver, cpg_file (null: none), decoded_with}\n"
    "  first_record_offset, first_record_deleted, deleted_records\n"
    "  memo: {fields [name], file (null: none found)}\n"
    "  end.eof_byte (0x1A present), end.partial_record_bytes (0: none)\n"
    "  repair (null: beyond repair): {mode, version, record_count, header_length,\n"
    "                                 record_length, output_size}\n"
    "  data_area (null: no fields or records): {records, checked, every_record, misfits,\n"
    "    first_misfit_offset (null: none), end_shift (null: none), damaged}\n"
    "  salvage_recommended (true: the records are damaged; salvage recovers the intact ones)\n"
    "  problems [sentence], notes [sentence], sound (true: no problems)\n";

namespace {

std::string TypeText(uint8_t type) {
  if (type >= 0x21 && type < 0x7F) return std::string(1, static_cast<char>(type));
  return Hex(type);
}

const char* SourceKey(TableCodePage::Source source) {
  switch (source) {
    case TableCodePage::Source::kCpg: return "cpg";
    case TableCodePage::Source::kLanguageDriver: return "language_driver";
    case TableCodePage::Source::kDefault: break;
  }
  return "default";
}

std::string CodePageLine(const TableDiagnosis& d, const CodePage& codePage, bool automatic) {
  const std::string own = d.codePage.page.name + ", " + d.codePage.Reason();
  if (automatic) return "Code page: " + own;
  return "Code page: " + codePage.name() + " (--encoding); the table's own: " + own;
}

// The memo fields and the memo file, when the table has either.
void MemoLines(const TableDiagnosis& d, const CodePage& codePage,
               const std::function<void(const std::string&)>& line) {
  if (!d.memoFields.empty()) {
    std::string names;
    for (const auto& field : d.memoFields) {
      names += (names.empty() ? "" : ", ") + EscapeForTerminal(codePage.Decode(field.name)) + " (" +
               TypeText(field.type) + ")";
    }
    line("Memo fields: " + names);
  }
  if (d.memoFile) {
    line("Memo file: " + Shown(*d.memoFile));
  } else if (!d.memoFields.empty()) {
    line("Memo file: none found");
  }
}

}  // namespace

std::string InspectText(const std::string& path, const TableDiagnosis& d, const CodePage& codePage,
                        bool automatic) {
  std::string out;
  auto line = [&](const std::string& text) { out += text + "\n"; };
  line("File: " + EscapeForTerminal(PathText(path)));
  line("Size: " + std::to_string(d.fileSize) + " bytes");
  char date[32];
  std::snprintf(date, sizeof date, "%04d-%02d-%02d", 1900 + d.lastUpdate[0], d.lastUpdate[1], d.lastUpdate[2]);
  line("Stored header: version " + Hex(d.version) + ", last update " + date + ", record count " +
       std::to_string(d.storedRecordCount) + ", header length " + std::to_string(d.storedHeaderLength) +
       ", record length " + std::to_string(d.storedRecordLength));
  line("Fields: " + std::to_string(d.fieldCount));
  for (const auto& field : d.fields) {
    line("  " + EscapeForTerminal(codePage.Decode(field.name)) + "  " + TypeText(field.type) + "  length " +
         std::to_string(field.length) + ", decimals " + std::to_string(field.decimals));
  }
  if (d.fieldCount > d.fields.size()) {
    line("  ... and " + std::to_string(d.fieldCount - d.fields.size()) + " more");
  }
  line(Shown(CodePageLine(d, codePage, automatic)));
  MemoLines(d, codePage, line);
  if (d.terminatorOffset) {
    line("Header terminator: at offset " + std::to_string(*d.terminatorOffset) +
         (d.terminatorAgrees ? ", where the stored header length puts it"
                             : ", not where the stored header length puts it"));
  } else if (d.fileSize >= 32) {
    line("Header terminator: none found");
  }
  if (d.repair) {
    line("First record: at offset " + std::to_string(d.firstRecordOffset) +
         (d.firstRecordDeleted ? " (marked deleted)" : ""));
    line("Records marked deleted: " + std::to_string(d.deletedRecords));
    line("End of file: " + std::string(d.endsWithEndOfFile ? "end-of-file byte present" : "no end-of-file byte") +
         (d.partialRecordBytes ? ", last record cut short" : ""));
    const RepairPlan& plan = *d.repair;
    line(std::string(d.recommendedMode == "advance" ? "Advance" : "Normal") +
         " repair would write: record count " + std::to_string(plan.recordCount) +
         ", header length " + std::to_string(plan.headerLength) + ", record length " +
         std::to_string(plan.recordLength) + ", " + std::to_string(plan.outputLength()) + " bytes" +
         (plan.version != DbfHeader::kRepairedVersion
              ? "; it keeps the version byte " + Hex(plan.version) + " that points readers to the memo file"
              : ""));
  }
  if (d.sound()) {
    line("Verdict: sound; no repair needed");
  } else {
    line("Problems:");
    for (const auto& problem : d.problems) line("  - " + problem);
    if (d.salvageRecommended()) {
      line("Verdict: damaged records; salvage recovers the intact ones (drelin-repair salvage" +
           std::string(d.recommendedMode == "advance" ? " --mode advance" : "") + ")");
    } else {
      line(d.repair ? "Verdict: damaged; repair with --mode " + d.recommendedMode
                    : "Verdict: damaged beyond repair");
    }
  }
  for (const auto& note : d.notes) line("Note: " + Shown(note));
  return out;
}

std::string InspectJson(const std::string& path, const TableDiagnosis& d, const CodePage& codePage,
                        bool) {
  using nlohmann::json;
  json fields = json::array();
  for (const auto& field : d.fields) {
    fields.push_back({{"name", codePage.Decode(field.name)},
                      {"type", codePage.Decode(std::string(1, static_cast<char>(field.type)))},
                      {"length", field.length},
                      {"decimals", field.decimals}});
  }
  // Notes may quote a .cpg's bytes, which need not be UTF-8.
  json notes = json::array();
  for (const auto& note : d.notes) notes.push_back(PathText(note));
  json memoFields = json::array();
  for (const auto& field : d.memoFields) memoFields.push_back(codePage.Decode(field.name));
  json report = {
      {"file", PathText(path)},
      {"size", d.fileSize},
      {"stored",
       {{"version", d.version},
        {"date", {d.lastUpdate[0], d.lastUpdate[1], d.lastUpdate[2]}},
        {"record_count", d.storedRecordCount},
        {"header_length", d.storedHeaderLength},
        {"record_length", d.storedRecordLength}}},
      {"fields", fields},
      {"field_count", d.fieldCount},
      {"terminator_offset", d.terminatorOffset ? json(*d.terminatorOffset) : json(nullptr)},
      {"terminator_agrees", d.terminatorAgrees},
      {"first_record_offset", d.firstRecordOffset},
      {"first_record_deleted", d.firstRecordDeleted},
      {"deleted_records", d.deletedRecords},
      {"code_page",
       {{"name", d.codePage.page.name},
        {"number", d.codePage.page.number > 0 ? json(d.codePage.page.number) : json(nullptr)},
        {"source", SourceKey(d.codePage.source)},
        {"assumed", d.codePage.assumed},
        {"language_driver", d.codePage.languageDriver},
        {"cpg_file", d.codePage.cpgPath ? json(PathText(*d.codePage.cpgPath)) : json(nullptr)},
        {"decoded_with", codePage.name()}}},
      {"memo", {{"fields", memoFields}, {"file", d.memoFile ? json(PathText(*d.memoFile)) : json(nullptr)}}},
      {"end", {{"eof_byte", d.endsWithEndOfFile}, {"partial_record_bytes", d.partialRecordBytes}}},
      {"repair", nullptr},
      {"data_area", nullptr},
      {"salvage_recommended", d.salvageRecommended()},
      {"problems", d.problems},
      {"notes", notes},
      {"sound", d.sound()},
  };
  if (d.repair) {
    report["repair"] = {{"mode", d.recommendedMode},
                        {"version", d.repair->version},
                        {"record_count", d.repair->recordCount},
                        {"header_length", d.repair->headerLength},
                        {"record_length", d.repair->recordLength},
                        {"output_size", d.repair->outputLength()}};
  }
  if (d.dataArea) {
    const DataAreaCheck& data = *d.dataArea;
    report["data_area"] = {{"records", data.records},
                           {"checked", data.checked},
                           {"every_record", data.everyRecord},
                           {"misfits", data.misfits},
                           {"first_misfit_offset", data.firstMisfit ? json(*data.firstMisfit) : json(nullptr)},
                           {"end_shift", data.endShift ? json(*data.endShift) : json(nullptr)},
                           {"damaged", data.damaged()}};
  }
  return report.dump(2) + "\n";
}

}  // namespace drelin::cli
