// DamagedTables: realistic dBASE III tables (names, addresses, amounts,
// dates, flags, codes, notes) and the damage real data areas suffer, with
// the exact ground truth of which records the damage touched. Record salvage
// is measured on them by the quality bench and held to its goals by tests.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace drelin::testing {

using Bytes = std::vector<uint8_t>;

enum class TableKind {
  kTyped,       // at least one numeric, float, date, logical or memo field
  kText,        // character fields only, records of 8 bytes or more
  kTiny,        // records under 8 bytes
  kRepetitive,  // at least half the records identical
};

enum class DamageKind {
  kZeros,   // a block overwritten with zero bytes
  kNoise,   // a block overwritten with random bytes
  kText,    // a block overwritten with bytes from elsewhere in the table
  kInsert,  // 1 to 7 bytes inserted, at one or several places
  kDelete,  // 1 to 7 bytes lost, at one or several places
  kFlags,   // deletion flags overwritten with other bytes
};

struct DamagePlan {
  DamageKind kind = DamageKind::kZeros;
  size_t block = 512;   // block damage: 512 or 4096 bytes
  bool header = false;  // also the header damage Normal repair handles
};

const char* TableKindName(TableKind kind);
// "zeros-512", "insert", "flags+header", ...
std::string DamageName(const DamagePlan& plan);
// Every kind of damage: blocks of 512 and 4096 bytes of zeros, noise and
// text, insertions, losses and flags, each alone and with header damage.
std::vector<DamagePlan> AllDamage();

struct GeneratedTable {
  Bytes bytes;  // a sound table with its end-of-file byte
  size_t headerLength = 0;
  size_t recordLength = 0;
  size_t recordCount = 0;
};

// A sound table of `kind` with between `minRecords` and `maxRecords`
// records, all drawn from `random`.
GeneratedTable MakeTable(TableKind kind, std::mt19937_64& random, size_t minRecords = 200,
                         size_t maxRecords = 3000);

struct ByteRange {
  size_t offset = 0;
  size_t length = 0;
};

struct DamagedTable {
  GeneratedTable original;
  Bytes damaged;
  std::vector<bool> touched;  // per original record: some damaged byte overlaps it
  // Per original record: it lies more than 4 records past every damage
  // before it (and is untouched).
  std::vector<bool> wellPast;
  std::vector<ByteRange> written;  // where the damage wrote bytes, in `damaged`
};

DamagedTable Damage(const GeneratedTable& table, const DamagePlan& plan, std::mt19937_64& random);

// Salvage measured against the ground truth: output records are matched to
// the original's by the longest order-preserving match of identical records.
// `offsets` are the source offsets the salvage names for its records (they
// are checked against the output): a record read from bytes the damage
// wrote is no invention when it is a copy of a real record.
struct SalvageScore {
  bool valid = false;  // the output is a table whose header agrees with its length
  uint64_t untouched = 0;
  uint64_t recovered = 0;  // untouched records matched
  uint64_t wellPast = 0;
  uint64_t wellPastRecovered = 0;
  uint64_t output = 0;     // records in the output
  uint64_t invented = 0;   // unmatched, and not a copy of a record the damage wrote
};

SalvageScore ScoreSalvage(const DamagedTable& table, const Bytes& output, const std::vector<uint64_t>& offsets);

}  // namespace drelin::testing
