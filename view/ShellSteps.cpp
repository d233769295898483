#include "ShellSteps.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "BatchTexts.h"
#include "FilePrefix.h"
#include "MessageCall.h"
#include "ModalSeam.h"

// Plain stand-ins for the shell's dialogs, until they are built: the same
// names, texts and results, without their looks.
namespace drelin {

std::optional<bool> AskRepairMode(QWidget* parent) {
  QDialog dialog(parent);
  dialog.setObjectName(QStringLiteral("RepairMode"));
  dialog.setWindowTitle(QStringLiteral("Repair Mode"));
  auto* layout = new QVBoxLayout(&dialog);
  auto* normal = new QRadioButton(QString::fromLatin1(batch::kNormalModeText), &dialog);
  auto* advance = new QRadioButton(QString::fromLatin1(batch::kAdvanceModeText), &dialog);
  normal->setChecked(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(normal);
  layout->addWidget(advance);
  layout->addWidget(buttons);
  if (ExecModal(dialog) != QDialog::Accepted) return std::nullopt;
  return normal->isChecked();
}

void RunSettingsDialog(QWidget* parent, batch::FilePrefix&) {
  QDialog dialog(parent);
  dialog.setObjectName(QStringLiteral("Settings"));
  ExecModal(dialog);
}

bool ShowStartupSplash(QWidget*) { return false; }

void RunPreview(QWidget*, batch::MessageCall&, int, const std::string&, const std::string&,
                const std::string&, const QString&) {}

SavingWindow::~SavingWindow() { Close(); }

void SavingWindow::Open(QWidget* owner) {
  Close();
  auto* window = new QDialog(owner);
  window->setObjectName(QStringLiteral("Saving"));
  auto* label = new QLabel(window);
  label->setTextFormat(Qt::PlainText);
  label->setObjectName(QStringLiteral("SavingText"));
  window->show();
  window_ = window;
}

void SavingWindow::SetText(const std::string& text) {
  if (window_.isNull()) return;
  auto* label = window_->findChild<QLabel*>(QStringLiteral("SavingText"));
  label->setText(QString::fromStdString(text));
  label->repaint();
}

void SavingWindow::Close() {
  if (!window_.isNull()) delete window_.data();
}

}  // namespace drelin
