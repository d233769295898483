#include "MarkupValues.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

#include "MarkupLimits.h"

namespace drelin {
namespace {

constexpr std::array<int, 7> kFontSizeTable = {8, 10, 12, 14, 18, 24, 36};

int Bound(double value) {
  if (std::isnan(value)) return 0;
  const double limit = markup_limits::kMaxExtent;
  return static_cast<int>(std::clamp(value, -limit, limit));
}

// The leading decimal number of `text` (like the C library's atof): digits
// with an optional fraction; nothing when there is none.
std::optional<double> LeadingDecimal(const QString& text) {
  int end = 0;
  bool digits = false;
  while (end < text.size() && text[end].isDigit()) ++end, digits = true;
  if (end < text.size() && text[end] == QLatin1Char('.')) {
    ++end;
    while (end < text.size() && text[end].isDigit()) ++end, digits = true;
  }
  if (!digits) return std::nullopt;
  bool ok = false;
  const double value = text.left(end).toDouble(&ok);
  if (!ok) return std::nullopt;
  return value;
}

}  // namespace

std::optional<long long> ParseNumber(const QString& text) {
  const QString trimmed = text.trimmed();
  if (trimmed.isEmpty()) return std::nullopt;
  bool ok = false;
  qulonglong value = 0;
  if (trimmed.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
    value = trimmed.mid(2).toULongLong(&ok, 16);
  else if (trimmed.front().isDigit())
    value = trimmed.toULongLong(&ok, 10);
  if (!ok || value > 0xFFFFFFFFull) return std::nullopt;
  return static_cast<long long>(value);
}

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  const long long product = static_cast<long long>(a) * b;
  const long long half = std::llabs(c) / 2;
  const long long rounded = ((product < 0) != (c < 0)) ? (product - half) / c : (product + half) / c;
  return Bound(static_cast<double>(rounded));
}

int ParseLength(const QString& rawValue, int current, const LengthContext& context,
                bool fontSizes) {
  QString value = rawValue.trimmed();
  if (value.isEmpty()) return current;
  if (value.endsWith(QLatin1Char('%'))) {
    const std::optional<double> percent = LeadingDecimal(value.chopped(1));
    if (!percent) return current;
    return Bound(std::round(static_cast<double>(current) * *percent / 100.0));
  }
  if (value.front() == QLatin1Char('+') || value.front() == QLatin1Char('-')) value.remove(0, 1);
  if (value.size() >= 2) {
    const QString unit = value.right(2).toLower();
    const QString number = value.chopped(2);
    const std::optional<double> n = LeadingDecimal(number);
    const double dpi = context.dpi;
    if (unit == QLatin1String("px")) return n ? Bound(*n) : current;
    if (unit == QLatin1String("ex")) return n ? Bound(*n * context.xHeight) : current;
    if (unit == QLatin1String("em")) return n ? Bound(*n * context.fontHeight) : current;
    if (unit == QLatin1String("in")) return n ? Bound(*n * dpi) : current;
    if (unit == QLatin1String("cm"))
      return n ? Bound(*n * std::trunc(dpi * 0.3937)) : current;
    if (unit == QLatin1String("mm"))
      return n ? Bound(*n * std::trunc(dpi * 0.03937)) : current;
    if (unit == QLatin1String("pt")) return n ? Bound(*n * dpi / 72.0) : current;
    if (unit == QLatin1String("pc")) return n ? Bound(*n * dpi / 6.0) : current;
  }
  const std::optional<long long> number = ParseNumber(value);
  if (!number) {
    const std::optional<double> decimal = LeadingDecimal(value);
    return decimal ? Bound(*decimal) : current;
  }
  if (fontSizes && *number >= 1 && *number <= 7)
    return kFontSizeTable[static_cast<std::size_t>(*number - 1)];
  return Bound(static_cast<double>(*number));
}

int ParseEffect(const QString& value, int current) {
  static const std::array<const char*, 17> kNames = {
      "transparent", "solid",    "hgradient", "vgradient", "hcgradient", "vcgradient",
      "3hgradient",  "3vgradient", "noise",   "diagshade", "hshade",     "vshade",
      "hbump",       "vbump",    "softbump",  "hardbump",  "metal"};
  const QString trimmed = value.trimmed();
  if (trimmed.isEmpty()) return current;
  for (std::size_t i = 0; i < kNames.size(); ++i)
    if (trimmed == QLatin1String(kNames[i])) return static_cast<int>(i) - 1;
  bool ok = false;
  const int number = trimmed.toInt(&ok);
  return ok ? number : 0;
}

}  // namespace drelin
