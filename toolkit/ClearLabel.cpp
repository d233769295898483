#include "ClearLabel.h"

namespace drelin {

CClearLabel::CClearLabel(QWidget* parent) : CClearLabel(QString(), parent) {}

CClearLabel::CClearLabel(const QString& text, QWidget* parent) : QLabel(parent) {
  setTextFormat(Qt::PlainText);
  setAutoFillBackground(false);
  setText(text);
}

void CClearLabel::SetText(const QString& text) {
  setText(text);
  if (QWidget* parent = parentWidget()) parent->repaint(geometry());
}

}  // namespace drelin
