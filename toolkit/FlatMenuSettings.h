// FlatMenuSettings: the flat menu look's settings from the settings store,
// sections "FlatMenu" and "FlatMenuEx" (the gradient switches, the two
// gradient colours as 0x00BBGGRR values and the width of the icon column),
// and the 32-bit item data a prepared menu item carries with the measuring
// rules that turn it into an item size.
#pragma once

#include <QSize>

#include <cstdint>

#include "ColorRef.h"

namespace drelin {

struct FlatMenuSettings {
  static constexpr std::uint32_t kButtonFaceEnd = 0xFFFFFFFFu;  // a stored -1

  bool showGradient = true;
  bool showGradientSel = true;
  ColorRef gradientStart = ColorRef(0x42CEFF);  // red 255, green 206, blue 66
  std::uint32_t gradientEnd = 0xFFFFFF;
  int gradientWidth = 30;

  // The values in the store, each falling back to its default.
  static FlatMenuSettings Load();

  // The second gradient colour, the button face lightened by 75 percent
  // for the stored -1.
  ColorRef endColor() const;
};

// Item data: bits 0 to 7 the item height, 8 to 15 the shortcut width,
// 16 to 31 the text width. Widths beyond their field are cut to its
// largest value.
struct FlatMenuItemData {
  int height = 0;
  int shortcutWidth = 0;
  int textWidth = 0;

  std::uint32_t Pack() const;
  static FlatMenuItemData Unpack(std::uint32_t data);
};

// The size a menu item asks for: popup items (height not 0) text + shortcut
// + 42 wide; bar items (height 0) text + 4 wide.
QSize MeasureFlatMenuItem(std::uint32_t data);

// Heights from the menu font's height: a text item is `fontHeight` + 6
// when `fontHeight` + 2 exceeds 16, else 20; a separator `fontHeight` / 2 + 2.
int FlatMenuTextItemHeight(int fontHeight);
int FlatMenuSeparatorHeight(int fontHeight);

}  // namespace drelin
