// MarkupColors: the colour names a markup text may use (140 web colours and
// 28 system colour names bound to the palette), and the reading of a colour
// value ("#rrggbb", a number, or a name).
#pragma once

#include <QString>

#include <map>

#include "ColorRef.h"

namespace drelin {

// The system colour with the given index of the original platform
// (0 scroll bar ... 15 button face, 16 button shadow ... 24 tooltip
// background), taken from the application palette. Classic defaults stand
// in when there is no application.
ColorRef SystemColor(int index);

inline constexpr int kColorButtonFace = 15;
inline constexpr int kColorButtonShadow = 16;
inline constexpr int kColorButtonHighlight = 20;

class MarkupColorTable {
 public:
  // Fills the web colours and binds the system names to the palette now.
  MarkupColorTable();

  // The named colour; false when the name (exact, lower case) is unknown.
  bool Find(const QString& name, ColorRef* color) const;
  std::size_t size() const { return colors_.size(); }

 private:
  std::map<QString, ColorRef> colors_;
};

// Reads a colour value: empty keeps `current`; "#" with exactly six hex
// digits; a leading digit is a number 0x00BBGGRR (decimal or 0x hex); else
// a name. Anything unreadable keeps `current`.
ColorRef ParseColor(const QString& value, ColorRef current, const MarkupColorTable& table);

}  // namespace drelin
