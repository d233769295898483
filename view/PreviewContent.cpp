#include "PreviewContent.h"

#include <algorithm>
#include <cerrno>

#include "FileError.h"

namespace drelin {

namespace {

QString Decoded(const CodePage& codePage, const std::string& bytes) {
  return QString::fromStdString(codePage.Decode(bytes));
}

}  // namespace

PreviewContent::PreviewContent() : codePage_(std::make_unique<CodePage>()) {}

std::unique_ptr<PreviewTable> PreviewContent::OpenTable(FileIo& io, const std::string& path) {
  try {
    return std::make_unique<PreviewTable>(io, path);
  } catch (const FileError& error) {
    if (error.operation() == "open" && (error.error() == ENOENT || error.error() == ENOTDIR)) return nullptr;
    throw;
  }
}

void PreviewContent::Show(std::unique_ptr<PreviewTable> table) {
  table_ = std::move(table);
  DecodeTitles();
}

void PreviewContent::SetCodePage(const std::string& name) {
  codePage_ = std::make_unique<CodePage>(name);
  DecodeTitles();
}

QString PreviewContent::Cell(uint64_t row, int column) const {
  return Decoded(*codePage_, table_->Cell(row, static_cast<size_t>(column)));
}

void PreviewContent::DecodeTitles() {
  titles_.clear();
  if (!table_) return;
  const size_t count = std::min<size_t>(table_->columnCount(), kMaxColumns);
  titles_.reserve(count);
  for (size_t column = 0; column < count; ++column) {
    titles_.push_back(Decoded(*codePage_, table_->columnTitle(column)));
  }
}

}  // namespace drelin
