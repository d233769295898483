// TransformHls: lightens, darkens or (de)saturates a colour in hue,
// lightness and saturation terms. The skinned buttons and the flat menus
// derive every shade they paint from the system colours through it, so the
// same input gives the same pixel everywhere.
#pragma once

#include "ColorRef.h"

namespace drelin {

// `lightness` and `saturation` are percents from -100 to 100: a positive p
// moves the value p percent of the way to the top, a negative one scales
// it down by -p percent, 0 leaves it.
ColorRef TransformHls(ColorRef color, int lightness, int saturation);

// The colour lightened (`percent` > 0) or darkened (< 0) with saturation
// kept: TransformHls(color, percent, 0).
inline ColorRef Lighten(ColorRef color, int percent) { return TransformHls(color, percent, 0); }

}  // namespace drelin
