// FlatMenuPainter: draws the pieces of the flat menu look with a painter:
// a popup item (icon column as a gradient or a plain band, selection,
// separator, raised or disabled image, check and radio marks, text and
// shortcut), a menu-bar item (hot, or open as a box with a stepped shadow
// at its right), the popup background and the popup border with the gap
// where it meets the open bar item. Every colour comes from the system
// colours through TransformHls; nothing here knows about widgets.
#pragma once

#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>

#include "ColorRef.h"
#include "FlatMenuSettings.h"

namespace drelin {

namespace flat_menu {
inline constexpr int kPlainBandWidth = 22;
inline constexpr int kSeparatorLeft = 30;
inline constexpr int kTextLeft = 32;
inline constexpr int kShortcutRightMargin = 6;
inline constexpr int kBarShadowWidth = 4;
inline constexpr int kBorderWidth = 3;
inline constexpr int kImageSize = 16;
}  // namespace flat_menu

struct FlatMenuItemLook {
  enum class Check { None, Mark, Radio };

  QRect rect;
  QString text;      // the item text, with "&" mnemonics
  QString shortcut;  // the part after a tab, or the shortcut's text
  bool separator = false;
  bool selected = false;
  bool enabled = true;
  bool checked = false;
  Check check = Check::None;
  bool submenu = false;
  bool showMnemonics = true;
  QImage image;  // the command's image, any size (drawn 16 by 16); null for none
};

struct FlatMenuBarLook {
  QRect rect;  // the whole item, the shadow's room at its right included
  QString text;
  bool selected = false;  // hot or chosen by the keyboard
  bool open = false;      // its popup is showing
  bool enabled = true;
  bool showMnemonics = true;
};

// Whether the gradients apply on a device of `depth` bits per pixel.
bool FlatMenuGradients(const FlatMenuSettings& settings, int depth);

void PaintFlatMenuItem(QPainter& painter, const FlatMenuItemLook& item, const FlatMenuSettings& settings, int depth);
void PaintFlatMenuBarItem(QPainter& painter, const FlatMenuBarLook& item);
// The plain background of a popup, as behind the text of its items.
void PaintFlatMenuBackground(QPainter& painter, const QRect& rect, const FlatMenuSettings& settings, int depth);
void PaintFlatMenuBarBackground(QPainter& painter, const QRect& rect);
// The popup's three-pixel border around `rect`; `gap` is the horizontal
// range (popup coordinates) of the open bar item the popup hangs from, or
// an empty range.
void PaintFlatMenuBorder(QPainter& painter, const QRect& rect, int gapLeft, int gapRight);

// Text without its mnemonic marks ("&&" becomes "&").
QString StripMnemonics(const QString& text);

}  // namespace drelin
