// CSettingsDlg: edits the file-name prefix saved tables are named under.
// It shows the prefix in force when it opens, holds at most 50 characters,
// and on OK refuses an empty prefix or one with a forbidden character with
// a message (the dialog stays open); an accepted prefix is written back.
// Cancel leaves the prefix alone. Run it with DoModal (through ExecModal).
#pragma once

#include <QString>

#include "FilePrefix.h"
#include "PictureDialog.h"

class QLineEdit;

namespace drelin {

class CSettingsDlg : public CPictureDialog {
  Q_OBJECT

 public:
  explicit CSettingsDlg(batch::FilePrefix& prefix, QWidget* parent = nullptr);

  QString m_strPrefix;  // the field's text as last taken in

 public slots:
  void accept() override;

 private:
  batch::FilePrefix& prefix_;
  QLineEdit* edit_;
};

}  // namespace drelin
