// MarkupTextState: the text attributes that tags and styles change while a
// markup text is laid out (font, colours, alignment, decoration, link).
// Container tags push a copy labelled with their stack label; the matching
// closing tag pops it.
#pragma once

#include <QString>

#include "ColorRef.h"

namespace drelin {

enum class HAlign { Left = 0, Center = 1, Right = 2, Justify = 3 };
enum class VAlign { Top = 0, Middle = 1, Bottom = 2, Baseline = 3 };
enum class TextTransform { None = 0, Upper = 1, Lower = 2, Capitalize = 3 };
enum class BorderStyle { None = 0, Solid = 1, Dashed = 2, Dotted = 3, DashDot = 4, DashDotDot = 5, Double = 6 };
enum class LinkKind { None = 0, Address = 1, Message = 2 };

struct MarkupTextState {
  QString face = QStringLiteral("Verdana");
  int size = 16;  // character cell height in pixels
  int weight = 400;
  bool italic = false;
  bool underline = false;
  bool strikeout = false;
  bool overline = false;
  ColorRef color = ColorRef(0x000000);
  bool opaque = false;  // background mode: false transparent, true opaque
  ColorRef background = ColorRef(0xFFFFFF);
  HAlign hAlign = HAlign::Left;
  VAlign vAlign = VAlign::Baseline;
  TextTransform transform = TextTransform::None;
  // Border and spacing properties a style may set.
  ColorRef borderColor = ColorRef(0x000000);
  int borderWidth = 0;
  BorderStyle borderStyle = BorderStyle::None;
  int margin = 0;
  int padding = 0;
  // The link the text belongs to, if any.
  LinkKind linkKind = LinkKind::None;
  int linkNumber = -1;
  QString linkText;
};

}  // namespace drelin
