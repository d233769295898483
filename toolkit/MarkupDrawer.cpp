#include "MarkupDrawer.h"

#include <QPaintDevice>
#include <QPainter>
#include <QUrl>

#include <algorithm>

#include "MarkupImages.h"
#include "MarkupLayout.h"
#include "MarkupLimits.h"
#include "ShellLaunch.h"
#include "StringTable.h"
#include "MarkupValues.h"

namespace drelin {

MarkupDrawer::MarkupDrawer()
    : disabledColor_(SystemColor(kColorButtonShadow)), cursor_(Qt::PointingHandCursor) {}

void MarkupDrawer::SetStyleSheet(const std::optional<QString>& text) {
  styles_.Set(text ? *text : MarkupStyleSheet::DefaultText());
}

void MarkupDrawer::SetImageShadow(int offsetX, int offsetY, int darkness, int kind, int blurX, int blurY) {
  const int limit = 64;
  shadow_.offsetX = std::clamp(offsetX, -limit, limit);
  shadow_.offsetY = std::clamp(offsetY, -limit, limit);
  shadow_.darkness = std::min(darkness, 100);
  shadow_.kind = kind;
  shadow_.blurX = blurX;
  shadow_.blurY = blurY;
}

void MarkupDrawer::SetMaxLineWidth(int width) {
  maxLineWidth_ = std::clamp(width, 0, markup_limits::kMaxLength);
}

void MarkupDrawer::SetLinkCursor(const std::optional<QCursor>& cursor) {
  cursor_ = cursor ? *cursor : QCursor(Qt::PointingHandCursor);
}

QSize MarkupDrawer::RunLayout(const QRect* rect, int dpi) {
  MarkupLayoutContext context;
  context.styles = &styles_;
  context.colors = &colors_;
  context.colorsEnabled = colorsEnabled_;
  context.disabledColor = disabledColor_;
  context.maxLineWidth = maxLineWidth_;
  context.shadow = shadow_;
  context.hoveredLink = hovered_;
  context.dpi = dpi;
  context.loadImage = [this](const MarkupAttributes& attributes) {
    QString key;
    for (const auto& [name, value] : attributes) key += name + QLatin1Char('=') + value + QLatin1Char('\n');
    const auto it = imageCache_.find(key);
    if (it != imageCache_.end()) return it->second;
    if (imageCache_.size() >= 64) imageCache_.clear();
    return imageCache_[key] = LoadTagImage(attributes, resourceModule_);
  };
  context.loadString = [](const MarkupAttributes& attributes) {
    const QString* id = FindAttribute(attributes, "idres");
    if (id == nullptr) id = FindAttribute(attributes, "iddll");
    const std::optional<long long> number = id ? ParseNumber(*id) : std::nullopt;
    return number ? LoadString(nullptr, static_cast<std::uint32_t>(*number)) : QString();
  };
  MarkupLayout layout(context, tokens_);
  if (rect == nullptr) return layout.Measure();
  output_ = MarkupOutput{};
  return layout.Draw(*rect, output_);
}

QSize MarkupDrawer::Measure(const QPaintDevice* device, const QString& text) {
  dpi_ = device != nullptr && device->logicalDpiY() > 0 ? device->logicalDpiY() : 96;
  imageCache_.clear();
  output_ = MarkupOutput{};
  text_ = PreprocessMarkup(text, newlineMode_);
  if (text_.isEmpty()) {
    tokens_.clear();
    return QSize(1, 1);
  }
  tokens_ = TokenizeMarkup(QLatin1String("<body>") + text_ + QLatin1String("</body>"));
  QSize size = RunLayout(nullptr, dpi_);
  if (maxLineWidth_ > 0) size.setWidth(std::min(size.width(), maxLineWidth_));
  return size + QSize(1, 1);
}

void MarkupDrawer::Draw(QPainter& painter, const QRect& rect) {
  if (text_.isEmpty()) return;
  RunLayout(&rect, dpi_);
  painter.save();
  PaintMarkupItems(painter, output_.items, graphics_, shadow_);
  painter.restore();
}

const MarkupLinkArea* MarkupDrawer::HitTest(QPoint point) const {
  for (const MarkupLinkArea& area : output_.links) {
    const QRect& r = area.rect;
    if (point.x() >= r.left() && point.x() <= r.left() + r.width() && point.y() >= r.top() &&
        point.y() <= r.top() + r.height())
      return &area;
  }
  return nullptr;
}

bool MarkupDrawer::OnMouseMove(QPoint point) {
  const MarkupLinkArea* hit = HitTest(point);
  if (hit != nullptr) {
    if (hit->number != hovered_) {
      hovered_ = hit->number;
      if (notify_) notify_(hovered_);
    }
    return !hit->text.isEmpty();
  }
  if (hovered_ != kNoLink) {
    hovered_ = kNoLink;
    if (notify_) notify_(hovered_);
  }
  return false;
}

void MarkupDrawer::OnClick(QPoint point) {
  const MarkupLinkArea* hit = HitTest(point);
  if (hit == nullptr || hit->text.isEmpty()) return;
  const QString text = hit->text;  // the handlers may repaint and replace the areas
  if (hit->kind == LinkKind::Address) {
    ShellLaunch::Open(QUrl::fromUserInput(text));
  } else if (hit->kind == LinkKind::Message && linkMessage_) {
    linkMessage_(text);
  }
}

}  // namespace drelin
