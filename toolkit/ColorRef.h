// ColorRef: a colour as the program stores and passes it, a 32-bit value
// laid out 0x00BBGGRR (red in the low byte). Converted to QColor only when
// painting.
#pragma once

#include <QColor>

#include <cstdint>

namespace drelin {

class ColorRef {
 public:
  constexpr ColorRef() = default;
  constexpr explicit ColorRef(std::uint32_t value) : value_(value & 0x00FFFFFFu) {}

  static constexpr ColorRef FromRgb(int red, int green, int blue) {
    return ColorRef(static_cast<std::uint32_t>(red & 0xFF) |
                    (static_cast<std::uint32_t>(green & 0xFF) << 8) |
                    (static_cast<std::uint32_t>(blue & 0xFF) << 16));
  }
  static ColorRef FromQColor(const QColor& color) {
    return FromRgb(color.red(), color.green(), color.blue());
  }

  constexpr std::uint32_t value() const { return value_; }
  constexpr int red() const { return static_cast<int>(value_ & 0xFF); }
  constexpr int green() const { return static_cast<int>((value_ >> 8) & 0xFF); }
  constexpr int blue() const { return static_cast<int>((value_ >> 16) & 0xFF); }

  QColor toQColor() const { return QColor(red(), green(), blue()); }
  QRgb toQRgb() const { return qRgb(red(), green(), blue()); }

  friend constexpr bool operator==(ColorRef a, ColorRef b) { return a.value_ == b.value_; }
  friend constexpr bool operator!=(ColorRef a, ColorRef b) { return a.value_ != b.value_; }

 private:
  std::uint32_t value_ = 0;
};

}  // namespace drelin
