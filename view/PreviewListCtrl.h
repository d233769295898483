// CPreviewListCtrl: the File Preview window's grid (id 1025), a report list
// of the preview reader's columns and rows. It paints only the rows in view
// and asks the lazy table for just their cells, so a table of ten million
// records opens, scrolls and ends as fast as one of ten and costs the same
// memory. A horizontal header names and sizes the columns; the vertical
// scroll bar counts rows (see RowScroll). Single selection of whole rows,
// grid lines, an optional tiled background image, and the keys of a list:
// arrows, Page Up/Down, Home/End with or without Ctrl.
#pragma once

#include <QAbstractScrollArea>
#include <QImage>
#include <QPixmap>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "FileIo.h"
#include "PreviewContent.h"
#include "RowScroll.h"

class QHeaderView;

namespace drelin {

class PreviewHeaderModel;

class CPreviewListCtrl : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit CPreviewListCtrl(QWidget* parent = nullptr);
  ~CPreviewListCtrl() override;

  // Shows the table at `path` from its first row; a missing file empties
  // the grid and returns false; any other failure is a FileError and
  // changes nothing.
  bool Open(FileIo& io, const std::string& path);
  // Redecodes titles and cells; std::invalid_argument for a refused name.
  void SetCodePage(const std::string& name);
  // Tiled from the top-left corner behind the rows; null: the base colour.
  void SetBackgroundImage(const QImage& image);

  const PreviewContent& content() const { return content_; }
  QHeaderView* header() const { return header_; }

  uint64_t topRow() const { return top_; }
  std::optional<uint64_t> selectedRow() const { return selected_; }
  int rowHeight() const;
  // Rows that fit whole in the view (at least one).
  uint64_t pageRows() const;
  // Selects `row` and scrolls it into view.
  void SelectRow(uint64_t row);

 signals:
  // A paint of the rows has finished (the rows in view are on screen).
  void painted();
  // The file could no longer be read while painting; told once per table,
  // after the paint.
  void readFailed(const QString& message);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void changeEvent(QEvent* event) override;

 private:
  void Reset();
  void UpdateGeometries();
  void UpdateScrollBars();
  void SetTop(uint64_t top);
  void ScrollRows(int64_t rows);
  void OnScrollAction(int action);
  bool MoveSelection(int key);
  void PaintRows(QPainter& painter, int firstColumn, int lastColumn);
  void PaintGridLines(QPainter& painter, int firstColumn, int lastColumn);
  QString CellText(uint64_t row, int column);

  PreviewContent content_;
  std::unique_ptr<PreviewHeaderModel> headerModel_;
  QHeaderView* header_;
  QPixmap background_;
  RowScroll scroll_;
  uint64_t top_ = 0;
  std::optional<uint64_t> selected_;
  int wheelRemainder_ = 0;
  bool inLayout_ = false;  // a bar or margin change re-entering the layout
  bool readFailureTold_ = false;
};

}  // namespace drelin
