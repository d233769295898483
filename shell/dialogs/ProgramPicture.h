// ProgramPicture: one numbered picture of the program, kept for the pixel
// ratio of whatever it is painted on, so that a window shows the twice-size
// copy on a dense screen (or in a twice-size rendering) and stays crisp.
#pragma once

#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>

#include "MarkupImages.h"

namespace drelin {

class ProgramPicture {
 public:
  explicit ProgramPicture(int number) : number_(number) {}

  // The picture for what `painter` paints on; null when there is none.
  const QImage& For(QPainter& painter) {
    // The engine's device is the real target, also while a widget is
    // rendered into an image.
    const QPaintEngine* engine = painter.paintEngine();
    const QPaintDevice* target = engine && engine->paintDevice() ? engine->paintDevice() : painter.device();
    const qreal ratio = target ? target->devicePixelRatioF() : 1.0;
    if (ratio != ratio_) {
      image_ = LoadProgramImage(number_, ratio);
      ratio_ = ratio;
    }
    return image_;
  }

 private:
  int number_;
  QImage image_;
  qreal ratio_ = 0;
};

}  // namespace drelin
