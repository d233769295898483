// CRepairModeDlg: asks, when a repair is started, which of the two repair
// algorithms the whole run uses. Constructed for each run, so Normal is
// chosen whenever it opens; run it with DoModal (through ExecModal). On OK,
// m_nMode holds the radio chosen; Cancel or the close box starts nothing.
#pragma once

#include "PictureDialog.h"

class QGroupBox;
class QRadioButton;

namespace drelin {

class CRepairModeDlg : public CPictureDialog {
  Q_OBJECT

 public:
  explicit CRepairModeDlg(QWidget* parent = nullptr);

  // 0 "Normal Repair Mode", 1 "Advance Repair Mode".
  int m_nMode = 0;

 public slots:
  void accept() override;

 private:
  QRadioButton* normal_;
  QRadioButton* advance_;
};

}  // namespace drelin
