#include "PreviewCommand.h"

#include "BatchTexts.h"
#include "FileError.h"
#include "FilePreviewDlg.h"
#include "ModalSeam.h"
#include "RepairFlags.h"

namespace drelin {

void RunPreviewCommand(QWidget* parent, batch::MessageCall& messages, int row, const std::string& source,
                       const std::string& status, const std::string& workingPath, const QString& startFolder) {
  if (batch::g_bRepairing) {
    messages.RichMessageBox(kPreviewWhileRepairing, batch::kCaption, batch::kMbExclamationOk);
    return;
  }
  if (row < 0) {
    messages.RichMessageBox(kPreviewNoRow, batch::kCaption, batch::kMbOk);
    return;
  }
  if (status != batch::kStatusDone) {
    messages.RichMessageBox(kPreviewNotRepaired, batch::kCaption, batch::kMbExclamationOk);
    return;
  }
  CFilePreviewDlg dialog(parent, messages, source, startFolder);
  try {
    dialog.LoadTable(workingPath);
  } catch (const FileError& error) {
    messages.RichMessageBox(error.what(), batch::kCaption, batch::kMbExclamationOk);
    return;
  }
  ExecModal(dialog);
}

}  // namespace drelin
