// MarkupLimits: the most a markup text may ask of the drawer. Message texts
// are data; whatever they say, a text must not exhaust memory or keep the
// drawer busy for long. Values beyond a limit are clamped to it, and
// content past a structural limit (nesting, rows, columns) is dropped.
#pragma once

#include <algorithm>

namespace drelin::markup_limits {

// Characters of one text after preprocessing; the rest is not shown.
inline constexpr int kMaxTextLength = 256 * 1024;
// Font size (character cell height) in pixels.
inline constexpr int kMinFontPixels = 1;
inline constexpr int kMaxFontPixels = 256;
// Count of one <br> or <t>.
inline constexpr int kMaxBreakCount = 64;
inline constexpr int kMaxTabCount = 64;
// Any width, height, padding, spacing or offset a text gives, in pixels.
inline constexpr int kMaxLength = 4096;
// Rule thickness and border width in pixels.
inline constexpr int kMaxLineThickness = 64;
// Side of an image as drawn, and pixels of an image file decoded (MB).
inline constexpr int kMaxImageSide = 4096;
inline constexpr int kMaxImageAllocationMb = 64;
// Open container tags at once; deeper tags are ignored.
inline constexpr int kMaxNestingDepth = 64;
// Tables inside tables; deeper tables are dropped.
inline constexpr int kMaxTableDepth = 6;
// Rows and columns of one table; cells past them are dropped.
inline constexpr int kMaxTableRows = 256;
inline constexpr int kMaxTableColumns = 64;
// Coordinates of a laid-out text never exceed this, so sums cannot overflow.
inline constexpr int kMaxExtent = 1 << 22;
// Distinct font faces one process asks for; later new faces fall back to
// the default face, so texts cannot grow the font caches without bound.
inline constexpr int kMaxFontFaces = 128;

// A coordinate or size bounded to +-kMaxExtent.
inline int ClampExtent(long long value) {
  return static_cast<int>(std::clamp<long long>(value, -kMaxExtent, kMaxExtent));
}
// A width, height, padding or spacing a text gives, bounded to 0..kMaxLength.
inline int ClampLength(int value) { return std::clamp(value, 0, kMaxLength); }

}  // namespace drelin::markup_limits
