// ByteSource: the bytes a repair or the preview reads, as a view over a file.
// Advance repair forces one byte inside the file (the header terminator the
// stored header length implies); a ByteSource shows the file as if that had
// been done to a copy, without copying anything.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "File.h"

namespace drelin {

class ByteSource {
 public:
  explicit ByteSource(const File& file);

  // Shows `value` at `offset`, which must lie inside the file.
  void Force(uint64_t offset, uint8_t value);

  const File& file() const { return file_; }
  uint64_t length() const { return length_; }
  std::optional<uint64_t> forcedOffset() const { return forcedOffset_; }
  uint8_t forcedValue() const { return forcedValue_; }

  // Reads up to `count` bytes at `offset`; fewer only where the file ends.
  // A file that ends before its measured length is an error (it changed
  // while it was being read).
  size_t Read(uint64_t offset, uint8_t* buffer, size_t count) const;
  // The byte at `offset`, which must lie inside the view.
  uint8_t At(uint64_t offset) const;

 private:
  const File& file_;
  uint64_t length_;
  std::optional<uint64_t> forcedOffset_;
  uint8_t forcedValue_ = 0;
};

}  // namespace drelin
