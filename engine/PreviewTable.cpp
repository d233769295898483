#include "PreviewTable.h"

#include <algorithm>
#include <cstring>

#include "DbfLayout.h"
#include "TableLimits.h"

namespace drelin {

namespace {

// A forward-moving window over the source, refilled only when a read leaves
// it, so streaming the records costs one large read per megabyte.
class Window {
 public:
  Window(const ByteSource& source, size_t size)
      : source_(source),
        buffer_(static_cast<size_t>(std::min<uint64_t>(
            size, std::max<uint64_t>(source.length(), PreviewTable::kMinWindowSize)))) {}

  size_t capacity() const { return buffer_.size(); }

  // Makes [offset, offset + count) available (count at most the capacity),
  // refilling from `offset` if it is not; the views handed out before a
  // refill become invalid.
  void Load(uint64_t offset, size_t count) {
    const uint64_t end = std::min<uint64_t>(offset + count, source_.length());
    if (offset < start_ || end > start_ + filled_) {
      start_ = offset;
      filled_ = source_.Read(offset, buffer_.data(), buffer_.size());
    }
  }

  // Bytes [offset, offset + count), cut at the source's end.
  std::string_view Get(uint64_t offset, size_t count) {
    Load(offset, count);
    const size_t available =
        static_cast<size_t>(std::min<uint64_t>(count, start_ + filled_ - offset));
    return {reinterpret_cast<const char*>(buffer_.data() + (offset - start_)), available};
  }

 private:
  const ByteSource& source_;
  std::vector<uint8_t> buffer_;
  uint64_t start_ = 0;
  size_t filled_ = 0;
};

std::string_view UpToNul(std::string_view bytes) {
  const void* nul = std::memchr(bytes.data(), 0, bytes.size());
  if (!nul) return bytes;
  return bytes.substr(0, static_cast<size_t>(static_cast<const char*>(nul) - bytes.data()));
}

}  // namespace

PreviewTable::PreviewTable(FileIo& io, const std::string& path, size_t windowSize)
    : file_(File::OpenForReading(io, path)),
      source_(file_),
      windowSize_(std::max(windowSize, kMinWindowSize)) {
  CheckSourceLength(path, source_.length());
  uint64_t sum = 0;
  scan_ = ScanTable(source_, [&](uint64_t, uint8_t length) {
    if (lengths_.size() % 64 == 0) prefixEvery64_.push_back(sum);
    lengths_.push_back(length);
    sum += length;
  });

  const uint64_t length = scan_.length;
  const uint64_t first = scan_.firstRecordOffset;
  if (!scan_.firstRecordFound()) return;
  if (lengths_.empty()) {
    // Without fields a record is its flag alone; a final end-of-file byte is
    // no record.
    const uint64_t records = length - first - (source_.At(length - 1) == kEndOfFile ? 1 : 0);
    rowCount_ = std::max<uint64_t>(records, 1);
  } else if (first + 2 <= length) {
    // A row exists for every record whose first field starts inside the file.
    rowCount_ = 1 + (length - first - 2) / scan_.recordLength();
  }
}

std::string PreviewTable::columnTitle(size_t column) const {
  if (column == 0) return kIndexColumnTitle;
  uint8_t block[DbfFieldDescriptor::kSize] = {};
  source_.Read(DbfHeader::kSize + (column - 1) * DbfFieldDescriptor::kSize, block, sizeof block);
  const auto* end = std::find(block, block + sizeof block, 0);
  return std::string(reinterpret_cast<const char*>(block), static_cast<size_t>(end - block));
}

int PreviewTable::columnWidth(size_t column) const {
  if (column == 0) return kIndexColumnWidth;
  return 5 * lengths_[column - 1] + 100;
}

uint64_t PreviewTable::FieldOffset(size_t field) const {
  uint64_t offset = prefixEvery64_[field / 64];
  for (size_t j = field / 64 * 64; j < field; ++j) offset += lengths_[j];
  return offset;
}

std::string PreviewTable::Cell(uint64_t row, size_t column) const {
  if (row >= rowCount_) return {};
  if (column == 0) return std::to_string(row + 1);
  if (column > lengths_.size() || !scan_.firstRecordFound()) return {};
  const uint64_t start =
      scan_.firstRecordOffset + 1 + row * scan_.recordLength() + FieldOffset(column - 1);
  if (start >= scan_.length) return {};
  const size_t count =
      static_cast<size_t>(std::min<uint64_t>(lengths_[column - 1], scan_.length - start));
  std::string bytes(count, '\0');
  source_.Read(start, reinterpret_cast<uint8_t*>(bytes.data()), count);
  return std::string(UpToNul(bytes));
}

bool PreviewTable::Deleted(uint64_t row) const {
  if (row >= rowCount_ || !scan_.firstRecordFound()) return false;
  return IsDeletedFlag(source_.At(scan_.firstRecordOffset + row * scan_.recordLength()));
}

void PreviewTable::ForEachRow(uint64_t first, uint64_t count, const RowVisitor& visit) const {
  const uint64_t end = std::min(rowCount_, first + std::min(count, rowCount_));
  std::vector<std::string_view> cells(lengths_.size());
  Window window(source_, windowSize_);
  if (lengths_.empty() || !scan_.firstRecordFound()) {
    // Without fields each record is its flag alone.
    for (uint64_t row = first; row < end; ++row) {
      const bool deleted = scan_.firstRecordFound() &&
                           IsDeletedFlag(static_cast<uint8_t>(window.Get(scan_.firstRecordOffset + row, 1)[0]));
      visit(row, cells.data(), 0, deleted);
    }
    return;
  }
  const uint64_t length = scan_.length;
  const uint64_t recordLength = scan_.recordLength();
  // A record that fits the window is loaded whole with its flag, so its
  // cells stay valid together; a longer one (only in absurd tables) copies
  // each cell out.
  const bool wholeRecords = scan_.lengthSum + 1 <= window.capacity();
  std::vector<std::string> copies(wholeRecords ? 0 : lengths_.size());
  for (uint64_t row = first; row < end; ++row) {
    uint64_t offset = scan_.firstRecordOffset + 1 + row * recordLength;
    if (wholeRecords) window.Load(offset - 1, static_cast<size_t>(scan_.lengthSum + 1));
    // Every row's flag lies inside the file: a row exists only for a record
    // whose first field starts there.
    const bool deleted = IsDeletedFlag(static_cast<uint8_t>(window.Get(offset - 1, 1)[0]));
    size_t set = 0;
    for (; set < lengths_.size() && offset < length; ++set) {
      const std::string_view bytes = UpToNul(window.Get(offset, lengths_[set]));
      if (wholeRecords) {
        cells[set] = bytes;
      } else {
        copies[set].assign(bytes);
        cells[set] = copies[set];
      }
      offset += lengths_[set];
    }
    visit(row, cells.data(), set, deleted);
  }
}

}  // namespace drelin
