#include "RepairModeDlg.h"

#include <QGroupBox>
#include <QRadioButton>

#include "ResourceIds.h"

namespace drelin {
namespace {

// The group box and the radio buttons stand on this light yellow.
const QColor kPanelColor(253, 254, 224);

template <typename T>
T* OnPanel(T* control) {
  control->setAutoFillBackground(true);
  QPalette palette = control->palette();
  palette.setColor(QPalette::Window, kPanelColor);
  control->setPalette(palette);
  return control;
}

}  // namespace

CRepairModeDlg::CRepairModeDlg(QWidget* parent)
    : CPictureDialog(parent, res::kBmpDialog, QStringLiteral("Repair Mode"), 246, 110) {
  setObjectName(QStringLiteral("RepairMode"));
  OnPanel(Place(new QGroupBox(QStringLiteral("Select the Repair Mode")), res::kIdModeGroup, 27, 16,
                200, 52));
  normal_ = OnPanel(Place(new QRadioButton(QStringLiteral("Normal Repair Mode")),
                          res::kIdNormalMode, 39, 32, 81, 10));
  advance_ = OnPanel(Place(new QRadioButton(QStringLiteral("Advance Repair Mode")),
                           res::kIdAdvanceMode, 39, 50, 87, 10));
  AddButton(res::kIdOk, QStringLiteral("OK"), 124, 89, 50, 14);
  AddButton(res::kIdCancel, QStringLiteral("Cancel"), 177, 89, 50, 14);
  (m_nMode == 0 ? normal_ : advance_)->setChecked(true);
  normal_->setFocus();
}

void CRepairModeDlg::accept() {
  m_nMode = advance_->isChecked() ? 1 : 0;
  CPictureDialog::accept();
}

}  // namespace drelin
