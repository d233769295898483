#include "ReportList.h"

#include <QHeaderView>
#include <QPainter>
#include <QPixmap>
#include <QTreeWidget>

#include "MarkupImages.h"

namespace drelin {

QFont ListFont() {
  QFont font;
  font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
  font.setPixelSize(11);
  return font;
}

void SetUpReportList(QTreeWidget* list, const QString& name) {
  list->setObjectName(name);
  list->setFont(ListFont());
  list->setRootIsDecorated(false);
  list->setItemsExpandable(false);
  list->setUniformRowHeights(true);
  list->setAllColumnsShowFocus(true);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setItemDelegate(new GridDelegate(list));
  list->header()->setSectionsMovable(false);
  list->header()->setStretchLastSection(false);
}

void SetReportColumns(QTreeWidget* list, const char* const* headings, const int* widths, int count) {
  list->setColumnCount(count);
  QStringList labels;
  for (int column = 0; column < count; ++column) labels << QString::fromLatin1(headings[column]);
  list->setHeaderLabels(labels);
  for (int column = 0; column < count; ++column) {
    list->setColumnWidth(column, widths[column]);
    list->headerItem()->setTextAlignment(column, Qt::AlignLeft | Qt::AlignVCenter);
  }
}

QIcon ProgramIcon(int id, int side) {
  QIcon icon;
  for (const qreal ratio : {1.0, 2.0}) {
    const QImage picture = LoadProgramImage(id, ratio);
    if (picture.isNull()) continue;
    const int pixels = qRound(side * ratio);
    QPixmap pixmap = QPixmap::fromImage(
        picture.scaled(pixels, pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    pixmap.setDevicePixelRatio(ratio);
    icon.addPixmap(pixmap);
  }
  return icon;
}

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
  QStyledItemDelegate::paint(painter, option, index);
  painter->save();
  painter->setPen(QColor(208, 208, 208));
  const QRect& cell = option.rect;
  painter->drawLine(cell.topRight(), cell.bottomRight());
  painter->drawLine(cell.bottomLeft(), cell.bottomRight());
  painter->restore();
}

}  // namespace drelin
