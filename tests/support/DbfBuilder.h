// DbfBuilder: writes well-formed dBASE III tables for tests, which the tests
// then damage in one chosen way.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace drelin::testing {

struct DbfField {
  std::string name;
  char type = 'C';
  uint8_t length = 10;
  uint8_t decimals = 0;
};

class DbfBuilder {
 public:
  DbfBuilder& Field(const std::string& name, char type, uint8_t length, uint8_t decimals = 0) {
    fields_.push_back({name, type, length, decimals});
    return *this;
  }
  // One record; values are padded with blanks or cut to the field length.
  DbfBuilder& Record(const std::vector<std::string>& values, bool deleted = false) {
    records_.push_back({values, deleted});
    return *this;
  }
  DbfBuilder& EndOfFileByte(bool present) {
    eof_ = present;
    return *this;
  }
  DbfBuilder& Version(uint8_t version) {
    version_ = version;
    return *this;
  }
  // The language-driver byte (offset 29); 0x57 unless set.
  DbfBuilder& LanguageDriver(uint8_t id) {
    languageDriver_ = id;
    return *this;
  }

  size_t headerLength() const { return 32 + 32 * fields_.size() + 1; }
  size_t recordLength() const {
    size_t length = 1;
    for (const auto& field : fields_) length += field.length;
    return length;
  }

  std::vector<uint8_t> Build() const {
    std::vector<uint8_t> bytes(32, 0);
    bytes[0] = version_;
    bytes[1] = 126;  // 2026
    bytes[2] = 12;
    bytes[3] = 6;
    PutLe(bytes, 4, records_.size(), 4);
    PutLe(bytes, 8, headerLength(), 2);
    PutLe(bytes, 10, recordLength(), 2);
    bytes[29] = languageDriver_;  // which a repair zeroes
    for (const auto& field : fields_) {
      std::vector<uint8_t> block(32, 0);
      for (size_t i = 0; i < field.name.size() && i < 11; ++i) block[i] = static_cast<uint8_t>(field.name[i]);
      block[11] = static_cast<uint8_t>(field.type);
      block[16] = field.length;
      block[17] = field.decimals;
      bytes.insert(bytes.end(), block.begin(), block.end());
    }
    bytes.push_back(0x0D);
    for (const auto& record : records_) {
      bytes.push_back(record.deleted ? 0x2A : 0x20);
      for (size_t j = 0; j < fields_.size(); ++j) {
        std::string value = j < record.values.size() ? record.values[j] : "";
        value.resize(fields_[j].length, ' ');
        bytes.insert(bytes.end(), value.begin(), value.end());
      }
    }
    if (eof_) bytes.push_back(0x1A);
    return bytes;
  }

 private:
  struct RecordValues {
    std::vector<std::string> values;
    bool deleted;
  };
  static void PutLe(std::vector<uint8_t>& bytes, size_t at, uint64_t value, int width) {
    for (int i = 0; i < width; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
  }

  std::vector<DbfField> fields_;
  std::vector<RecordValues> records_;
  bool eof_ = true;
  uint8_t version_ = 0x03;
  uint8_t languageDriver_ = 0x57;
};

}  // namespace drelin::testing
