#include "RepairModeDlg.h"

#include <QGroupBox>
#include <QPainter>
#include <QRadioButton>

#include "ResourceIds.h"

namespace drelin {
namespace {

// The group box and the radio buttons stand on this light yellow.
const QColor kPanelColor(253, 254, 224);
constexpr int kTitleInset = 8;

// The group box as one even panel of that colour inside its frame; the
// frame runs through the middle of its title, which stands a little in from
// the left on the panel's colour.
class PanelGroupBox : public QGroupBox {
 public:
  using QGroupBox::QGroupBox;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const QFontMetrics metrics = fontMetrics();
    const QRect text(kTitleInset, 0, metrics.horizontalAdvance(title()), metrics.height());
    const QRect frame = rect().adjusted(0, text.center().y(), -1, -1);
    painter.fillRect(frame, kPanelColor);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(frame);
    painter.fillRect(text.adjusted(-2, 0, 2, 0), kPanelColor);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, title());
  }
};

template <typename T>
T* OnPanel(T* control) {
  control->setAutoFillBackground(true);
  QPalette palette = control->palette();
  palette.setColor(control->backgroundRole(), kPanelColor);  // a button's is not Window
  control->setPalette(palette);
  return control;
}

}  // namespace

CRepairModeDlg::CRepairModeDlg(QWidget* parent)
    : CPictureDialog(parent, res::kBmpDialog, QStringLiteral("Repair Mode"), 246, 110) {
  setObjectName(QStringLiteral("RepairMode"));
  Place(new PanelGroupBox(QStringLiteral("Select the Repair Mode")), res::kIdModeGroup, 27, 16, 200,
        52);
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
