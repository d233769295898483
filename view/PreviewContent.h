// PreviewContent: what the preview grid shows, as text. It holds the lazy
// preview table of one repaired file (the preview reader's columns and
// cells, read on demand) and decodes titles and cells through the chosen
// code page, so any row of any table is at hand without reading the others.
#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "CodePage.h"
#include "FileIo.h"
#include "PreviewTable.h"

namespace drelin {

class PreviewContent {
 public:
  // More columns than any dBASE table has (255 fields at most); only a
  // descriptor area of garbage has more, and beyond this many the header
  // could not hold their widths.
  static constexpr int kMaxColumns = 65536;

  PreviewContent();

  // Opens the table at `path` for showing; null when no file is there, a
  // FileError for any other failure.
  static std::unique_ptr<PreviewTable> OpenTable(FileIo& io, const std::string& path);
  // Shows `table` (null: nothing, the empty grid).
  void Show(std::unique_ptr<PreviewTable> table);

  // Decodes from now on with the code page `name`; std::invalid_argument
  // (and no change) when the name is refused.
  void SetCodePage(const std::string& name);
  const std::string& codePageName() const { return codePage_->name(); }

  int columnCount() const { return static_cast<int>(titles_.size()); }
  uint64_t rowCount() const { return table_ ? table_->rowCount() : 0; }
  const QString& Title(int column) const { return titles_[static_cast<size_t>(column)]; }
  int Width(int column) const { return table_->columnWidth(static_cast<size_t>(column)); }
  // The decoded cell; a FileError when the file can no longer be read.
  QString Cell(uint64_t row, int column) const;

 private:
  void DecodeTitles();

  std::unique_ptr<PreviewTable> table_;
  std::unique_ptr<CodePage> codePage_;
  std::vector<QString> titles_;
};

}  // namespace drelin
