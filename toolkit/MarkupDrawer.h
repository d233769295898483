// MarkupDrawer: measures and paints one markup text into a rectangle and
// makes its links live. The message box holds one per text area. Markup is
// data: unknown tags and values are ignored, and MarkupLimits bounds what
// a text can ask for. User-interface thread only.
#pragma once

#include <QCursor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "ColorRef.h"
#include "MarkupColors.h"
#include "MarkupGraphics.h"
#include "MarkupItems.h"
#include "MarkupStyleSheet.h"
#include "MarkupTokenizer.h"

class QPainter;
class QPaintDevice;

namespace drelin {

class MarkupDrawer {
 public:
  // Told the new hovered link number (-2 for none) whenever it changes.
  using HoverNotify = std::function<void(int hoveredLink)>;
  // Receives the text of a clicked message link (<a msg="...">).
  using LinkMessage = std::function<void(const QString& linkText)>;

  static constexpr int kNoLink = -2;

  MarkupDrawer();

  void SetNotify(HoverNotify notify) { notify_ = std::move(notify); }
  void SetLinkMessage(LinkMessage target) { linkMessage_ = std::move(target); }
  // Replaces all styles; nothing restores the default sheet.
  void SetStyleSheet(const std::optional<QString>& text);
  // On: line feeds become <br> and tabs <t>. Off: both are removed.
  void SetNewlineMode(bool on) { newlineMode_ = on; }
  // With colours off every colour of the markup is the disabled colour.
  void SetColorsEnabled(bool on) { colorsEnabled_ = on; }
  void SetDisabledColor(ColorRef color) { disabledColor_ = color; }
  // Darkness is clamped to 100.
  void SetImageShadow(int offsetX, int offsetY, int darkness, int kind, int blurX, int blurY);
  // Nothing restores the pointing-hand cursor.
  void SetLinkCursor(const std::optional<QCursor>& cursor);
  // The resource file (.rcc) that serves "iddll" images without "srcdll".
  void SetResourceModule(const QString& path) { resourceModule_ = path; }
  // 0 (the default): lines end only at breaks.
  void SetMaxLineWidth(int width);

  // Preprocesses and keeps `text`, and returns its size + 1 on both axes
  // (the width clamped to the maximum line width when one is set).
  QSize Measure(const QPaintDevice* device, const QString& text);
  // Paints the kept text into `rect`; nothing when there is none.
  void Draw(QPainter& painter, const QRect& rect);

  // Hover tracking; true when the point is over a link with a target (the
  // owner then shows LinkCursor()).
  bool OnMouseMove(QPoint point);
  // Follows the link under `point`: opens an address, or sends a message link.
  void OnClick(QPoint point);

  bool HasText() const { return !text_.isEmpty(); }
  const QString& text() const { return text_; }
  int hoveredLink() const { return hovered_; }
  const QCursor& LinkCursor() const { return cursor_; }
  const ImageShadow& imageShadow() const { return shadow_; }
  // The display list and link areas of the last Draw.
  const MarkupOutput& lastOutput() const { return output_; }

 private:
  const MarkupLinkArea* HitTest(QPoint point) const;
  QSize RunLayout(const QRect* rect, int dpi);

  MarkupColorTable colors_;
  MarkupStyleSheet styles_;
  MarkupGraphics graphics_;
  QString text_;
  std::vector<MarkupToken> tokens_;
  MarkupOutput output_;
  std::map<QString, QImage> imageCache_;
  HoverNotify notify_;
  LinkMessage linkMessage_;
  bool newlineMode_ = true;
  bool colorsEnabled_ = true;
  ColorRef disabledColor_;
  ImageShadow shadow_;
  QCursor cursor_;
  QString resourceModule_;
  int maxLineWidth_ = 0;
  int hovered_ = kNoLink;
  int dpi_ = 96;
};

}  // namespace drelin
