// Helpers shared by the toolkit tests: drawing markup into an image and
// reading back the display list it produced.
#pragma once

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include "MarkupDrawer.h"

namespace drelin::testing {

// Measures `markup` and draws it into a white image of `size`, returning
// the drawn image; the drawer keeps the display list.
inline QImage DrawMarkup(MarkupDrawer& drawer, const QString& markup, QSize size = QSize(300, 200),
                         QRect* measured = nullptr) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::white);
  const QSize extent = drawer.Measure(&image, markup);
  if (measured != nullptr) *measured = QRect(QPoint(0, 0), extent);
  QPainter painter(&image);
  drawer.Draw(painter, QRect(QPoint(0, 0), size));
  return image;
}

// The text items of the last draw, in order.
inline std::vector<MarkupItem> TextItems(const MarkupDrawer& drawer) {
  std::vector<MarkupItem> items;
  for (const MarkupItem& item : drawer.lastOutput().items)
    if (item.kind == MarkupItem::Kind::Text) items.push_back(item);
  return items;
}

inline std::vector<MarkupItem> ItemsOf(const MarkupDrawer& drawer, MarkupItem::Kind kind) {
  std::vector<MarkupItem> items;
  for (const MarkupItem& item : drawer.lastOutput().items)
    if (item.kind == kind) items.push_back(item);
  return items;
}

inline QColor Pixel(const QImage& image, int x, int y) { return QColor(image.pixel(x, y)); }

}  // namespace drelin::testing
