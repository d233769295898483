#include "ByteSource.h"

#include <algorithm>
#include <cstring>

#include "FileError.h"

namespace drelin {

ByteSource::ByteSource(const File& file)
    : file_(file), fileLength_(file.Size()), length_(fileLength_) {}

void ByteSource::Force(uint64_t offset, uint8_t value) {
  forcedOffset_ = offset;
  forcedValue_ = value;
  length_ = std::max(length_, offset + 1);
}

size_t ByteSource::Read(uint64_t offset, uint8_t* buffer, size_t count) const {
  if (offset >= length_) return 0;
  const size_t total = static_cast<size_t>(std::min<uint64_t>(count, length_ - offset));
  size_t fromFile = 0;
  if (offset < fileLength_) {
    fromFile = static_cast<size_t>(std::min<uint64_t>(total, fileLength_ - offset));
    if (file_.ReadAt(offset, buffer, fromFile) != fromFile) {
      throw FileError(file_.path(), "the file changed while it was being read");
    }
  }
  std::memset(buffer + fromFile, 0, total - fromFile);
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
