// The on-disk layout of a dBASE III table: the 32-byte table header, the
// 32-byte field descriptors after it, the header terminator and the record
// flags. Only the engine parses table files; everything else asks it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace drelin {

// The first 32 bytes of a table. Field offsets are the byte offsets in the
// file; integers are little-endian and unsigned.
struct DbfHeader {
  static constexpr size_t kSize = 32;
  static constexpr size_t kVersionOffset = 0;       // 1 byte: table version
  static constexpr size_t kLastUpdateOffset = 1;    // 3 bytes: year, month, day
  static constexpr size_t kRecordCountOffset = 4;   // 4 bytes
  static constexpr size_t kHeaderLengthOffset = 8;  // 2 bytes: offset of the first record
  static constexpr size_t kRecordLengthOffset = 10; // 2 bytes: 1 + sum of field lengths
  static constexpr size_t kReservedOffset = 12;     // 20 bytes
  // Inside the reserved bytes, the language-driver id dBASE and FoxPro
  // write: the code page of the table's text (TableCodePage).
  static constexpr size_t kLanguageDriverOffset = 29;

  // The version byte a repair writes, unless it keeps a memo version
  // (RepairedVersion).
  static constexpr uint8_t kRepairedVersion = 3;
};

// One 32-byte field descriptor; the first stands at offset 32, the next at
// 64, and so on until the header terminator.
struct DbfFieldDescriptor {
  static constexpr size_t kSize = 32;
  static constexpr size_t kNameOffset = 0;  // 11 bytes, NUL-padded
  static constexpr size_t kNameSize = 11;
  static constexpr size_t kTypeOffset = 11;
  static constexpr size_t kDataAddressOffset = 12;
  static constexpr size_t kLengthOffset = 16;  // the only byte the repair uses
  static constexpr size_t kDecimalCountOffset = 17;
};

constexpr uint8_t kHeaderTerminator = 0x0D;
constexpr uint8_t kActiveRecordFlag = 0x20;
constexpr uint8_t kDeletedRecordFlag = 0x2A;
constexpr uint8_t kEndOfFile = 0x1A;
// What stands in for bytes of a field that lie past the end of the file.
constexpr uint8_t kFieldPadding = 0x20;

// A table's length must fit the 32-bit record count and offsets of the
// format; larger files are refused.
constexpr uint64_t kMaxTableLength = 0xFFFFFFFFull;

inline bool IsRecordFlag(uint8_t byte) {
  return byte == kActiveRecordFlag || byte == kDeletedRecordFlag;
}

// A record is active only under the flag 0x20; any other flag marks it
// deleted (0x2A by convention).
inline bool IsDeletedFlag(uint8_t flag) { return flag != kActiveRecordFlag; }

// Version bytes that say the table's memo fields keep their text in a memo
// file: dBASE III and dBASE IV (.dbt), FoxPro (.fpt).
constexpr uint8_t kDbase3MemoVersion = 0x83;
constexpr uint8_t kDbase4MemoVersion = 0x8B;
constexpr uint8_t kFoxProMemoVersion = 0xF5;

inline bool IsMemoVersion(uint8_t version) {
  return version == kDbase3MemoVersion || version == kDbase4MemoVersion ||
         version == kFoxProMemoVersion;
}

// FoxPro and Visual FoxPro tables.
inline bool IsFoxProVersion(uint8_t version) {
  return version == kFoxProMemoVersion || version == 0x30 || version == 0x31 || version == 0x32;
}

// Field types whose values are blocks of the memo file: M (memo), and in
// FoxPro tables also G (general) and P (picture).
inline bool IsFoxProMemoType(uint8_t type) { return type == 'G' || type == 'P'; }
inline bool IsMemoType(uint8_t type, uint8_t version) {
  return type == 'M' || (IsFoxProVersion(version) && IsFoxProMemoType(type));
}

inline uint16_t ReadLe16(const uint8_t* bytes) {
  return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
}

inline uint32_t ReadLe32(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
         (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

inline void WriteLe16(uint8_t* bytes, uint16_t value) {
  bytes[0] = static_cast<uint8_t>(value);
  bytes[1] = static_cast<uint8_t>(value >> 8);
}

inline void WriteLe32(uint8_t* bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace drelin
