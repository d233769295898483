// Measures record salvage against its quality goals: seeded realistic tables
// of each kind are damaged in each way, salvaged in memory, and scored
// against the exact ground truth (DamagedTables.h). Prints, per table kind
// and damage kind, the tables counted, recovered % (untouched records found
// again), for text-only tables the same for records more than 4 past each
// damage, invented % (output records that match no original record), the
// share reported uncertain, and outputs that are not valid tables.
//
//   drelin-bench-salvage [--tables N] [--seed S] [--kinds typed,text,...]
//                        [--damage NAME,...] [--show-misses] [CORPUS.dbf ...]
//
// With table paths, each is made sound (terminator, end byte) and damaged in
// every way N times instead.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "DamagedTables.h"
#include "FileError.h"
#include "MemoryFileIo.h"
#include "RecordSalvage.h"

namespace {

using namespace drelin::testing;

struct Pool {
  uint64_t tables = 0, invalid = 0, uncertain = 0, failed = 0;
  uint64_t untouched = 0, recovered = 0, wellPast = 0, wellPastRecovered = 0, output = 0, invented = 0;

  void Add(const SalvageScore& score, bool uncertainReport) {
    ++tables;
    invalid += !score.valid;
    uncertain += uncertainReport;
    untouched += score.untouched;
    recovered += score.recovered;
    wellPast += score.wellPast;
    wellPastRecovered += score.wellPastRecovered;
    output += score.output;
    invented += score.invented;
  }
};

double Percent(uint64_t part, uint64_t whole) { return whole ? 100.0 * static_cast<double>(part) / static_cast<double>(whole) : 100.0; }

// Salvages and scores in memory; false when the salvage refused the table.
bool Salvage(const DamagedTable& table, SalvageScore& score, bool& uncertain) {
  MemoryFileIo io;
  io.files["in.dbf"] = table.damaged;
  std::vector<uint64_t> offsets;
  drelin::SalvageOptions options;
  options.onKeep = [&](uint64_t offset) { offsets.push_back(offset); };
  try {
    const drelin::SalvageReport report = drelin::SalvageTable(io, "in.dbf", "out.dbf", 0, options);
    uncertain = report.uncertain;
  } catch (const drelin::FileError& error) {
    std::fprintf(stderr, "refused: %s\n", error.what());
    return false;
  }
  score = ScoreSalvage(table, io.files["out.dbf"], offsets);
  return true;
}

void PrintHeader() {
  std::printf("%-11s %-18s %6s %10s %10s %9s %9s %7s\n", "table", "damage", "tables", "recovered%",
              "wellpast%", "invented%", "uncertain", "invalid");
}

// Salvages `damaged` and adds its score to both pools (a refusal counts as a
// failure of `pool`); false when it was refused.
bool AddSalvage(const DamagedTable& damaged, Pool& pool, Pool& all, SalvageScore& score) {
  bool uncertain = false;
  if (!Salvage(damaged, score, uncertain)) {
    ++pool.failed;
    return false;
  }
  pool.Add(score, uncertain);
  all.Add(score, uncertain);
  return true;
}

void PrintRow(const std::string& kind, const std::string& damage, const Pool& pool) {
  std::printf("%-11s %-18s %6llu %10.3f %10.3f %9.4f %8.1f%% %7llu\n", kind.c_str(), damage.c_str(),
              static_cast<unsigned long long>(pool.tables), Percent(pool.recovered, pool.untouched),
              Percent(pool.wellPastRecovered, pool.wellPast), Percent(pool.invented, pool.output),
              Percent(pool.uncertain, pool.tables), static_cast<unsigned long long>(pool.invalid + pool.failed));
}

// A corpus table made sound, as the original the damage starts from.
bool LoadSound(const std::string& path, GeneratedTable& table) {
  std::ifstream in(path, std::ios::binary);
  Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (bytes.size() < 33) return false;
  // The terminator, or where the stored header length puts a lost one.
  const size_t stored = static_cast<size_t>(bytes[8] | (bytes[9] << 8));
  size_t fields = 0;
  size_t length = 1;
  for (size_t block = 32; block + 32 < bytes.size() && bytes[block] != 0x0D && block + 1 != stored; block += 32) {
    length += bytes[block + 16];
    ++fields;
  }
  table.headerLength = 32 + 32 * fields + 1;
  if (length < 2 || bytes.size() < table.headerLength) return false;
  bytes[table.headerLength - 1] = 0x0D;
  table.recordLength = length;
  table.recordCount = (bytes.size() - table.headerLength) / length;
  bytes.resize(table.headerLength + table.recordCount * length);
  bytes.push_back(0x1A);
  table.bytes = bytes;
  return true;
}

bool HasFixedFormat(const GeneratedTable& table) {
  for (size_t b = 32; b + 1 < table.headerLength; b += 32) {
    if (std::strchr("NFDLM", table.bytes[b + 11])) return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  size_t tables = 200;
  uint64_t seed = 1;
  std::string kinds = "typed,text,tiny,repetitive";
  std::string damageFilter;
  bool showMisses = false;

  std::vector<std::string> corpus;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--tables" && i + 1 < argc) tables = std::stoul(argv[++i]);
    else if (arg == "--seed" && i + 1 < argc) seed = std::stoull(argv[++i]);
    else if (arg == "--kinds" && i + 1 < argc) kinds = argv[++i];
    else if (arg == "--damage" && i + 1 < argc) damageFilter = argv[++i];
    else if (arg == "--show-misses") showMisses = true;

    else corpus.push_back(arg);
  }
  const auto wanted = [&](const std::string& name) {
    return damageFilter.empty() || ("," + damageFilter + ",").find("," + name + ",") != std::string::npos;
  };

  PrintHeader();
  if (!corpus.empty()) {
    for (const std::string& path : corpus) {
      GeneratedTable sound;
      if (!LoadSound(path, sound)) {
        std::printf("%s: no fields or records to damage\n", path.c_str());
        continue;
      }
      const std::string name = path.substr(path.find_last_of('/') + 1) + (HasFixedFormat(sound) ? "" : "*");
      Pool all;
      for (const DamagePlan& plan : AllDamage()) {
        if (!wanted(DamageName(plan))) continue;
        Pool pool;
        for (size_t t = 0; t < tables; ++t) {
          std::mt19937_64 random(seed * 1000003 + t * 7919 + std::hash<std::string>()(DamageName(plan)));
          SalvageScore score;
          AddSalvage(Damage(sound, plan, random), pool, all, score);
        }
        PrintRow(name, DamageName(plan), pool);
      }
      PrintRow(name, "all", all);
    }
    return 0;
  }

  const TableKind allKinds[] = {TableKind::kTyped, TableKind::kText, TableKind::kTiny, TableKind::kRepetitive};
  for (TableKind kind : allKinds) {
    if (("," + kinds + ",").find(std::string(",") + TableKindName(kind) + ",") == std::string::npos) continue;
    Pool all;
    for (const DamagePlan& plan : AllDamage()) {
      if (!wanted(DamageName(plan))) continue;
      Pool pool;
      for (size_t t = 0; t < tables; ++t) {
        std::mt19937_64 random(seed * 1000003 + t * 7919 + static_cast<uint64_t>(kind) * 104729 +
                               std::hash<std::string>()(DamageName(plan)));
        const GeneratedTable table =
            MakeTable(kind, random, kind == TableKind::kTiny ? 500 : 200, kind == TableKind::kTiny ? 5000 : 3000);
        SalvageScore score;
        if (!AddSalvage(Damage(table, plan, random), pool, all, score)) continue;
        if (showMisses && (score.invented > 0 || score.recovered + 2 < score.untouched || !score.valid)) {
          std::printf("  miss %s %s table %zu: records %zu length %zu untouched %llu recovered %llu invented %llu/%llu\n",
                      TableKindName(kind), DamageName(plan).c_str(), t, table.recordCount, table.recordLength,
                      static_cast<unsigned long long>(score.untouched), static_cast<unsigned long long>(score.recovered),
                      static_cast<unsigned long long>(score.invented), static_cast<unsigned long long>(score.output));
        }
      }
      PrintRow(TableKindName(kind), DamageName(plan), pool);
    }
    PrintRow(TableKindName(kind), "all", all);
  }
  return 0;
}
