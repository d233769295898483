#include "TransformHls.h"

#include <algorithm>

namespace drelin {
namespace {

struct Hls {
  int h = 0;  // 0..255 for 0..360 degrees
  int l = 0;
  int s = 0;
};

Hls ToHls(ColorRef color) {
  const double red = color.red(), green = color.green(), blue = color.blue();
  const double max = std::max({red, green, blue});
  const double min = std::min({red, green, blue});
  const double lightness = (max + min) / 510.0;
  double hue = 0.0;
  double saturation = 0.0;
  if (max != min) {
    saturation = lightness <= 0.5 ? (max - min) / (max + min) : (max - min) / (510.0 - max - min);
    const double rc = (max - red) / (max - min);
    const double gc = (max - green) / (max - min);
    const double bc = (max - blue) / (max - min);
    if (blue == max)
      hue = (4.0 + gc - rc) * 60.0;
    else if (green == max)
      hue = (2.0 + rc - bc) * 60.0;
    else
      hue = (6.0 + bc - gc) * 60.0;
    if (hue > 360.0) hue -= 360.0;
  }
  return {static_cast<int>(hue * 255.0 / 360.0), static_cast<int>(lightness * 255.0),
          static_cast<int>(saturation * 255.0)};
}

int Adjust(int value, int percent) {
  if (percent > 0) return value + (255 - value) * percent / 100;
  if (percent < 0) return value * (percent + 100) / 100;
  return value;
}

double Channel(double m1, double m2, double hue) {
  if (hue > 360.0) hue -= 360.0;
  if (hue < 0.0) hue += 360.0;
  if (hue < 60.0) return m1 + (m2 - m1) * hue / 60.0;
  if (hue < 180.0) return m2;
  if (hue < 240.0) return m1 + (m2 - m1) * (240.0 - hue) / 60.0;
  return m1;
}

int ToByte(double value) { return std::clamp(static_cast<int>(value * 255.0), 0, 255); }

ColorRef FromHls(const Hls& hls) {
  if (hls.s == 0) return ColorRef::FromRgb(hls.l, hls.l, hls.l);
  const double s = hls.s / 255.0;
  const double l = hls.l / 255.0;
  const double h = hls.h * 360.0 / 255.0;
  const double m2 = l > 0.5 ? l + s - l * s : l * (1.0 + s);
  const double m1 = 2.0 * l - m2;
  return ColorRef::FromRgb(ToByte(Channel(m1, m2, h + 120.0)), ToByte(Channel(m1, m2, h)),
                           ToByte(Channel(m1, m2, h - 120.0)));
}

}  // namespace

ColorRef TransformHls(ColorRef color, int lightness, int saturation) {
  Hls hls = ToHls(color);
  hls.l = std::clamp(Adjust(hls.l, std::clamp(lightness, -100, 100)), 0, 255);
  hls.s = std::clamp(Adjust(hls.s, std::clamp(saturation, -100, 100)), 0, 255);
  return FromHls(hls);
}

}  // namespace drelin
