// CHintLabel: the view's hint, a static text of two tab-indented lines. The
// lines are painted one font cell apart (16 pixels for the view's font), so
// both fit the 33 pixels the layout gives the label; a QLabel would space
// them by its own leading and cut the second line. The text is plain.
#pragma once

#include <QFont>
#include <QWidget>

namespace drelin {

// A font of `family` whose character cell (ascent plus descent) is
// `cellHeight` pixels, as close as the face allows, at `weight`.
QFont CellHeightFont(const QString& family, int cellHeight, int weight);

class CHintLabel : public QWidget {
  Q_OBJECT

 public:
  explicit CHintLabel(QWidget* parent = nullptr);

  void SetText(const QString& text);
  const QString& text() const { return text_; }
  // The distance between the tops of two lines.
  int linePitch() const;
  // The width each line needs (tabs expanded), and the height of all lines.
  QSize TextExtent() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString text_;
};

}  // namespace drelin
