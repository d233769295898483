// CPictureDialog: what the shell's small dialogs share. The client area has
// the template's size in dialog units and shows a picture of the program
// from its top-left corner instead of the dialog colour (the default
// background when the picture is missing), crisp on dense screens. Every
// control uses the dialog font and stands at its template rectangle; its
// objectName is its template id ("1033"), so callers and tests find it
// with Control(id) or findChild without knowing the dialog's members.
#pragma once

#include <QDialog>
#include <QFont>
#include <QRect>

#include "ProgramPicture.h"

class QPushButton;

namespace drelin {

class CClearLabel;

// The dialogs' font. The templates ask for "MS Sans Serif" 8 pt; where it
// stands in for it, the system's sans face is too wide for the labels
// ("File Name Prefix" needs 89 pixels of its 78). Liberation Sans, made to
// Arial's metrics, at 10 pixels keeps every label inside its control, and a
// size in pixels keeps it in step with the dialogs' sizes in pixels.
QFont DialogFont();

class CPictureDialog : public QDialog {
  Q_OBJECT

 public:
  // Runs the dialog modally through ExecModal, so tests can answer it.
  int DoModal();

  // The control with template id `id`; null when there is none.
  QWidget* Control(int id) const;
  template <typename T>
  T* ControlAs(int id) const {
    return qobject_cast<T*>(Control(id));
  }

 protected:
  // A dialog of `width` x `height` dialog units showing picture `picture`.
  CPictureDialog(QWidget* parent, int picture, const QString& title, int width, int height);

  // Puts `control` at the template rectangle (x, y, width, height) under
  // template id `id` (-1: a control without an id).
  template <typename T>
  T* Place(T* control, int id, int x, int y, int width, int height) {
    PlaceWidget(control, id, x, y, width, height);
    return control;
  }
  // A push button: id 1 (OK, the default button) accepts, 2 (Cancel) rejects.
  QPushButton* AddButton(int id, const QString& text, int x, int y, int width, int height);
  // A clear label: plain text from the top-left corner, breaking at blanks.
  CClearLabel* AddLabel(int id, const QString& text, int x, int y, int width, int height);

  void paintEvent(QPaintEvent* event) override;

 private:
  void PlaceWidget(QWidget* control, int id, int x, int y, int width, int height);

  ProgramPicture picture_;
};

}  // namespace drelin
