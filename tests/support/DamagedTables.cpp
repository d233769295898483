// Damage with exact ground truth, and the score of a salvage against it.
#include "DamagedTables.h"

#include <algorithm>
#include <string>
#include <unordered_map>

#include "RandomDraws.h"

namespace drelin::testing {

namespace {

// One change to the sound bytes: `removed` bytes at `at` give way to
// `inserted` (an overwrite removes and inserts as many).
struct Edit {
  size_t at = 0;
  size_t removed = 0;
  Bytes inserted;
  bool dataDamage = true;  // counts as damage of the data area
  bool stutter = false;    // inserts a repeat of the bytes before it
};

bool Overlaps(const std::vector<Edit>& edits, size_t at, size_t length) {
  const size_t end = at + std::max<size_t>(length, 1);
  return std::any_of(edits.begin(), edits.end(), [&](const Edit& e) {
    return at < e.at + std::max<size_t>(e.removed, 1) + 1 && e.at < end + 1;
  });
}

Bytes RandomBytes(Random& random, size_t count) {
  Bytes bytes(count);
  for (auto& b : bytes) b = static_cast<uint8_t>(Uniform(random, 0, 255));
  return bytes;
}

// Places up to `count` edits made by `make` in the data area [begin, end),
// never two touching.
template <typename Make>
void Place(std::vector<Edit>& edits, size_t count, size_t begin, size_t end, Random& random, Make&& make) {
  for (size_t placed = 0, tries = 0; placed < count && tries < 100; ++tries) {
    Edit edit = make();
    if (end < begin + edit.removed + 1) return;
    edit.at = Uniform(random, begin, end - edit.removed);
    if (Overlaps(edits, edit.at, edit.removed)) continue;
    edits.push_back(std::move(edit));
    ++placed;
  }
}

std::vector<Edit> DataEdits(const GeneratedTable& table, const DamagePlan& plan, Random& random) {
  const size_t begin = table.headerLength;
  const size_t end = begin + table.recordCount * table.recordLength;  // the end-of-file byte
  const Bytes& sound = table.bytes;
  std::vector<Edit> edits;
  switch (plan.kind) {
    case DamageKind::kZeros:
    case DamageKind::kNoise:
    case DamageKind::kText: {
      const size_t size = std::max<size_t>(1, std::min(plan.block, (end - begin) / 2));
      Place(edits, Uniform(random, 1, 2), begin, end, random, [&] {
        Edit edit;
        edit.removed = size;
        if (plan.kind == DamageKind::kZeros) edit.inserted.assign(size, 0);
        if (plan.kind == DamageKind::kNoise) edit.inserted = RandomBytes(random, size);
        if (plan.kind == DamageKind::kText) {
          const size_t from = Uniform(random, begin, end - size);
          edit.inserted.assign(sound.begin() + static_cast<std::ptrdiff_t>(from),
                               sound.begin() + static_cast<std::ptrdiff_t>(from + size));
        }
        return edit;
      });
      break;
    }
    case DamageKind::kInsert:
      Place(edits, Uniform(random, 1, 4), begin, end, random, [&] {
        Edit edit;
        const size_t count = Uniform(random, 1, 7);
        switch (Uniform(random, 0, 2)) {
          case 0:
            edit.inserted = RandomBytes(random, count);
            break;
          case 1:
            for (size_t i = 0; i < count; ++i) {
              static const char kText[] = "ETAOINSHRDLU etaoinshrdlu 0123456789";
              edit.inserted.push_back(static_cast<uint8_t>(kText[Uniform(random, 0, sizeof kText - 2)]));
            }
            break;
          default:
            edit.inserted.assign(count, 0);
            edit.stutter = true;
            break;
        }
        return edit;
      });
      for (Edit& edit : edits) {
        if (edit.stutter) {
          for (size_t i = 0; i < edit.inserted.size(); ++i) {
            edit.inserted[i] = sound[edit.at - edit.inserted.size() + i];
          }
        }
      }
      break;
    case DamageKind::kDelete:
      Place(edits, Uniform(random, 1, 4), begin, end, random, [&] {
        Edit edit;
        edit.removed = Uniform(random, 1, 7);
        return edit;
      });
      break;
    case DamageKind::kFlags: {
      const size_t count = std::min<size_t>(Uniform(random, 1, 8), table.recordCount);
      for (size_t placed = 0, tries = 0; placed < count && tries < 100; ++tries) {
        const size_t at = begin + Uniform(random, 0, table.recordCount - 1) * table.recordLength;
        if (Overlaps(edits, at, 1)) continue;
        uint8_t flag = 0x20;
        while (flag == 0x20 || flag == 0x2A) flag = static_cast<uint8_t>(Uniform(random, 0, 255));
        edits.push_back({at, 1, {flag}, true, false});
        ++placed;
      }
      break;
    }
  }
  return edits;
}

// The header damage Normal repair handles: a garbage header, no end-of-file
// byte, a last record cut short.
void HeaderEdits(const GeneratedTable& table, std::vector<Edit>& edits, Random& random) {
  edits.push_back({0, 32, RandomBytes(random, 32), false, false});
  const size_t end = table.headerLength + table.recordCount * table.recordLength;
  const size_t lastRecord = end - table.recordLength;
  if (Chance(random, 0.25) && !Overlaps(edits, lastRecord, table.recordLength)) {
    const size_t cut = Uniform(random, lastRecord + 1, end - 1);
    edits.push_back({cut, table.bytes.size() - cut, {}, true, false});
  } else if (Chance(random, 0.5) && !Overlaps(edits, end, 1)) {
    edits.push_back({end, 1, {}, false, false});
  }
}

}  // namespace

std::string DamageName(const DamagePlan& plan) {
  std::string name;
  switch (plan.kind) {
    case DamageKind::kZeros: name = "zeros-" + std::to_string(plan.block); break;
    case DamageKind::kNoise: name = "random-" + std::to_string(plan.block); break;
    case DamageKind::kText: name = "text-" + std::to_string(plan.block); break;
    case DamageKind::kInsert: name = "insert"; break;
    case DamageKind::kDelete: name = "delete"; break;
    case DamageKind::kFlags: name = "flags"; break;
  }
  return plan.header ? name + "+header" : name;
}

std::vector<DamagePlan> AllDamage() {
  std::vector<DamagePlan> plans;
  for (bool header : {false, true}) {
    for (DamageKind kind : {DamageKind::kZeros, DamageKind::kNoise, DamageKind::kText}) {
      for (size_t block : {512, 4096}) plans.push_back({kind, block, header});
    }
    for (DamageKind kind : {DamageKind::kInsert, DamageKind::kDelete, DamageKind::kFlags}) {
      plans.push_back({kind, 0, header});
    }
  }
  return plans;
}

DamagedTable Damage(const GeneratedTable& table, const DamagePlan& plan, Random& random) {
  std::vector<Edit> edits = DataEdits(table, plan, random);
  if (plan.header) HeaderEdits(table, edits, random);
  std::sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) { return a.at < b.at; });

  DamagedTable result;
  result.original = table;
  const Bytes& sound = table.bytes;
  size_t from = 0;
  for (const Edit& edit : edits) {
    result.damaged.insert(result.damaged.end(), sound.begin() + static_cast<std::ptrdiff_t>(from),
                          sound.begin() + static_cast<std::ptrdiff_t>(edit.at));
    if (!edit.inserted.empty()) result.written.push_back({result.damaged.size(), edit.inserted.size()});
    result.damaged.insert(result.damaged.end(), edit.inserted.begin(), edit.inserted.end());
    from = edit.at + edit.removed;
  }
  result.damaged.insert(result.damaged.end(), sound.begin() + static_cast<std::ptrdiff_t>(from), sound.end());

  // Ground truth: the records each edit overlaps; an insertion touches the
  // record it lands inside, none when it falls between two.
  const size_t begin = table.headerLength;
  const size_t length = table.recordLength;
  const size_t count = table.recordCount;
  result.touched.assign(count, false);
  std::vector<size_t> damageEnds;
  for (const Edit& edit : edits) {
    if (edit.at + edit.removed <= begin || edit.at >= begin + count * length) continue;
    const size_t first = (std::max(edit.at, begin) - begin) / length;
    if (edit.removed == 0) {
      if ((edit.at - begin) % length != 0) result.touched[first] = true;
    } else {
      const size_t last = std::min((edit.at + edit.removed - 1 - begin) / length, count - 1);
      for (size_t r = first; r <= last; ++r) result.touched[r] = true;
    }
    if (edit.dataDamage) damageEnds.push_back(edit.at + edit.removed);
  }
  std::sort(damageEnds.begin(), damageEnds.end());
  result.wellPast.assign(count, false);
  size_t next = 0;
  size_t firstAfterDamage = 0;
  bool damaged = false;
  for (size_t r = 0; r < count; ++r) {
    const size_t start = begin + r * length;
    while (next < damageEnds.size() && damageEnds[next] <= start) {
      firstAfterDamage = (damageEnds[next] - begin + length - 1) / length;
      damaged = true;
      ++next;
    }
    result.wellPast[r] = !result.touched[r] && (!damaged || r >= firstAfterDamage + 4);
  }
  return result;
}

}  // namespace drelin::testing
