#include "MarkupFonts.h"

#include <QFontMetrics>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <utility>

#include "MarkupLimits.h"

namespace drelin {
namespace {

struct Metrics {
  int pixelSize;
  int ascent;
  int xHeight;
};

QFont BaseFont(const QString& face, int pixelSize, bool bold, bool italic) {
  QFont font(face);
  font.setPixelSize(std::max(pixelSize, 1));
  font.setWeight(bold ? QFont::Bold : QFont::Normal);
  font.setItalic(italic);
  font.setStyleStrategy(QFont::PreferDefault);
  return font;
}

// Pixel size and ascent for a face and cell height, found once per process
// (user-interface thread only): font matching is slow.
const Metrics& MetricsFor(const QString& face, int height, bool bold, bool italic) {
  static std::map<std::tuple<QString, int, bool, bool>, Metrics> cache;
  const auto key = std::make_tuple(face, height, bold, italic);
  const auto it = cache.find(key);
  if (it != cache.end()) return it->second;
  if (cache.size() > 4096) cache.clear();
  QFontMetrics probe(BaseFont(face, height, bold, italic));
  const int probeHeight = std::max(probe.ascent() + probe.descent(), 1);
  int pixelSize = std::max(1, static_cast<int>(std::lround(double(height) * height / probeHeight)));
  QFontMetrics fitted(BaseFont(face, pixelSize, bold, italic));
  while (pixelSize > 1 && fitted.ascent() + fitted.descent() > height) {
    --pixelSize;
    fitted = QFontMetrics(BaseFont(face, pixelSize, bold, italic));
  }
  const Metrics metrics{pixelSize, std::clamp(fitted.ascent(), 0, height), fitted.xHeight()};
  return cache.emplace(key, metrics).first->second;
}

// The face to ask for: `face` unless the process has already seen the most
// distinct faces it allows.
QString AdmittedFace(const QString& face) {
  static std::set<QString> seen;
  if (seen.count(face) != 0) return face;
  if (static_cast<int>(seen.size()) >= markup_limits::kMaxFontFaces) return QStringLiteral("Verdana");
  seen.insert(face);
  return face;
}

}  // namespace

MarkupFont FontForState(const MarkupTextState& state, const QPaintDevice* /*device*/) {
  const int height = std::clamp(state.size, markup_limits::kMinFontPixels, markup_limits::kMaxFontPixels);
  const bool bold = state.weight >= 600;
  const QString face = AdmittedFace(state.face);
  const Metrics& metrics = MetricsFor(face, height, bold, state.italic);
  MarkupFont result;
  result.font = BaseFont(face, metrics.pixelSize, bold, state.italic);
  result.font.setWeight(static_cast<QFont::Weight>(std::clamp(state.weight, 1, 1000)));
  result.font.setUnderline(state.underline);
  result.font.setStrikeOut(state.strikeout);
  result.height = height;
  result.ascent = metrics.ascent;
  result.descent = height - metrics.ascent;
  result.xHeight = metrics.xHeight;
  return result;
}

}  // namespace drelin
