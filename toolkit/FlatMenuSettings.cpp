#include "FlatMenuSettings.h"

#include <algorithm>
#include <optional>

#include "MarkupColors.h"
#include "SettingsStore.h"
#include "TransformHls.h"

namespace drelin {
namespace {

constexpr int kMaxGradientWidth = 255;

std::uint32_t ReadValue(const char* section, const char* name, std::uint32_t fallback) {
  const std::optional<std::uint32_t> value =
      SettingsStore::ReadDword(QStringLiteral("%1/%2").arg(QLatin1String(section), QLatin1String(name)));
  return value.value_or(fallback);
}

}  // namespace

FlatMenuSettings FlatMenuSettings::Load() {
  FlatMenuSettings settings;
  settings.showGradient = ReadValue("FlatMenu", "ShowGradient", 1) != 0;
  settings.showGradientSel = ReadValue("FlatMenuEx", "ShowGradientSel", 1) != 0;
  settings.gradientStart = ColorRef(ReadValue("FlatMenu", "GradientStart", settings.gradientStart.value()));
  settings.gradientEnd = ReadValue("FlatMenu", "GradientEnd", settings.gradientEnd);
  // A width is a small count of pixels; anything else (a negative number
  // stored as its 32-bit pattern) would paint over the whole item.
  const std::uint32_t width = ReadValue("FlatMenu", "GradientWidth", 30);
  settings.gradientWidth = static_cast<int>(std::min<std::uint32_t>(width, kMaxGradientWidth));
  return settings;
}

ColorRef FlatMenuSettings::endColor() const {
  if (gradientEnd == kButtonFaceEnd) return Lighten(SystemColor(kColorButtonFace), 75);
  return ColorRef(gradientEnd);
}

std::uint32_t FlatMenuItemData::Pack() const {
  const auto field = [](int value, int max) { return static_cast<std::uint32_t>(std::clamp(value, 0, max)); };
  return field(height, 0xFF) | (field(shortcutWidth, 0xFF) << 8) | (field(textWidth, 0xFFFF) << 16);
}

FlatMenuItemData FlatMenuItemData::Unpack(std::uint32_t data) {
  return {static_cast<int>(data & 0xFF), static_cast<int>((data >> 8) & 0xFF), static_cast<int>(data >> 16)};
}

QSize MeasureFlatMenuItem(std::uint32_t data) {
  const FlatMenuItemData item = FlatMenuItemData::Unpack(data);
  if (item.height != 0) return {item.textWidth + item.shortcutWidth + 42, item.height};
  return {item.textWidth + 4, 0};
}

int FlatMenuTextItemHeight(int fontHeight) { return fontHeight + 2 > 16 ? fontHeight + 6 : 20; }

int FlatMenuSeparatorHeight(int fontHeight) { return fontHeight / 2 + 2; }

}  // namespace drelin
