#include "PictureDialog.h"

#include <QPainter>
#include <QPushButton>

#include "ClearLabel.h"
#include "DialogUnits.h"
#include "ModalSeam.h"
#include "ResourceIds.h"

namespace drelin {

QFont DialogFont() {
  QFont font;
  font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
  font.setPixelSize(10);
  return font;
}

CPictureDialog::CPictureDialog(QWidget* parent, int picture, const QString& title, int width,
                               int height)
    : QDialog(parent), picture_(picture) {
  setWindowTitle(title);
  setFont(DialogFont());
  setFixedSize(DialogSize(width, height));
}

int CPictureDialog::DoModal() { return ExecModal(*this); }

QWidget* CPictureDialog::Control(int id) const {
  return findChild<QWidget*>(QString::number(id), Qt::FindDirectChildrenOnly);
}

void CPictureDialog::PlaceWidget(QWidget* control, int id, int x, int y, int width, int height) {
  control->setParent(this);
  if (id >= 0) control->setObjectName(QString::number(id));
  control->setGeometry(DialogRect(x, y, width, height));
}

QPushButton* CPictureDialog::AddButton(int id, const QString& text, int x, int y, int width,
                                       int height) {
  auto* button = Place(new QPushButton(text), id, x, y, width, height);
  if (id == res::kIdOk) {
    button->setDefault(true);
    connect(button, &QPushButton::clicked, this, &QDialog::accept);
  } else if (id == res::kIdCancel) {
    connect(button, &QPushButton::clicked, this, &QDialog::reject);
  }
  return button;
}

CClearLabel* CPictureDialog::AddLabel(int id, const QString& text, int x, int y, int width,
                                      int height) {
  auto* label = Place(new CClearLabel(text), id, x, y, width, height);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setWordWrap(true);
  return label;
}

void CPictureDialog::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QImage& picture = picture_.For(painter);
  if (picture.isNull()) {
    painter.end();
    QDialog::paintEvent(event);
    return;
  }
  painter.drawImage(0, 0, picture);
}

}  // namespace drelin
