// MarkupImages: where the images of <bmp>, <icon> and <ilst> come from.
// Markup is data, so every source is bounded: numbered images are Qt
// resources of the program (":/res/<number>.png" and so on), module images
// come from a Qt resource file (.rcc) in the program's folder registered
// for one load, files are regular files decoded under an allocation limit,
// and handles index a table of images the program registered itself.
#pragma once

#include <QImage>
#include <QString>

#include <map>

#include "MarkupTokenizer.h"

namespace drelin {

// Images the program hands to markup by number ("<icon handle=0x12>").
class MarkupImageTable {
 public:
  // Registers `image`; the returned handle is never 0.
  static unsigned Register(const QImage& image);
  static void Unregister(unsigned handle);
  // The image of `handle`; a null image when unknown.
  static QImage Find(long long handle);
};

// Registers an image for the lifetime of the object.
class ScopedMarkupImage {
 public:
  explicit ScopedMarkupImage(const QImage& image) : handle_(MarkupImageTable::Register(image)) {}
  ~ScopedMarkupImage() { MarkupImageTable::Unregister(handle_); }
  ScopedMarkupImage(const ScopedMarkupImage&) = delete;
  ScopedMarkupImage& operator=(const ScopedMarkupImage&) = delete;
  unsigned handle() const { return handle_; }

 private:
  unsigned handle_;
};

// The image of a numbered program resource; null when there is none. For a
// device pixel ratio above 1 it is the twice-size copy ("<number>@2x") when
// there is one, with its own ratio set to 2, so that its logical size is the
// picture's size; source rectangles into it are then in twice the units.
QImage LoadProgramImage(long long id, qreal devicePixelRatio = 1.0);

// The image numbered `id` of the resource file `module` (a plain file name
// in the program's folder, or an absolute path the program chose itself
// when `trusted`); null on any failure.
QImage LoadModuleImage(const QString& module, long long id, bool trusted);

// A regular image file decoded under the allocation limit; null otherwise.
QImage LoadImageFile(const QString& path);

// The image an image tag asks for (its natural size, before scaling), or
// a null image. `resourceModule` serves `iddll` without `srcdll`.
QImage LoadTagImage(const MarkupAttributes& attributes, const QString& resourceModule);

}  // namespace drelin
