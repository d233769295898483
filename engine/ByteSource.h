// ByteSource: the bytes a repair or the preview reads, as a view over a file.
// Advance repair forces one byte (the header terminator the stored header
// length implies) and may lengthen the table with zeros up to it; a
// ByteSource shows the file as if that had been done to a copy, without
// copying anything.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "File.h"

namespace drelin {

class ByteSource {
 public:
  explicit ByteSource(const File& file);

  // Shows `value` at `offset`; an offset at or past the end lengthens the
  // view to offset + 1 with zero bytes in between.
  void Force(uint64_t offset, uint8_t value);

  const File& file() const { return file_; }
  // Length of the view.
  uint64_t length() const { return length_; }
  // Length of the underlying file.
  uint64_t fileLength() const { return fileLength_; }
  std::optional<uint64_t> forcedOffset() const { return forcedOffset_; }
  uint8_t forcedValue() const { return forcedValue_; }

  // Reads up to `count` bytes at `offset`; fewer only where the view ends.
  // A file that ends before its measured length is an error (it changed
  // while it was being read).
  size_t Read(uint64_t offset, uint8_t* buffer, size_t count) const;
  // The byte at `offset`, which must lie inside the view.
  uint8_t At(uint64_t offset) const;

 private:
  const File& file_;
  uint64_t fileLength_;
  uint64_t length_;
  std::optional<uint64_t> forcedOffset_;
  uint8_t forcedValue_ = 0;
};

}  // namespace drelin
