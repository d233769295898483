#include "SettingsDlg.h"

#include <QGroupBox>
#include <QLineEdit>

#include "BatchTexts.h"
#include "ClearLabel.h"
#include "ResourceIds.h"
#include "RichMessageCall.h"

namespace drelin {

CSettingsDlg::CSettingsDlg(batch::FilePrefix& prefix, QWidget* parent)
    : CPictureDialog(parent, res::kBmpDialog, QStringLiteral("Settings"), 246, 110),
      prefix_(prefix) {
  setObjectName(QStringLiteral("Settings"));
  // The group box frames the field; it has no id of its own.
  Place(new QGroupBox, -1, 22, 13, 206, 65);
  AddLabel(res::kIdPrefixLabel, QStringLiteral("File Name Prefix"), 35, 36, 52, 8);
  edit_ = Place(new QLineEdit, res::kIdPrefixEdit, 104, 34, 71, 14);
  AddButton(res::kIdOk, QStringLiteral("OK"), 59, 89, 50, 14);
  AddButton(res::kIdCancel, QStringLiteral("Cancel"), 140, 89, 50, 14);

  m_strPrefix = QString::fromStdString(prefix_.Prefix());
  edit_->setMaxLength(batch::kPrefixMaxLength);
  edit_->setText(m_strPrefix);
  edit_->selectAll();
  edit_->setFocus();
}

void CSettingsDlg::accept() {
  m_strPrefix = edit_->text();
  const std::string prefix = m_strPrefix.toStdString();
  const std::string refusal = batch::PrefixRefusal(prefix);
  if (!refusal.empty()) {
    RichMessageCall(this).RichMessageBox(refusal, batch::kPrefixCaption, batch::kMbInformationOk);
    return;
  }
  prefix_.SetPrefix(prefix);
  CPictureDialog::accept();
}

}  // namespace drelin
