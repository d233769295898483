// Record salvage: generated realistic tables damaged every way, scored
// against the exact ground truth, and small hand-made tables that pin where
// alignment is found again.
#include <gtest/gtest.h>

#include <algorithm>

#include "DamagedTables.h"
#include "DbfBuilder.h"
#include "DbfRepairEngine.h"
#include "FileError.h"
#include "RecordSalvage.h"
#include "ReferenceModel.h"
#include "SalvageHarness.h"

namespace drelin::testing {
namespace {

// The kept records and the skipped ranges cover the data area from `begin`
// exactly, in order, up to the end or a final end-of-file byte; and the
// output holds exactly the kept records.
void ExpectTiled(const Bytes& source, const Salvaged& s, uint64_t begin) {
  const uint64_t length = s.report.recordLength;
  std::vector<std::pair<uint64_t, uint64_t>> pieces;
  for (uint64_t offset : s.offsets) pieces.push_back({offset, length});
  for (const SkippedRange& range : s.report.skipped) pieces.push_back({range.offset, range.length});
  std::sort(pieces.begin(), pieces.end());
  uint64_t at = begin;
  for (const auto& [offset, size] : pieces) {
    ASSERT_EQ(offset, at) << "gap or overlap in the data area";
    at += size;
  }
  EXPECT_TRUE(at == source.size() || (at + 1 == source.size() && source.back() == 0x1A))
      << "covered up to " << at << " of " << source.size();
  ASSERT_EQ(s.output.size(), begin + s.offsets.size() * length + 1);
  for (size_t i = 0; i < s.offsets.size(); ++i) {
    ASSERT_TRUE(std::equal(source.begin() + static_cast<std::ptrdiff_t>(s.offsets[i]),
                           source.begin() + static_cast<std::ptrdiff_t>(s.offsets[i] + length),
                           s.output.begin() + static_cast<std::ptrdiff_t>(begin + i * length)));
  }
}

struct Pool {
  uint64_t untouched = 0, recovered = 0, wellPast = 0, wellPastRecovered = 0, output = 0, invented = 0;
  uint64_t uncertain = 0, tables = 0;
  double Recovered() const { return 100.0 * static_cast<double>(recovered) / static_cast<double>(untouched); }
  double WellPast() const { return 100.0 * static_cast<double>(wellPastRecovered) / static_cast<double>(wellPast); }
  double Invented() const { return output ? 100.0 * static_cast<double>(invented) / static_cast<double>(output) : 0; }
};

// Damages `count` tables of `kind` in the way of `plan`, salvages each and
// pools the scores; every report must tile its data area, and every byte of
// zeros or noise the damage wrote must lie in a skipped range.
Pool SalvagePool(TableKind kind, const DamagePlan& plan, size_t count) {
  Pool pool;
  for (size_t t = 0; t < count; ++t) {
    std::mt19937_64 random(0x5A1FA6E ^ (static_cast<uint64_t>(kind) << 40) ^ (t << 20) ^
                           std::hash<std::string>()(DamageName(plan)));
    const GeneratedTable table = MakeTable(kind, random, kind == TableKind::kTiny ? 300 : 150, 800);
    const DamagedTable damaged = Damage(table, plan, random);
    SCOPED_TRACE(std::string(TableKindName(kind)) + " " + DamageName(plan) + " table " + std::to_string(t));
    const Salvaged s = SalvageBytes(damaged.damaged);
    ExpectTiled(damaged.damaged, s, table.headerLength);
    if (plan.kind == DamageKind::kZeros || plan.kind == DamageKind::kNoise) {
      for (const ByteRange& written : damaged.written) {
        for (uint64_t kept : s.offsets) {
          const bool overlaps = kept < written.offset + written.length && written.offset < kept + table.recordLength;
          EXPECT_FALSE(overlaps) << "a record holding written bytes was kept at " << kept;
        }
      }
    }
    const SalvageScore score = ScoreSalvage(damaged, s.output, s.offsets);
    EXPECT_TRUE(score.valid);
    pool.untouched += score.untouched;
    pool.recovered += score.recovered;
    pool.wellPast += score.wellPast;
    pool.wellPastRecovered += score.wellPastRecovered;
    pool.output += score.output;
    pool.invented += score.invented;
    pool.uncertain += s.report.uncertain;
    ++pool.tables;
  }
  return pool;
}

TEST(SalvageQuality, TablesWithTypedFieldsAreRecoveredWithoutInventions) {
  for (const DamagePlan& plan : AllDamage()) {
    const Pool pool = SalvagePool(TableKind::kTyped, plan, 12);
    EXPECT_GE(pool.Recovered(), 99.0) << DamageName(plan);
    EXPECT_LE(pool.Invented(), 0.1) << DamageName(plan);
  }
}

TEST(SalvageQuality, TablesOfTextFieldsAreRecoveredPastEachDamage) {
  for (const DamagePlan& plan : AllDamage()) {
    const Pool pool = SalvagePool(TableKind::kText, plan, 12);
    EXPECT_GE(pool.WellPast(), 99.0) << DamageName(plan);
    EXPECT_LE(pool.Invented(), 0.5) << DamageName(plan);
  }
}

TEST(SalvageQuality, ShortOrRepeatedRecordsAreReportedUncertain) {
  for (TableKind kind : {TableKind::kTiny, TableKind::kRepetitive}) {
    for (const DamagePlan& plan : AllDamage()) {
      const Pool pool = SalvagePool(kind, plan, 3);
      EXPECT_EQ(pool.uncertain, pool.tables) << TableKindName(kind) << " " << DamageName(plan);
      EXPECT_LE(pool.Invented(), 1.0) << TableKindName(kind) << " " << DamageName(plan);
    }
  }
}

}  // namespace
}  // namespace drelin::testing
