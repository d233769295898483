// SkinImage: the image operations the skinned controls and the flat menus
// share. A colour-keyed picture becomes an image whose key pixels are fully
// transparent (the mask of the classic AND/OR drawing), and any picture can
// be reduced to a one-colour silhouette or drawn in the embossed disabled
// look. Images are scaled for the painter's device pixel ratio so that they
// stay crisp on high-density screens.
#pragma once

#include <QImage>
#include <QPainter>
#include <QRect>

#include "ColorRef.h"

namespace drelin {

// `image` with every pixel of exactly `transparent` made fully transparent
// and every other pixel opaque; a null image when `image` is null.
QImage MaskedImage(const QImage& image, ColorRef transparent);

// The shape of `image` (its alpha) filled with `color`.
QImage Silhouette(const QImage& image, ColorRef color);

// The part of `image` the embossed look draws: its opaque pixels that are
// not light (grey level below 200), as a silhouette in `color`.
QImage EmbossShape(const QImage& image, ColorRef color);

// Draws `image` into `target` (logical pixels), scaled smoothly when the
// sizes differ, at the device's resolution.
void DrawScaled(QPainter& painter, const QRect& target, const QImage& image);

// The embossed disabled look: the shape once in `highlight` one pixel right
// and down, then in `shadow` at `target`.
void DrawEmbossed(QPainter& painter, const QRect& target, const QImage& image, ColorRef highlight, ColorRef shadow);

}  // namespace drelin
