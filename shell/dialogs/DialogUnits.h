// DialogUnits: dialog templates give places and sizes in dialog units; the
// fixed base units of the original dialog font (6 x 13 pixels) turn them
// into pixels, each value on its own and rounded to the nearest pixel
// (halves up), so the dialogs keep the sizes their pictures were drawn for.
#pragma once

#include <QRect>
#include <QSize>

namespace drelin {

// x: units x 6 / 4.
constexpr int DialogX(int units) { return (2 * units * 6 + 4) / 8; }
// y: units x 13 / 8.
constexpr int DialogY(int units) { return (2 * units * 13 + 8) / 16; }

inline QSize DialogSize(int width, int height) { return {DialogX(width), DialogY(height)}; }

// A template rectangle (x, y, width, height) in pixels.
inline QRect DialogRect(int x, int y, int width, int height) {
  return {DialogX(x), DialogY(y), DialogX(width), DialogY(height)};
}

}  // namespace drelin
