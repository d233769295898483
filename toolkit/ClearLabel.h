// CClearLabel: a text label with no background of its own, so that the
// picture its dialog paints shows through around the letters. Its text is
// plain (labels show data such as file names, never markup). Setting a new
// text repaints the parent's area under the label at once, so no trace of
// the old text remains on the picture.
#pragma once

#include <QLabel>

namespace drelin {

class CClearLabel : public QLabel {
  Q_OBJECT

 public:
  explicit CClearLabel(QWidget* parent = nullptr);
  CClearLabel(const QString& text, QWidget* parent = nullptr);

  void SetText(const QString& text);
};

}  // namespace drelin
