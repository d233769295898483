// FlatMenuStyle: the style the flat menus carry. It measures prepared popup
// items from their item data and bar items from their text, and paints
// items, backgrounds and the popup border through FlatMenuPainter; menus
// it did not prepare keep the look of the style beneath it. The popup's
// own panel width is its three-pixel border and it adds no margins.
// Disabled items can be highlighted, as the selected-item look expects.
#pragma once

#include <QProxyStyle>

class QMenu;

namespace drelin {

class FlatMenuStyle : public QProxyStyle {
  Q_OBJECT

 public:
  FlatMenuStyle() = default;

  int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override;
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override;
  QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                         const QWidget* widget) const override;
  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override;
  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
  void polish(QWidget* widget) override;
  void unpolish(QWidget* widget) override;
  using QProxyStyle::polish;
  using QProxyStyle::unpolish;
};

// The width QMenu adds to every item for shortcuts on top of what the style
// measured: the widest text after a tab, or shortcut text, of `menu`.
int QMenuShortcutColumn(const QMenu* menu);

}  // namespace drelin
