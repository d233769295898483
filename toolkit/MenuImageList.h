// MenuImageList: the images a frame registers for its menu commands, in
// index order. Images keep their own resolution (a 48-pixel icon stays 48
// pixels) and are scaled to the 16-by-16 menu image when drawn, so they
// stay sharp at any pixel ratio.
#pragma once

#include <QImage>

#include <vector>

namespace drelin {

class MenuImageList {
 public:
  // Appends `image` and answers its index.
  int Add(const QImage& image) {
    images_.push_back(image);
    return static_cast<int>(images_.size()) - 1;
  }
  // The image at `index`; a null image when there is none.
  QImage image(int index) const {
    if (index < 0 || index >= count()) return {};
    return images_[static_cast<std::size_t>(index)];
  }
  int count() const { return static_cast<int>(images_.size()); }

 private:
  std::vector<QImage> images_;
};

}  // namespace drelin
