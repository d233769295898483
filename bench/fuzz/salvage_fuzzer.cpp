// Fuzzes record salvage, in both modes, with arbitrary bytes. Invariants:
// a refusal writes nothing; a table without fields comes out as the literal
// reference repair writes it; otherwise the output is a sound table whose
// header agrees with its length (version 3 or the source's memo version, the
// source's descriptors and a terminator, record count = records written, the
// end-of-file byte), every output record is a record-length slice of the
// source at the offset the salvage names, in increasing order without
// overlap, and the kept records and the skipped ranges cover the data area
// exactly. Crashes, hangs and
// leaks are libFuzzer's to catch.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "DbfLayout.h"
#include "DbfRepairEngine.h"
#include "FileError.h"
#include "FuzzCheck.h"
#include "MemoryFileIo.h"
#include "RecordSalvage.h"
#include "ReferenceModel.h"

namespace {

using drelin::testing::Bytes;

void CheckSalvage(const Bytes& source, const Bytes& out, const drelin::SalvageReport& report,
                  const std::vector<uint64_t>& offsets, int mode) {
  if (report.repairedAsNormal) {
    Check(out == *drelin::testing::ReferenceRepair(source, mode), "a table without fields comes out as Normal repair");
    return;
  }
  // Advance repair's forced terminator stands before the records, so every
  // byte salvage copies is the source's own.
  const Bytes& view = source;
  const uint64_t header = drelin::ReadLe16(out.data() + 8);
  const uint64_t length = drelin::ReadLe16(out.data() + 10);
  const uint64_t count = drelin::ReadLe32(out.data() + 4);
  Check(out.size() == header + count * length + 1 && out.back() == drelin::kEndOfFile,
        "the header agrees with the length");
  Check((out[0] == 3 || (drelin::IsMemoVersion(out[0]) && out[0] == source[0])) && std::all_of(out.begin() + 1, out.begin() + 4, [](uint8_t b) { return b == 0; }) &&
            std::all_of(out.begin() + 12, out.begin() + 32, [](uint8_t b) { return b == 0; }),
        "version 3 (or the source's memo version), date and reserved bytes zero");
  Check(header == report.headerLength && length == report.recordLength && count == report.kept &&
            count == offsets.size(),
        "the report agrees with the header");
  Check(header > 32 && std::equal(out.begin() + 32, out.begin() + static_cast<std::ptrdiff_t>(header - 1), view.begin() + 32) &&
            out[header - 1] == drelin::kHeaderTerminator,
        "the source's descriptors and a terminator");

  std::vector<std::pair<uint64_t, uint64_t>> pieces;
  for (size_t i = 0; i < offsets.size(); ++i) {
    Check(offsets[i] >= header && offsets[i] + length <= view.size(), "records lie in the data area");
    Check(i == 0 || offsets[i] >= offsets[i - 1] + length, "records in order, without overlap");
    Check(std::equal(view.begin() + static_cast<std::ptrdiff_t>(offsets[i]),
                     view.begin() + static_cast<std::ptrdiff_t>(offsets[i] + length),
                     out.begin() + static_cast<std::ptrdiff_t>(header + i * length)),
          "each record is a slice of the source");
    pieces.push_back({offsets[i], length});
  }
  if (report.skipped.size() == report.skippedCount) {
    for (const auto& range : report.skipped) pieces.push_back({range.offset, range.length});
    std::sort(pieces.begin(), pieces.end());
    uint64_t at = header;
    for (const auto& [offset, size] : pieces) {
      Check(offset == at && size > 0, "kept and skipped bytes tile the data area");
      at += size;
    }
    Check(at == view.size() || (at + 1 == view.size() && view.back() == drelin::kEndOfFile),
          "the data area is covered to its end");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Bytes source(data, data + size);
  drelin::testing::MemoryFileIo io;
  io.files["in.dbf"] = source;
  for (int mode : {drelin::kRepairNormal, drelin::kRepairAdvance}) {
    io.files.erase("out.dbf");
    std::vector<uint64_t> offsets;
    drelin::SalvageOptions options;
    options.onKeep = [&](uint64_t offset) { offsets.push_back(offset); };
    try {
      const drelin::SalvageReport report = drelin::SalvageTable(io, "in.dbf", "out.dbf", mode, options);
      CheckSalvage(source, io.files.at("out.dbf"), report, offsets, mode);
    } catch (const drelin::FileError&) {
      Check(io.files.count("out.dbf") == 0, "a refusal writes nothing");
    }
  }
  Check(io.files["in.dbf"] == source, "the source is unchanged");
  return 0;
}
