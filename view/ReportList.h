// ReportList: what the view's two report-style lists share: the numbered
// program icons at a list's size, and the cell painting with grid lines
// (Qt's tree view draws none) under whatever colours the cell asks for.
#pragma once

#include <QFont>
#include <QIcon>
#include <QStyledItemDelegate>

class QTreeWidget;

namespace drelin {

// The lists' font: 8 points (11 pixels at 96 DPI) of Liberation Sans, the
// face made to Arial's metrics, close to the platform's list font, so the
// headings and times fit the columns' widths in pixels.
QFont ListFont();

// The numbered program icon `id` scaled to `side` logical pixels, with a
// twice-size copy for dense screens; a null icon when there is no picture.
QIcon ProgramIcon(int id, int side);

// Makes `list` a flat report: the list font, whole rows selected one at a
// time, grid lines, fixed columns that do not stretch, and the object name
// tests find it by.
void SetUpReportList(QTreeWidget* list, const QString& name);

// Gives `list` its `count` columns: the headings, left-aligned, and each
// column's width in pixels.
void SetReportColumns(QTreeWidget* list, const char* const* headings, const int* widths, int count);

// Paints a cell as usual, then its right and bottom grid lines.
class GridDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace drelin
