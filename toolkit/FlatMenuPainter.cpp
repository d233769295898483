#include "FlatMenuPainter.h"

#include <QLinearGradient>

#include "MarkupColors.h"
#include "SkinImage.h"
#include "TransformHls.h"

namespace drelin {
namespace {

using namespace flat_menu;

constexpr int kColorMenu = 4;
constexpr int kColorMenuText = 7;
constexpr int kColorHighlight = 13;
constexpr int kColorDarkShadow = 21;

QColor System(int index) { return SystemColor(index).toQColor(); }
QColor Shade(int index, int lightness, int saturation = 0) {
  return TransformHls(SystemColor(index), lightness, saturation).toQColor();
}

// A one-pixel outline lying inside `rect`.
void FrameRect(QPainter& painter, const QRect& rect, const QColor& color) {
  painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), color);
  painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), color);
  painter.fillRect(QRect(rect.left(), rect.top(), 1, rect.height()), color);
  painter.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), color);
}

void FillGradient(QPainter& painter, const QRect& rect, ColorRef from, ColorRef to) {
  QLinearGradient gradient(rect.left(), 0, rect.left() + rect.width(), 0);
  gradient.setColorAt(0, from.toQColor());
  gradient.setColorAt(1, to.toQColor());
  painter.fillRect(rect, gradient);
}

// The icon column and the plain rest behind an item or an empty area.
void PaintColumns(QPainter& painter, const QRect& rect, const FlatMenuSettings& settings, bool gradients) {
  if (gradients) {
    const int column = std::min(settings.gradientWidth, rect.width());
    const ColorRef rest = Lighten(settings.endColor(), 75);
    FillGradient(painter, QRect(rect.left(), rect.top(), column, rect.height()), Lighten(settings.gradientStart, 20),
                 rest);
    painter.fillRect(rect.adjusted(column, 0, 0, 0), rest.toQColor());
    return;
  }
  const int band = std::min(kPlainBandWidth, rect.width());
  painter.fillRect(QRect(rect.left(), rect.top(), band, rect.height()), Shade(kColorButtonFace, 20));
  painter.fillRect(rect.adjusted(band, 0, 0, 0), Shade(kColorButtonFace, 75));
}

void PaintSelection(QPainter& painter, const FlatMenuItemLook& item, const FlatMenuSettings& settings, bool gradients) {
  if (!item.enabled)
    painter.fillRect(item.rect, Shade(kColorButtonFace, 73));
  else if (gradients && settings.showGradientSel)
    FillGradient(painter, item.rect, settings.gradientStart, settings.endColor());
  else
    painter.fillRect(item.rect, Shade(kColorHighlight, 70, -57));
  FrameRect(painter, item.rect, System(kColorHighlight));
}

void PaintImage(QPainter& painter, const FlatMenuItemLook& item) {
  const QRect& r = item.rect;
  const QRect place(r.left() + 3, r.top() + 3, kImageSize, kImageSize);
  if (item.checked) {
    const QRect box(r.left() + 1, r.top() + 1, 19, r.height() - 2);
    const QColor tint = !item.enabled   ? Shade(kColorButtonFace, 73)
                        : item.selected ? Shade(kColorHighlight, 50, -50)
                                        : Shade(kColorHighlight, 70, -57);
    painter.fillRect(box, tint);
    FrameRect(painter, box, System(kColorHighlight));
  }
  if (!item.enabled) {
    DrawScaled(painter, place, Silhouette(item.image, Lighten(SystemColor(kColorButtonFace), -27)));
  } else if (item.selected && !item.checked) {
    DrawScaled(painter, place.translated(1, 1), Silhouette(item.image, SystemColor(kColorButtonShadow)));
    DrawScaled(painter, place.translated(-1, -1), item.image);
  } else {
    DrawScaled(painter, place, item.image);
  }
}

// The classic seven-by-seven check mark, one row of pixels at a time.
void PaintCheckMark(QPainter& painter, QPoint origin, const QColor& color) {
  static const char* const kRows[] = {"......#", ".....##", "#...###", "##.###.", "#####..", ".###...", "..#...."};
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 7; ++x)
      if (kRows[y][x] == '#') painter.fillRect(QRect(origin.x() + x, origin.y() + y, 1, 1), color);
}

void PaintMark(QPainter& painter, const FlatMenuItemLook& item, const QColor& color) {
  const QRect box(item.rect.left() + 5, item.rect.top(), 15, item.rect.height());
  if (item.check == FlatMenuItemLook::Check::Radio) {
    const QRect dot(box.left() + 4, box.top() + (box.height() - 7) / 2, 7, 7);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawEllipse(QRectF(dot));
    painter.restore();
    painter.fillRect(QRect(dot.left() + 2, dot.top() + 2, 1, 1), System(kColorButtonHighlight));
    return;
  }
  // The platform's 13-pixel check box drawn at top + 3, the mark in its middle.
  PaintCheckMark(painter, QPoint(box.left() + 1 + 3, item.rect.top() + 3 + 3), color);
}

void PaintSubmenuArrow(QPainter& painter, const QRect& rect, const QColor& color) {
  const int x = rect.right() - 7;
  const int y = rect.top() + rect.height() / 2;
  for (int column = 0; column < 4; ++column)
    painter.fillRect(QRect(x + column, y - 3 + column, 1, 7 - 2 * column), color);
}

int TextFlags(bool showMnemonics) {
  return Qt::TextSingleLine | (showMnemonics ? Qt::TextShowMnemonic : Qt::TextHideMnemonic);
}

}  // namespace

bool FlatMenuGradients(const FlatMenuSettings& settings, int depth) { return settings.showGradient && depth > 8; }

void PaintFlatMenuItem(QPainter& painter, const FlatMenuItemLook& item, const FlatMenuSettings& settings, int depth) {
  const bool gradients = FlatMenuGradients(settings, depth);
  const QRect& r = item.rect;
  PaintColumns(painter, r, settings, gradients);
  if (item.separator) {
    painter.fillRect(QRect(r.left() + kSeparatorLeft, r.top() + r.height() / 2, r.width() - kSeparatorLeft - 1, 1),
                     Shade(kColorButtonFace, -18));
    return;
  }
  if (item.selected) PaintSelection(painter, item, settings, gradients);
  const QColor textColor = item.enabled ? System(kColorMenuText) : System(kColorButtonShadow);
  if (!item.image.isNull())
    PaintImage(painter, item);
  else if (item.checked && item.check != FlatMenuItemLook::Check::None)
    PaintMark(painter, item, textColor);
  painter.setPen(textColor);
  const QRect text = r.adjusted(kTextLeft, 0, -kShortcutRightMargin, 0);
  painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | TextFlags(item.showMnemonics), item.text);
  if (!item.shortcut.isEmpty())
    painter.drawText(text, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, item.shortcut);
  if (item.submenu) PaintSubmenuArrow(painter, r, textColor);
}

void PaintFlatMenuBarItem(QPainter& painter, const FlatMenuBarLook& item) {
  const QRect& r = item.rect;
  const ColorRef bar = SystemColor(kColorMenu);
  painter.fillRect(r, bar.toQColor());
  const QRect box = r.adjusted(0, 0, -kBarShadowWidth, 0);
  if (item.open) {
    painter.fillRect(box, Shade(kColorButtonFace, 20));
    const QColor edge = System(kColorDarkShadow);
    painter.fillRect(QRect(box.left(), box.top(), box.width(), 1), edge);
    painter.fillRect(QRect(box.left(), box.top(), 1, box.height()), edge);
    painter.fillRect(QRect(box.right(), box.top(), 1, box.height()), edge);
    // The shadow darkens the bar beneath it, deepest next to the box.
    for (int step = 0; step < kBarShadowWidth; ++step) {
      const int factor = 93 - 5 * step;
      const QColor dark(bar.red() * factor / 100, bar.green() * factor / 100, bar.blue() * factor / 100);
      const int x = box.right() + kBarShadowWidth - step;
      painter.fillRect(QRect(x, r.top() + kBarShadowWidth, 1, r.height() - kBarShadowWidth), dark);
    }
  } else if (item.selected) {
    painter.fillRect(box, Shade(kColorHighlight, 70, -57));
    FrameRect(painter, box, System(kColorHighlight));
  }
  painter.setPen(item.enabled ? System(kColorMenuText) : System(kColorButtonShadow));
  painter.drawText(box, Qt::AlignCenter | TextFlags(item.showMnemonics), item.text);
}

void PaintFlatMenuBackground(QPainter& painter, const QRect& rect, const FlatMenuSettings& settings, int depth) {
  PaintColumns(painter, rect, settings, FlatMenuGradients(settings, depth));
}

void PaintFlatMenuBarBackground(QPainter& painter, const QRect& rect) { painter.fillRect(rect, System(kColorMenu)); }

void PaintFlatMenuBorder(QPainter& painter, const QRect& rect, int gapLeft, int gapRight) {
  FrameRect(painter, rect, System(kColorDarkShadow));
  const QColor inner = Shade(kColorButtonFace, 75);
  FrameRect(painter, rect.adjusted(1, 1, -1, -1), inner);
  FrameRect(painter, rect.adjusted(2, 2, -2, -2), inner);
  const int left = std::max(gapLeft, rect.left() + 1);
  const int right = std::min(gapRight, rect.right() - 1);
  if (left <= right) painter.fillRect(QRect(left, rect.top(), right - left + 1, 1), Shade(kColorButtonFace, 20));
}

QString StripMnemonics(const QString& text) {
  QString plain;
  plain.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == QLatin1Char('&') && i + 1 < text.size()) ++i;
    plain += text[i];
  }
  return plain;
}

}  // namespace drelin
