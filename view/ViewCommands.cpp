// The view's command table: which handler each command id of its buttons,
// menu items and shortcuts reaches, and the commands of the file page.
#include <QCheckBox>
#include <QKeySequence>

#include "BatchTexts.h"
#include "CorvantilexView.h"
#include "FileListCtrl.h"
#include "MultiFileDialog.h"
#include "ResourceIds.h"
#include "RichMessageBox.h"
#include "ViewPrinter.h"
#include "ViewTexts.h"

namespace drelin {

namespace {

using namespace res;

void Inform(const char* text) {
  ShowMessage(QString::fromLatin1(text), mb::kOk | mb::kIconInformation);
}

}  // namespace

void CCorvantilexView::RegisterCommands() {
  RegisterFileCommands();
  // The run's commands and the stop timer's ticks belong to the batch.
  for (const int id : {kIdNext, kIdRepairFile, kIdStop, kIdBack, kIdSave}) {
    router_.Add(id, [this, id] { commands_->OnCommand(id); });
  }
  router_.Add(kStopTimerId, [this] { commands_->OnTimer(); });
  router_.Add(kIdPreview, [this] { ShowPreview(); });
  for (const int id : {kIdSettings, kCmdSettings}) router_.Add(id, [this] { RunSettings(); });
  // The help key asks for the help command, which the frame provides with
  // the launches of help, updates and the home page.
  router_.Add(kCmdHelpKey, [this] { router_.Dispatch(kCmdHelp); });
  router_.AddShortcut(QKeySequence(Qt::Key_F1), kCmdHelpKey, this);
  router_.Add(kCmdPrint, [this] { printer_->Print(); });
  router_.Add(kCmdPrintDirect, [this] { printer_->PrintDirect(); });
  router_.Add(kCmdPrintPreview, [this] { printer_->PrintPreview(); });
  router_.AddShortcut(QKeySequence(Qt::CTRL | Qt::Key_P), kCmdPrint, this);
}

void CCorvantilexView::RegisterFileCommands() {
  for (const int id : {kIdAddFiles, kCmdAddFiles}) router_.Add(id, [this] { AddFiles(); });
  for (const int id : {kIdRemoveSelected, kCmdRemoveSelected}) router_.Add(id, [this] { RemoveSelected(); });
  for (const int id : {kIdRemoveAll, kCmdRemoveAll}) router_.Add(id, [this] { RemoveAll(); });
  router_.Add(kIdCheckAll, [this] { CheckAll(); });
  // The buttons of the file page answer only there; the menu items have no
  // such test.
  for (const int id : {kIdAddFiles, kIdRemoveSelected, kIdRemoveAll}) {
    router_.SetEnabledQuery(id, [this] { return m_nPage == 0; });
  }
}

void CCorvantilexView::AddFiles() {
  if (m_nPage != 0) return;
  CMultiFileDialog dialog(this);
  if (dialog.DoModal()) fileList_->AddFiles(dialog.paths());
}

void CCorvantilexView::RemoveSelected() {
  switch (fileList_->RemoveChecked()) {
    case CFileListCtrl::RemoveResult::kEmpty: Inform(view_texts::kNoFilesToRemove); break;
    case CFileListCtrl::RemoveResult::kNoneChecked: Inform(view_texts::kSelectFilesToRemove); break;
    case CFileListCtrl::RemoveResult::kRemoved: break;
  }
}

void CCorvantilexView::RemoveAll() {
  if (!fileList_->RemoveAll()) Inform(view_texts::kNoFilesToRemove);
}

void CCorvantilexView::CheckAll() { fileList_->ToggleAll(); }

void CCorvantilexView::RunSettings() { RunSettingsDialog(this, *prefix_); }

}  // namespace drelin
