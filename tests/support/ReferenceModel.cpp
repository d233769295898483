#include "ReferenceModel.h"

#include <cstring>

namespace drelin::testing {

namespace {

bool IsFlag(uint8_t byte) { return byte == 0x20 || byte == 0x2A; }

bool LengthRefused(const Bytes& source) { return source.size() < 32 || source.size() > 0xFFFFFFFFull; }

// A memo version (dBASE III 0x83, dBASE IV 0x8B, FoxPro 0xF5) stays when a
// descriptor is of a memo type: M, and for FoxPro also G or P.
bool MemoVersionKept(uint8_t version, const std::vector<uint8_t>& types) {
  if (version != 0x83 && version != 0x8B && version != 0xF5) return false;
  for (uint8_t type : types) {
    if (type == 'M' || (version == 0xF5 && (type == 'G' || type == 'P'))) return true;
  }
  return false;
}

std::optional<Bytes> ReferenceNormal(const Bytes& source) {
  const uint64_t length = source.size();
  Bytes out(length, 0);  // pre-sized with zeros
  auto write = [&](uint64_t at, const uint8_t* bytes, size_t count) {
    if (out.size() < at + count) out.resize(at + count, 0);
    std::memcpy(out.data() + at, bytes, count);
  };
  auto sourceByte = [&](uint64_t at, uint8_t missing) { return at < length ? source[at] : missing; };

  // Descriptor scan.
  uint64_t b = 32;
  std::vector<uint8_t> lengths;
  std::vector<uint8_t> types;
  bool terminator = false;
  while (b < length) {
    uint8_t block[32];
    for (int i = 0; i < 32; ++i) block[i] = sourceByte(b + i, 0x00);
    if (block[0] == 0x0D) {
      terminator = true;
      break;
    }
    write(b, block, 32);
    lengths.push_back(sourceByte(b + 16, 0x00));
    types.push_back(sourceByte(b + 11, 0x00));
    b += 32;
  }
  if (terminator) {
    const uint8_t cr = 0x0D;
    write(b, &cr, 1);
    while (b < length) {
      const uint8_t byte = source[b];
      write(b, &byte, 1);
      if (IsFlag(byte)) break;
      ++b;
    }
  }
  const uint64_t headerLength = b;
  uint64_t sum = 0;
  for (uint8_t v : lengths) sum += v;
  if (headerLength > 0xFFFF || sum + 1 > 0xFFFF) return std::nullopt;

  uint32_t count = 0;
  if (lengths.empty()) {
    if (b < length) {
      // Each record is its flag alone; the walk copies them one by one.
      for (uint64_t p = b + 1; p < length; ++p) write(p, &source[p], 1);
      const bool eof = source[length - 1] == 0x1A;
      count = static_cast<uint32_t>(length - b - (eof ? 1 : 0));
      if (count > 0 && !eof) {
        const uint8_t end = 0x1A;
        write(length, &end, 1);
      }
    }
  } else {
    uint64_t p = b + 1;
    size_t k = 0;
    while (p < length) {
      const uint8_t v = lengths[k];
      uint8_t buffer[256];
      for (int i = 0; i < v; ++i) buffer[i] = sourceByte(p + i, 0x20);
      write(p, buffer, v);
      p += v;
      ++k;
      if (k == lengths.size()) {
        const uint8_t byte = sourceByte(p, 0x1A);
        write(p, &byte, 1);
        ++count;
        ++p;
        k = 0;
      }
    }
  }

  for (int i = 0; i < 4; ++i) out[4 + i] = static_cast<uint8_t>(count >> (8 * i));
  out[8] = static_cast<uint8_t>(headerLength);
  out[9] = static_cast<uint8_t>(headerLength >> 8);
  out[10] = static_cast<uint8_t>(sum + 1);
  out[11] = static_cast<uint8_t>((sum + 1) >> 8);
  out[0] = MemoVersionKept(source[0], types) ? source[0] : 3;
  if (out.size() > 0xFFFFFFFFull) return std::nullopt;
  return out;
}

bool IsLetter(uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsNameByte(uint8_t c) { return IsLetter(c) || (c >= '0' && c <= '9') || c == '_'; }

bool IsDescriptor(const Bytes& source, uint64_t at) {
  auto byte = [&](uint64_t i) -> uint8_t { return at + i < source.size() ? source[at + i] : 0; };
  uint64_t name = 0;
  while (name < 11 && IsNameByte(byte(name))) ++name;
  if (name == 0) return false;
  for (uint64_t i = name; i < 11; ++i) {
    if (byte(i) != 0) return false;
  }
  return IsLetter(byte(11));
}

}  // namespace

std::optional<Bytes> ReferenceRepair(const Bytes& source, int mode) {
  if (LengthRefused(source)) return std::nullopt;
  if (mode == 0) return ReferenceNormal(source);
  const int64_t stored = source[8] | (source[9] << 8);
  const int64_t size = static_cast<int64_t>(source.size());
  int64_t terminator = 32;
  while (terminator < size && source[terminator] != 0x0D) terminator += 32;
  if (terminator < size && terminator < stored - 1) return ReferenceNormal(source);
  if (stored < 33 || stored - 1 >= size || (stored - 1) % 32 != 0) return std::nullopt;
  if (IsDescriptor(source, stored - 1)) return std::nullopt;
  Bytes copy = source;
  copy[stored - 1] = 0x0D;
  return ReferenceNormal(copy);
}

std::optional<ReferenceGrid> ReferencePreview(const Bytes& table) {
  if (LengthRefused(table)) return std::nullopt;
  ReferenceGrid grid;
  const uint64_t length = table.size();
  grid.columns.push_back({"Index", 100});
  std::vector<uint8_t> lengths;
  uint64_t b = 32;
  while (b < length) {
    uint8_t block[33] = {};
    for (int i = 0; i < 32; ++i) block[i] = b + i < length ? table[b + i] : 0;
    if (block[0] == 0x0D) {
      while (b < length && !IsFlag(table[b])) ++b;
      break;
    }
    lengths.push_back(block[16]);
    grid.columns.push_back({std::string(reinterpret_cast<const char*>(block)), 5 * block[16] + 100});
    b += 32;
  }
  // A row's flag byte; the one row of a table without records has none.
  auto newRow = [&](uint64_t flag) {
    grid.rows.emplace_back(grid.columns.size());
    grid.rows.back()[0] = std::to_string(grid.rows.size());
    grid.deleted.push_back(flag < length && table[flag] != 0x20);
  };
  newRow(b);
  if (lengths.empty()) {
    if (b < length) {
      const uint64_t records = length - b - (table[length - 1] == 0x1A ? 1 : 0);
      for (uint64_t r = 1; r < records; ++r) newRow(b + r);
    }
    return grid;
  }
  uint64_t p = b + 1;
  size_t k = 0;
  while (p < length) {
    const uint8_t v = lengths[k];
    std::string cell;
    for (uint64_t i = p; i < p + v && i < length && table[i] != 0; ++i) {
      cell.push_back(static_cast<char>(table[i]));
    }
    grid.rows.back()[k + 1] = cell;
    p += v;
    ++k;
    if (k == lengths.size()) {
      k = 0;
      ++p;
      if (p >= length) break;
      newRow(p - 1);
    }
  }
  return grid;
}

}  // namespace drelin::testing
