// The view's side of the repair batch: the operations the batch drives it
// by. The ones the worker calls from its own thread run on the
// user-interface thread through OnUiThread; each changes only what it must,
// so a step of a long run costs the length of its own text.
#include <QScrollBar>

#include "BatchTexts.h"
#include "CorvantilexView.h"
#include "FileListCtrl.h"
#include "HintLabel.h"
#include "LogEdit.h"
#include "ModalSeam.h"
#include "RepairFlags.h"
#include "ResourceIds.h"
#include "RichMessageBox.h"
#include "SkinButton.h"
#include "StatusListCtrl.h"
#include "ViewTexts.h"
#include "WorkingFileNamer.h"

namespace drelin {

namespace {

// The log's text for the box (which drops the carriage returns).
QString Shown(const std::string& text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

}  // namespace

std::string CCorvantilexView::SeamFolderChooser::ChooseFolder(const std::string& title) {
  return drelin::ChooseFolder(owner_, QString::fromStdString(title));
}

void CCorvantilexView::ClearLog() {
  OnUiThread([this] {
    log_.clear();
    committedLength_ = 0;
    logBox_->Clear();
    committedMark_ = logBox_->mark();
  });
}

void CCorvantilexView::RemoveTransientLine() {
  if (log_.size() == committedLength_) return;
  log_.resize(committedLength_);
  logBox_->TruncateTo(committedMark_);
}

void CCorvantilexView::AppendLog(const std::string& text) {
  OnUiThread([this, &text] {
    RemoveTransientLine();
    log_ += text;
    committedLength_ = log_.size();
    logBox_->AppendText(Shown(text));
    committedMark_ = logBox_->mark();
  });
}

void CCorvantilexView::ShowTransientLine(const std::string& line) {
  OnUiThread([this, &line] {
    RemoveTransientLine();
    log_ += line;
    logBox_->AppendText(Shown(line));
  });
}

void CCorvantilexView::ScrollLog(int lines) {
  OnUiThread([this, lines] {
    QScrollBar* bar = logBox_->verticalScrollBar();
    bar->setValue(bar->value() + lines);
  });
}

int CCorvantilexView::GetLogLineCount() {
  return OnUiThread([this] { return logBox_->lineCount(); });
}

int CCorvantilexView::GetRowCount() {
  return OnUiThread([this] { return statusList_->RowCount(); });
}

std::string CCorvantilexView::GetRowText(int row, int column) {
  return OnUiThread([this, row, column] { return statusList_->RowText(row, column); });
}

void CCorvantilexView::SetRowStatus(int row, const std::string& word) {
  OnUiThread([this, row, &word] { statusList_->SetRowStatus(row, word); });
}

void CCorvantilexView::RowFailed(int row, const std::string& reason) {
  OnUiThread([this, row, &reason] {
    if (QTreeWidgetItem* item = statusList_->topLevelItem(row)) {
      // Forced rich text of the escaped reason: shown exactly as written.
      item->setToolTip(CStatusListCtrl::kStatus,
                       QStringLiteral("<qt>%1</qt>").arg(QString::fromStdString(reason).toHtmlEscaped()));
    }
  });
}

void CCorvantilexView::ClearRunRows() { statusList_->clear(); }

void CCorvantilexView::SetHint(int index) {
  // The worker's last call of a run sets the hint.
  const bool endOfRun = QThread::currentThread() != thread();
  OnUiThread([this, index, endOfRun] {
    if (index >= 0 && index < 3) hint_->SetText(QString::fromLatin1(batch::kHintTexts[index]));
    if (endOfRun) framePacer_->Stop();
  });
}

void CCorvantilexView::HideStopButton() {
  OnUiThread([this] { button(res::kIdStop)->hide(); });
}

bool CCorvantilexView::CheckBeforeRepair() {
  const QString caption = QString::fromLatin1(batch::kCaption);
  const std::uint32_t warning = mb::kOk | mb::kIconExclamation;
  if (fileList_->RowCount() == 0) {
    ShowMessage(QString::fromLatin1(view_texts::kAddFilesFirst), warning, caption,
                QString::fromLatin1(batch::kHintTexts[0]));
    return false;
  }
  bool anyChecked = false;
  for (int row = 0; row < fileList_->RowCount() && !anyChecked; ++row) anyChecked = fileList_->IsChecked(row);
  if (!anyChecked) {
    ShowMessage(QString::fromLatin1(view_texts::kSelectFilesFirst), warning, caption,
                QString::fromLatin1(view_texts::kSelectFilesMore));
    return false;
  }
  const std::optional<bool> normal = AskRepairMode(this);
  if (!normal) return false;
  m_bNormalMode = *normal;
  return true;
}

void CCorvantilexView::QueueCheckedRows() {
  statusList_->FillQueue(*fileList_, m_bNormalMode);
  // The worker starts right after: from here the window is painted once
  // per frame until its last call.
  framePacer_->Start(this);
}

void CCorvantilexView::ClearFileList() { fileList_->RemoveAll(); }

void CCorvantilexView::ShowPreview() {
  const int row = statusList_->HighlightedRow();
  std::string source, status, working;
  if (row >= 0) {
    source = statusList_->RowText(row, CStatusListCtrl::kPath);
    status = statusList_->RowText(row, CStatusListCtrl::kStatus);
  }
  // The working file is looked for only where the preview may open.
  if (!batch::g_bRepairing && status == batch::kStatusDone) {
    working = batch::WorkingFileNamer(workFolder_(), io_).WorkingPathFor(source, 0, row);
  }
  RunPreview(this, messages_, row, source, status, working, startFolder_);
  statusList_->setFocus(Qt::OtherFocusReason);
}

void CCorvantilexView::OpenSavingWindow() { saving_.Open(this); }

void CCorvantilexView::SetSavingText(const std::string& text) { saving_.SetText(text); }

void CCorvantilexView::CloseSavingWindow() { saving_.Close(); }

bool CCorvantilexView::CanClose() { return commands_->CanClose(); }

}  // namespace drelin
