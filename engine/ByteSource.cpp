#include "ByteSource.h"

#include <algorithm>
#include <stdexcept>

#include "FileError.h"

namespace drelin {

ByteSource::ByteSource(const File& file) : file_(file), length_(file.Size()) {}

void ByteSource::Force(uint64_t offset, uint8_t value) {
  if (offset >= length_) throw std::out_of_range("forced byte past the end of the source");
  forcedOffset_ = offset;
  forcedValue_ = value;
}

size_t ByteSource::Read(uint64_t offset, uint8_t* buffer, size_t count) const {
  if (offset >= length_) return 0;
  const size_t total = static_cast<size_t>(std::min<uint64_t>(count, length_ - offset));
  if (file_.ReadAt(offset, buffer, total) != total) {
    throw FileError(file_.path(), "the file changed while it was being read");
  }
  if (forcedOffset_ && *forcedOffset_ >= offset && *forcedOffset_ < offset + total) {
    buffer[*forcedOffset_ - offset] = forcedValue_;
  }
  return total;
}

uint8_t ByteSource::At(uint64_t offset) const {
  uint8_t byte = 0;
  Read(offset, &byte, 1);
  return byte;
}

}  // namespace drelin
