#include "MarkupItems.h"

#include <QBrush>
#include <QPainter>

namespace drelin {

void PaintMarkupItems(QPainter& painter, const std::vector<MarkupItem>& items,
                      MarkupGraphics& graphics, const ImageShadow& shadow) {
  for (const MarkupItem& item : items) {
    switch (item.kind) {
      case MarkupItem::Kind::Text:
        if (item.opaque) painter.fillRect(item.rect, item.background.toQColor());
        painter.setFont(item.font);
        painter.setPen(item.color.toQColor());
        painter.drawText(QPoint(item.rect.left(), item.baseline), item.text);
        if (item.overline > 0)
          painter.fillRect(QRect(item.rect.left(), item.rect.top(), item.rect.width(), item.overline),
                           item.color.toQColor());
        break;
      case MarkupItem::Kind::Image:
        MarkupGraphics::DrawImage(painter, item.rect, item.image, item.mask, item.imageStyle, shadow);
        break;
      case MarkupItem::Kind::Line:
        MarkupGraphics::DrawLine(painter, item.from, item.to, item.color, item.lineStyle, item.lineWidth);
        break;
      case MarkupItem::Kind::Effect:
        graphics.FillEffect(painter, item.effect, item.rect, item.start, item.mid, item.end, item.grain, 0);
        break;
      case MarkupItem::Kind::Frame:
        MarkupGraphics::DrawFrame(painter, item.rect, item.light, item.dark, item.lineStyle, item.lineWidth);
        break;
      case MarkupItem::Kind::Tile:
        painter.save();
        painter.setBrushOrigin(item.rect.topLeft());
        painter.fillRect(item.rect, QBrush(item.image));
        painter.restore();
        break;
    }
  }
}

}  // namespace drelin
