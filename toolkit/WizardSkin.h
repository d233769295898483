// WizardSkin: the main view's background, painted from seven skin pictures
// around the view's controls: a top band 229 rows high (its left piece
// unscaled, a middle piece stretched across, its right piece unscaled), a
// bottom band 100 rows high (a left piece stretched, a right piece unscaled)
// and the two side strips beside the lists, stretched to their height. The
// pieces are cut to the rows the view shows once, when loaded, so that
// stretching never blends in rows outside them.
#pragma once

#include <QImage>
#include <QPainter>
#include <QSize>

namespace drelin {

class WizardSkin {
 public:
  // Loads the pieces for a device of `devicePixelRatio` (twice-size
  // pictures above 1).
  explicit WizardSkin(qreal devicePixelRatio = 1.0);

  // Whether every piece could be loaded; missing pieces are left out.
  bool complete() const;

  // Paints the background of a client area of `client` logical pixels.
  void Paint(QPainter& painter, const QSize& client) const;

 private:
  QImage topLeft_, topRight_, top_, bottomRight_, bottomLeft_, left_, right_;
};

}  // namespace drelin
