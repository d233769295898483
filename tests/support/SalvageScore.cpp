// The score of a salvage: output records matched to the original's by the
// longest common subsequence of identical records, computed bit-parallel
// (one machine word per 64 original records) with every row kept, so the
// matching itself can be read back.
#include <algorithm>
#include <string>
#include <unordered_map>

#include "DamagedTables.h"

namespace drelin::testing {

namespace {

size_t Le(const Bytes& bytes, size_t at, int width) {
  size_t value = 0;
  for (int i = width - 1; i >= 0; --i) value = (value << 8) | bytes[at + static_cast<size_t>(i)];
  return value;
}

// Longest common subsequence of `a` and `b` (symbol ids); returns for each
// element of `a` and of `b` whether the matching uses it.
void MatchSequences(const std::vector<size_t>& a, const std::vector<size_t>& b, std::vector<bool>& usedA,
                    std::vector<bool>& usedB) {
  const size_t n = a.size();
  const size_t m = b.size();
  const size_t words = (n + 63) / 64;
  std::unordered_map<size_t, std::vector<uint64_t>> masks;
  for (size_t i = 0; i < n; ++i) {
    auto& mask = masks[a[i]];
    if (mask.empty()) mask.assign(words, 0);
    mask[i / 64] |= uint64_t{1} << (i % 64);
  }
  // rows[j] is the state after b[0..j); a zero bit i counts one element of
  // the longest common subsequence of a[0..i] and b[0..j).
  std::vector<uint64_t> rows((m + 1) * words, ~uint64_t{0});
  const std::vector<uint64_t> none(words, 0);
  for (size_t j = 0; j < m; ++j) {
    const uint64_t* v = &rows[j * words];
    uint64_t* next = &rows[(j + 1) * words];
    const auto found = masks.find(b[j]);
    const std::vector<uint64_t>& mask = found == masks.end() ? none : found->second;
    uint64_t carry = 0;
    uint64_t borrow = 0;
    for (size_t w = 0; w < words; ++w) {
      const uint64_t u = v[w] & mask[w];
      const uint64_t sum = v[w] + u + carry;
      carry = (sum < v[w] || (carry && sum == v[w])) ? 1 : 0;
      const uint64_t difference = v[w] - u - borrow;
      borrow = (v[w] < u || (borrow && v[w] == u)) ? 1 : 0;
      next[w] = sum | difference;
    }
  }
  auto length = [&](size_t j, size_t i) -> size_t {  // LCS of a[0..i) and b[0..j)
    if (i == 0 || j == 0) return 0;
    const uint64_t* v = &rows[j * words];
    size_t ones = 0;
    for (size_t w = 0; w < i / 64; ++w) ones += static_cast<size_t>(__builtin_popcountll(v[w]));
    if (i % 64) ones += static_cast<size_t>(__builtin_popcountll(v[i / 64] & ((uint64_t{1} << (i % 64)) - 1)));
    return i - ones;
  };
  usedA.assign(n, false);
  usedB.assign(m, false);
  size_t i = n;
  size_t j = m;
  while (i > 0 && j > 0) {
    const size_t here = length(j, i);
    if (a[i - 1] == b[j - 1] && here == length(j - 1, i - 1) + 1) {
      usedA[--i] = true;
      usedB[--j] = true;
    } else if (length(j - 1, i) == here) {
      --j;
    } else {
      --i;
    }
  }
}

// Whether the `length` bytes at `offset` of the damaged table overlap a
// range the damage wrote.
bool Written(const DamagedTable& table, uint64_t offset, uint64_t length) {
  return std::any_of(table.written.begin(), table.written.end(), [&](const ByteRange& range) {
    return offset < range.offset + range.length && range.offset < offset + length;
  });
}

}  // namespace

SalvageScore ScoreSalvage(const DamagedTable& table, const Bytes& output, const std::vector<uint64_t>& offsets) {
  const GeneratedTable& sound = table.original;
  const size_t header = sound.headerLength;
  const size_t length = sound.recordLength;
  SalvageScore score;
  if (output.size() < header + 1) return score;
  const size_t count = Le(output, 4, 4);
  score.valid = Le(output, 8, 2) == header && Le(output, 10, 2) == length &&
                output.size() == header + count * length + 1 && output.back() == 0x1A &&
                std::equal(output.begin() + 32, output.begin() + static_cast<std::ptrdiff_t>(header),
                           sound.bytes.begin() + 32) &&
                offsets.size() == count;
  auto slice = [&](const Bytes& bytes, size_t at) {
    const auto begin = bytes.begin() + static_cast<std::ptrdiff_t>(at);
    return std::string(begin, begin + static_cast<std::ptrdiff_t>(length));
  };
  for (size_t r = 0; score.valid && r < count; ++r) {
    // The offsets the salvage names must hold exactly the records written.
    score.valid = offsets[r] + length <= table.damaged.size() &&
                  slice(output, header + r * length) == slice(table.damaged, offsets[r]);
  }
  if (!score.valid) return score;

  std::unordered_map<std::string, size_t> ids;
  std::vector<size_t> originals(sound.recordCount);
  for (size_t r = 0; r < sound.recordCount; ++r) {
    originals[r] = ids.emplace(slice(sound.bytes, header + r * length), ids.size()).first->second;
  }
  const size_t known = ids.size();
  // A record read from bytes the damage wrote takes no part in the match: a
  // copy of a real record there is no invention, and must not stand in for
  // the real one where it belongs.
  std::vector<size_t> outputs(count);
  std::vector<bool> fromDamage(count);
  for (size_t r = 0; r < count; ++r) {
    fromDamage[r] = Written(table, offsets[r], length);
    outputs[r] = fromDamage[r] ? ids.size() + r + 1 : ids.emplace(slice(output, header + r * length), ids.size()).first->second;
  }

  std::vector<bool> matchedOriginal;
  std::vector<bool> matchedOutput;
  MatchSequences(originals, outputs, matchedOriginal, matchedOutput);
  for (size_t r = 0; r < sound.recordCount; ++r) {
    if (table.touched[r]) continue;
    ++score.untouched;
    score.recovered += matchedOriginal[r];
    score.wellPast += table.wellPast[r];
    score.wellPastRecovered += table.wellPast[r] && matchedOriginal[r];
  }
  score.output = count;
  for (size_t r = 0; r < count; ++r) {
    if (matchedOutput[r]) continue;
    if (fromDamage[r]) {
      const auto found = ids.find(slice(output, header + r * length));
      if (found != ids.end() && found->second < known) continue;
    }
    ++score.invented;
  }
  return score;
}

}  // namespace drelin::testing
