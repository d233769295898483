// FieldFormats: the fixed text forms of the dBASE III field types that have
// one (numbers, dates, logicals, memo block numbers), checked byte by byte.
// Inline: record salvage checks them for every record it walks.
#pragma once

#include <cstddef>
#include <cstdint>

namespace drelin {

// The formats the dBASE III types fix. Every other type is free text, which
// only the table's own records can tell about.
enum class FieldFormat : uint8_t {
  kText,     // C and every type without a fixed text form
  kNumber,   // N, F: blanks, an optional sign, digits, one point, an exponent
  kDate,     // D of 8 bytes: YYYYMMDD forming a real date, or empty
  kLogical,  // L of 1 byte: one of TtFfYyNn? or empty
  kMemo,     // M, B, G of 10 bytes: a block number in digits, or empty
};

// Writers pad with blanks or with NUL bytes; both count as empty.
inline bool IsBlankByte(uint8_t byte) { return byte == ' ' || byte == 0; }
inline bool IsDigitByte(uint8_t byte) { return static_cast<uint8_t>(byte - '0') < 10; }

// Blanks, an optional sign, digits with at most one point, an optional
// exponent, blanks; or all blanks; or the asterisks dBASE writes when a
// value does not fit.
inline bool FitsNumber(const uint8_t* bytes, size_t length) {
  size_t i = 0;
  while (i < length && IsBlankByte(bytes[i])) ++i;
  if (i == length) return true;
  if (bytes[i] == '*') {
    while (i < length && bytes[i] == '*') ++i;
  } else {
    if (bytes[i] == '-' || bytes[i] == '+') ++i;
    size_t digits = 0;
    bool point = false;
    for (; i < length; ++i) {
      if (IsDigitByte(bytes[i])) {
        ++digits;
      } else if (bytes[i] == '.' && !point) {
        point = true;
      } else {
        break;
      }
    }
    if (digits == 0) return false;
    if (i < length && (bytes[i] == 'e' || bytes[i] == 'E')) {
      ++i;
      if (i < length && (bytes[i] == '-' || bytes[i] == '+')) ++i;
      const size_t exponentStart = i;
      while (i < length && IsDigitByte(bytes[i])) ++i;
      if (i == exponentStart) return false;
    }
  }
  for (; i < length; ++i) {
    if (!IsBlankByte(bytes[i])) return false;
  }
  return true;
}

inline bool FitsDate(const uint8_t* bytes) {
  unsigned d[8];
  bool digits = true;
  for (int i = 0; i < 8; ++i) {
    d[i] = static_cast<unsigned>(bytes[i] - '0') & 0xFFu;
    digits &= d[i] < 10;
  }
  if (!digits) {
    bool blank = true;
    for (int i = 0; i < 8; ++i) blank &= IsBlankByte(bytes[i]);
    return blank;
  }
  const unsigned year = d[0] * 1000 + d[1] * 100 + d[2] * 10 + d[3];
  const unsigned month = d[4] * 10 + d[5];
  const unsigned day = d[6] * 10 + d[7];
  if ((year | month | day) == 0) return true;  // "00000000": no date
  static constexpr uint8_t kDays[13] = {0, 31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year == 0 || month - 1 >= 12 || day - 1 >= kDays[month < 13 ? month : 0]) return false;
  // 29 February only in leap years.
  return month != 2 || day != 29 || (year % 4 == 0 && (year % 100 != 0 || year % 400 == 0));
}

inline bool FitsLogical(uint8_t byte) {
  switch (byte) {
    case 'T': case 't': case 'F': case 'f': case 'Y': case 'y': case 'N': case 'n':
    case '?': case ' ': case 0:
      return true;
    default:
      return false;
  }
}

// Blanks, digits, blanks: a block number aligned either way, or nothing.
inline bool FitsMemo(const uint8_t* bytes, size_t length) {
  size_t i = 0;
  while (i < length && IsBlankByte(bytes[i])) ++i;
  while (i < length && IsDigitByte(bytes[i])) ++i;
  while (i < length && IsBlankByte(bytes[i])) ++i;
  return i == length;
}

// Whether `bytes` (the field's length of them) follow the field's format.
// Text always fits.
inline bool FitsFormat(FieldFormat format, const uint8_t* bytes, size_t length) {
  switch (format) {
    case FieldFormat::kNumber:
      return FitsNumber(bytes, length);
    case FieldFormat::kDate:
      return FitsDate(bytes);
    case FieldFormat::kLogical:
      return FitsLogical(bytes[0]);
    case FieldFormat::kMemo:
      return FitsMemo(bytes, length);
    case FieldFormat::kText:
      break;
  }
  return true;
}

}  // namespace drelin
