#include "FlatMenuStyle.h"

#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStyleOptionMenuItem>

#include "FlatMenu.h"
#include "FlatMenuPainter.h"

namespace drelin {
namespace {

const QMenu* PreparedMenu(const QWidget* widget) {
  const auto* menu = qobject_cast<const QMenu*>(widget);
  return menu != nullptr && FlatMenu::TextItemData(menu) != 0 ? menu : nullptr;
}

QAction* ActionAt(const QWidget* widget, const QRect& rect) {
  if (const auto* menu = qobject_cast<const QMenu*>(widget)) {
    for (QAction* action : menu->actions())
      if (menu->actionGeometry(action) == rect) return action;
  } else if (const auto* bar = qobject_cast<const QMenuBar*>(widget)) {
    for (QAction* action : bar->actions())
      if (bar->actionGeometry(action) == rect) return action;
  }
  return nullptr;
}

bool ShowMnemonics(const QStyle* style, const QStyleOption* option, const QWidget* widget) {
  return style->styleHint(QStyle::SH_UnderlineShortcut, option, widget) != 0;
}

FlatMenuItemLook ItemLook(const QStyleOptionMenuItem& item, bool mnemonics, const QWidget* widget) {
  FlatMenuItemLook look;
  look.rect = item.rect;
  const qsizetype tab = item.text.indexOf(QLatin1Char('\t'));
  look.text = tab < 0 ? item.text : item.text.left(tab);
  look.shortcut = tab < 0 ? QString() : item.text.mid(tab + 1);
  look.separator = item.menuItemType == QStyleOptionMenuItem::Separator;
  look.selected = (item.state & QStyle::State_Selected) != 0;
  look.enabled = (item.state & QStyle::State_Enabled) != 0;
  look.checked = item.checked;
  look.check = item.checkType == QStyleOptionMenuItem::Exclusive      ? FlatMenuItemLook::Check::Radio
               : item.checkType == QStyleOptionMenuItem::NonExclusive ? FlatMenuItemLook::Check::Mark
                                                                      : FlatMenuItemLook::Check::None;
  look.submenu = item.menuItemType == QStyleOptionMenuItem::SubMenu;
  look.showMnemonics = mnemonics;
  if (const QAction* action = ActionAt(widget, item.rect))
    look.image = FlatMenu::CommandImage(FlatMenu::CommandId(action));
  return look;
}

// The horizontal range, in `menu` coordinates, of the open bar item the
// popup hangs from; empty when it does not meet one.
std::pair<int, int> GapRange(const QMenu* menu) {
  const QMenuBar* bar = FlatMenu::OpenBarOf(menu);
  if (bar == nullptr) return {1, 0};
  const QRect item = bar->actionGeometry(bar->activeAction()).adjusted(0, 0, -flat_menu::kBarShadowWidth, 0);
  const QPoint itemBottomLeft = bar->mapToGlobal(item.bottomLeft());
  const QPoint popupTopLeft = menu->mapToGlobal(QPoint(0, 0));
  if (popupTopLeft.y() != itemBottomLeft.y() + 1) return {1, 0};
  const int left = itemBottomLeft.x() - popupTopLeft.x();
  return {left + 1, left + item.width() - 2};
}

}  // namespace

int QMenuShortcutColumn(const QMenu* menu) {
  const QFontMetrics metrics = menu->fontMetrics();
  int widest = 0;
  for (const QAction* action : menu->actions()) {
    if (action->isSeparator() || !action->isVisible()) continue;
    const QString text = action->text();
    const qsizetype tab = text.indexOf(QLatin1Char('\t'));
    if (tab >= 0)
      widest = std::max(widest, metrics.horizontalAdvance(text.mid(tab + 1)));
    else if (!action->shortcut().isEmpty())
      widest = std::max(widest, metrics.horizontalAdvance(action->shortcut().toString(QKeySequence::NativeText)));
  }
  return widest;
}

int FlatMenuStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const {
  switch (metric) {
    case PM_MenuPanelWidth:
      return flat_menu::kBorderWidth;
    case PM_MenuHMargin:
    case PM_MenuVMargin:
    case PM_MenuBarPanelWidth:
    case PM_MenuBarHMargin:
    case PM_MenuBarVMargin:
    case PM_MenuBarItemSpacing:
      return 0;
    default:
      return QProxyStyle::pixelMetric(metric, option, widget);
  }
}

int FlatMenuStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                             QStyleHintReturn* returnData) const {
  if (hint == SH_Menu_AllowActiveAndDisabled) return 1;
  return QProxyStyle::styleHint(hint, option, widget, returnData);
}

QSize FlatMenuStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                                      const QWidget* widget) const {
  const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
  if (type == CT_MenuItem && item != nullptr) {
    const QMenu* menu = PreparedMenu(widget);
    if (menu == nullptr) return QProxyStyle::sizeFromContents(type, option, size, widget);
    if (item->menuItemType == QStyleOptionMenuItem::Separator)
      return MeasureFlatMenuItem(FlatMenu::SeparatorData(menu));
    // QMenu adds its shortcut column to every item afterwards.
    return MeasureFlatMenuItem(FlatMenu::TextItemData(menu)) - QSize(QMenuShortcutColumn(menu), 0);
  }
  if (type == CT_MenuBarItem && item != nullptr) {
    const int text = item->fontMetrics.horizontalAdvance(StripMnemonics(item->text));
    const QSize measured = MeasureFlatMenuItem(FlatMenuItemData{0, 0, text}.Pack());
    return {measured.width() + flat_menu::kBarShadowWidth, FlatMenuTextItemHeight(item->fontMetrics.height())};
  }
  if (type == CT_Menu || type == CT_MenuBar) return size;
  return QProxyStyle::sizeFromContents(type, option, size, widget);
}

void FlatMenuStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                                const QWidget* widget) const {
  const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
  const int depth = FlatMenu::PaintDepth(painter->device());
  if (element == CE_MenuItem && item != nullptr && PreparedMenu(widget) != nullptr) {
    PaintFlatMenuItem(*painter, ItemLook(*item, ShowMnemonics(this, option, widget), widget), FlatMenu::Settings(),
                      depth);
  } else if (element == CE_MenuEmptyArea && PreparedMenu(widget) != nullptr) {
    PaintFlatMenuBackground(*painter, option->rect, FlatMenu::Settings(), depth);
  } else if (element == CE_MenuBarItem && item != nullptr) {
    FlatMenuBarLook look;
    look.rect = item->rect;
    look.text = item->text;
    look.selected = (item->state & State_Selected) != 0;
    look.open = look.selected && (item->state & State_Sunken) != 0;
    look.enabled = (item->state & State_Enabled) != 0;
    look.showMnemonics = ShowMnemonics(this, option, widget);
    PaintFlatMenuBarItem(*painter, look);
  } else if (element == CE_MenuBarEmptyArea) {
    PaintFlatMenuBarBackground(*painter, option->rect);
  } else {
    QProxyStyle::drawControl(element, option, painter, widget);
  }
}

void FlatMenuStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                  const QWidget* widget) const {
  const auto* menu = qobject_cast<const QMenu*>(widget);
  if (element == PE_FrameMenu && menu != nullptr) {
    const auto [left, right] = GapRange(menu);
    PaintFlatMenuBorder(*painter, option->rect, left, right);
  } else if (element == PE_PanelMenu && PreparedMenu(widget) != nullptr) {
    PaintFlatMenuBackground(*painter, option->rect, FlatMenu::Settings(), FlatMenu::PaintDepth(painter->device()));
  } else if (element == PE_PanelMenuBar) {
    PaintFlatMenuBarBackground(*painter, option->rect);
  } else {
    QProxyStyle::drawPrimitive(element, option, painter, widget);
  }
}

void FlatMenuStyle::polish(QWidget* widget) {
  QProxyStyle::polish(widget);
  if (qobject_cast<QMenu*>(widget) != nullptr) widget->installEventFilter(FlatMenu::KeyFilter());
}

void FlatMenuStyle::unpolish(QWidget* widget) {
  if (qobject_cast<QMenu*>(widget) != nullptr) widget->removeEventFilter(FlatMenu::KeyFilter());
  QProxyStyle::unpolish(widget);
}

}  // namespace drelin
