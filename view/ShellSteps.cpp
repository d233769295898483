#include "ShellSteps.h"

#include <QFile>

#include "FilePrefix.h"
#include "PreviewCommand.h"
#include "RepairModeDlg.h"
#include "ResourceIds.h"
#include "SavingDlg.h"
#include "SettingsDlg.h"
#include "StartupSplash.h"

namespace drelin {

namespace {

// The splash's period and picture.
constexpr int kSplashMs = 4000;

}  // namespace

std::optional<bool> AskRepairMode(QWidget* parent) {
  CRepairModeDlg dialog(parent);
  if (dialog.DoModal() != QDialog::Accepted) return std::nullopt;
  return dialog.m_nMode == 0;
}

void RunSettingsDialog(QWidget* parent, batch::FilePrefix& prefix) {
  CSettingsDlg dialog(prefix, parent);
  dialog.DoModal();
}

bool ShowStartupSplash(QWidget* view) { return CStartupSplash::ShowSplash(kSplashMs, res::kBmpSplash, view); }

void RunPreview(QWidget* parent, batch::MessageCall& messages, int row, const std::string& source,
                const std::string& status, const std::string& workingPath, const QString& startFolder) {
  RunPreviewCommand(parent, messages, row, source, status, workingPath, startFolder);
}

SavingWindow::~SavingWindow() { Close(); }

void SavingWindow::Open(QWidget* owner) {
  Close();
  auto* window = new CSavingDlg(owner);
  window->Open();
  window_ = window;
}

void SavingWindow::SetText(const std::string& text) {
  if (auto* window = qobject_cast<CSavingDlg*>(window_.data())) {
    window->SetText(QFile::decodeName(QByteArray::fromStdString(text)));
  }
}

void SavingWindow::Close() {
  if (!window_.isNull()) delete window_.data();
}

}  // namespace drelin
