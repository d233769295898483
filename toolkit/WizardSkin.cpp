#include "WizardSkin.h"

#include "MarkupImages.h"
#include "ResourceIds.h"

namespace drelin {
namespace {

// The view's measures: the band heights, the lists' top-left corner and the
// margins kept free at the right and at the bottom.
constexpr int kTopBand = 229;
constexpr int kBottomBand = 100;
constexpr int kListLeft = 40, kListTop = 225;
constexpr int kRightMargin = 40, kBottomMargin = 100;
// The middle piece reaches this far into the top-right piece.
constexpr int kMiddleOverlap = 5;

// The rows `first` to `first + count - 1` of a picture (logical rows; the
// copy is cut in device pixels and keeps the picture's ratio).
QImage Rows(const QImage& picture, int first, int count) {
  if (picture.isNull()) return {};
  const qreal ratio = picture.devicePixelRatio();
  return picture.copy(0, qRound(first * ratio), picture.width(), qRound(count * ratio));
}

void Draw(QPainter& painter, const QRect& target, const QImage& piece) {
  if (!piece.isNull() && target.width() > 0 && target.height() > 0) painter.drawImage(target, piece);
}

int LogicalWidth(const QImage& piece) { return qRound(piece.deviceIndependentSize().width()); }

}  // namespace

WizardSkin::WizardSkin(qreal devicePixelRatio)
    : topLeft_(Rows(LoadProgramImage(res::kBmpSkinTopLeft, devicePixelRatio), 0, kTopBand)),
      topRight_(Rows(LoadProgramImage(res::kBmpSkinTopRight, devicePixelRatio), 1, kTopBand)),
      top_(Rows(LoadProgramImage(res::kBmpSkinTop, devicePixelRatio), 1, kTopBand)),
      bottomRight_(Rows(LoadProgramImage(res::kBmpSkinBottomRight, devicePixelRatio), 52, kBottomBand)),
      bottomLeft_(Rows(LoadProgramImage(res::kBmpSkinBottomLeft, devicePixelRatio), 52, kBottomBand)),
      left_(LoadProgramImage(res::kBmpSkinLeft, devicePixelRatio)),
      right_(LoadProgramImage(res::kBmpSkinRight, devicePixelRatio)) {}

bool WizardSkin::complete() const {
  for (const QImage* piece : {&topLeft_, &topRight_, &top_, &bottomRight_, &bottomLeft_, &left_, &right_})
    if (piece->isNull()) return false;
  return true;
}

void WizardSkin::Paint(QPainter& painter, const QSize& client) const {
  const int w = client.width(), h = client.height();
  const int leftWidth = LogicalWidth(topLeft_), rightWidth = LogicalWidth(topRight_);
  const int cornerWidth = LogicalWidth(bottomRight_);
  const int stripHeight = h - kListTop - kBottomMargin;
  painter.save();
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  Draw(painter, QRect(0, 0, leftWidth, kTopBand), topLeft_);
  Draw(painter, QRect(w - rightWidth, 0, rightWidth, kTopBand), topRight_);
  Draw(painter, QRect(leftWidth, 0, w - leftWidth - rightWidth + kMiddleOverlap, kTopBand), top_);
  Draw(painter, QRect(w - cornerWidth, h - kBottomBand, cornerWidth, kBottomBand), bottomRight_);
  Draw(painter, QRect(0, h - kBottomBand, w - cornerWidth, kBottomBand), bottomLeft_);
  Draw(painter, QRect(0, kListTop, kListLeft, stripHeight), left_);
  Draw(painter, QRect(w - kRightMargin, kListTop, kRightMargin, stripHeight), right_);
  painter.restore();
}

}  // namespace drelin
