#include "MessageBoxParams.h"

#include "MarkupColors.h"

namespace drelin {

MessageBoxArea::MessageBoxArea()
    : startColor(SystemColor(kColorButtonFace)),
      midColor(SystemColor(kColorButtonFace)),
      endColor(SystemColor(kColorButtonFace)) {}

}  // namespace drelin
