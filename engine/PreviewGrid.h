// PreviewGrid: the three grid operations the preview reader fills a grid
// through. The desktop preview, the command line and the tests each supply
// their own.
#pragma once

#include <cstdint>
#include <string>

namespace drelin {

enum class ColumnAlignment { kLeft, kCentre, kRight };

class PreviewGrid {
 public:
  virtual ~PreviewGrid() = default;
  // Titles and cells are the table's raw bytes; the grid decodes them.
  virtual void InsertColumn(int index, const std::string& title, ColumnAlignment alignment,
                            int width) = 0;
  virtual void InsertRow(uint64_t row, const std::string& text) = 0;
  virtual void SetCell(uint64_t row, int column, const std::string& text) = 0;
};

}  // namespace drelin
