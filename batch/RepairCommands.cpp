#include "RepairCommands.h"

#include <optional>
#include <system_error>

#include "BatchTexts.h"
#include "RepairFlags.h"
#include "RepairWorker.h"
#include "ResourceIds.h"

namespace drelin::batch {

namespace {

bool AnyRowDone(RepairView& view) {
  const int count = view.GetRowCount();
  for (int row = 0; row < count; ++row) {
    if (view.GetRowText(row, 1) == kStatusDone) return true;
  }
  return false;
}

}  // namespace

RepairCommands::RepairCommands(RepairView& view, MessageCall& messages, FolderChooser& folders,
                               ViewTimer& timer, PrefixSource prefix,
                               WorkFolderSource workFolder, FileIo& io)
    : view_(view),
      messages_(messages),
      folders_(folders),
      timer_(timer),
      prefix_(std::move(prefix)),
      workFolder_(std::move(workFolder)),
      io_(io) {}

RepairCommands::~RepairCommands() { WaitForWorker(); }

void RepairCommands::WaitForWorker() {
  if (worker_.joinable()) worker_.join();
}

RepairSaver RepairCommands::Saver() { return RepairSaver(view_, workFolder_(), prefix_, io_); }

bool RepairCommands::OnCommand(int id) {
  switch (id) {
    case res::kIdNext: OnNext(); return true;
    case res::kIdRepairFile: OnRepair(); return true;
    case res::kIdStop: OnStop(); return true;
    case res::kIdBack: OnBack(); return true;
    case res::kIdSave: OnSave(); return true;
    default: return false;
  }
}

void RepairCommands::OnNext() {
  if (view_.m_nPage == 0) {
    StartRun();
  } else if (view_.m_nPage == 1) {
    view_.ShowPreview();
  }
}

void RepairCommands::OnRepair() {
  if (view_.m_nPage == 0) StartRun();
}

void RepairCommands::StartRun() {
  if (!view_.CheckBeforeRepair()) return;
  std::string folder;
  try {
    folder = workFolder_();
  } catch (const std::exception& error) {
    // Without a folder for working files no file could be repaired.
    messages_.RichMessageBox(error.what(), kCaption, kMbExclamationOk);
    return;
  }
  view_.HideFilePage();
  view_.ShowRepairPage();
  view_.QueueCheckedRows();
  view_.m_nPage = 1;

  // The worker of the previous run cleared g_bRepairing as its last act and
  // is ending, if it has not ended.
  WaitForWorker();
  // A stop confirmed after the previous run had ended must not end this one.
  g_bStopRequested = false;
  g_bRepairing = true;
  try {
    worker_ = std::thread([this, folder] { RepairWorker(view_, folder, io_).Run(); });
  } catch (const std::system_error& error) {
    g_bRepairing = false;
    messages_.RichMessageBox(std::string("The repair could not be started: ") + error.what(),
                             kCaption, kMbExclamationOk);
  }
}

void RepairCommands::OnStop() {
  if (!g_bRepairing) return;
  if (messages_.RichMessageBox(kAskStop, kCaption, kMbYesNoCancelQuestion) != kIdYes) return;
  g_bStopRequested = true;
  view_.m_nTimerId = timer_.StartTimer(res::kStopTimerId, kStopTimerPeriodMs);
}

void RepairCommands::OnTimer() {
  if (g_bRepairing) return;
  if (view_.m_nPage == 0) {
    ReturnToFilePage();
  } else {
    timer_.StopTimer(view_.m_nTimerId);
    g_bStopRequested = false;
    view_.HideStopButton();
  }
}

void RepairCommands::OnBack() {
  if (view_.m_nPage != 1) return;
  if (g_bRepairing) {
    messages_.RichMessageBox(kStopBeforeBack, kCaption, kMbExclamationOk);
    return;
  }
  if (!ConfirmLeave()) return;
  ReturnToFilePage();
}

void RepairCommands::ReturnToFilePage() {
  view_.HideRepairPage();
  view_.ShowFilePage();
  view_.ClearRunRows();
  timer_.StopTimer(view_.m_nTimerId);
  view_.m_nPage = 0;
}

void RepairCommands::OnSave() {
  if (view_.m_bSaved) return;
  if (g_bRepairing) {
    messages_.RichMessageBox(kStopBeforeSave, kCaption, kMbExclamationOk);
    return;
  }
  if (view_.m_nPage != 1) return;
  if (!AnyRowDone(view_)) {
    messages_.RichMessageBox(kNothingRepaired, kCaption, kMbExclamationOk);
    return;
  }
  const std::string folder = folders_.ChooseFolder(kChooseFolderTitle);
  if (folder.empty() || !SaveInto(folder)) return;
  view_.m_bSaved = true;
  OnBack();
  view_.ClearFileList();
}

bool RepairCommands::ConfirmLeave() {
  if (view_.m_bSaved) return true;
  if (!AnyRowDone(view_)) return true;
  const int answer = messages_.RichMessageBox(kAskSaveBeforeLeaving, kCaption,
                                              kMbYesNoCancelQuestion);
  if (answer == kIdYes) {
    const std::string folder = folders_.ChooseFolder(kChooseFolderTitle);
    if (folder.empty() || !SaveInto(folder)) return false;
    view_.ClearFileList();
    view_.m_bSaved = true;
    return true;
  }
  if (answer == kIdNo) return DiscardWorkingFiles();
  return false;
}

bool RepairCommands::SaveInto(const std::string& folder) {
  std::optional<RepairSaver> saver;
  bool saved = true;
  try {
    saver.emplace(Saver());
    saver->SaveAll(folder);
  } catch (const std::exception& error) {
    ReportStopped(kSavingStopped, error, kSavingKept);
    saved = false;
  }
  // What the saved tables could not take along (a memo file missing, say).
  if (saver && !saver->notes().empty()) {
    std::string text;
    for (const std::string& note : saver->notes()) text += (text.empty() ? "" : "\n") + note;
    messages_.RichMessageBox(text, kCaption, kMbInformationOk);
  }
  return saved;
}

bool RepairCommands::DiscardWorkingFiles() {
  try {
    Saver().DiscardWorkingFiles();
    return true;
  } catch (const std::exception& error) {
    ReportStopped(kDiscardingStopped, error, kDiscardingKept);
    return false;
  }
}

void RepairCommands::ReportStopped(const char* opening, const std::exception& error,
                                   const char* closing) {
  messages_.RichMessageBox(std::string(opening) + error.what() + closing, kCaption,
                           kMbExclamationOk);
}

bool RepairCommands::CanClose() {
  if (!ConfirmLeave()) return false;
  OnBack();
  return true;
}

}  // namespace drelin::batch
