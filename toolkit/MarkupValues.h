// MarkupValues: reading the numbers, lengths and effect names that markup
// attributes and style declarations carry.
#pragma once

#include <QString>

#include <optional>

namespace drelin {

// A whole number: decimal, or hexadecimal with "0x". Nothing when the text
// is not entirely a number or does not fit in 32 bits.
std::optional<long long> ParseNumber(const QString& text);

// Rounded a * b / c, as a multiply-divide of the original platform.
int MulDiv(int a, int b, int c);

// What a length is measured against.
struct LengthContext {
  int fontHeight = 16;  // "em": the current font height
  int xHeight = 8;      // "ex": height of the letter x in the current font
  int dpi = 96;         // "in", "cm", "mm", "pt", "pc"
};

// Reads a length relative to `current`: empty keeps it; "150%" scales it;
// "px", "ex", "em", "in", "cm", "mm", "pt", "pc" units; a bare number as
// written. With `fontSizes`, a bare 1 to 7 means 8, 10, 12, 14, 18, 24, 36.
// Unreadable text keeps `current`. The result is bounded by
// markup_limits::kMaxExtent either way.
int ParseLength(const QString& value, int current, const LengthContext& context,
                bool fontSizes = false);

// Background effect by name ("transparent" -1 ... "metal" 15) or number.
// Empty keeps `current`; an unknown word reads as a number (so 0).
int ParseEffect(const QString& value, int current);

}  // namespace drelin
