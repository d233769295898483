#include "RepairWorker.h"

#include "BatchTexts.h"
#include "FileEntry.h"
#include "RepairFlags.h"

namespace drelin::batch {

RepairWorker::RepairWorker(RepairView& view, const std::string& folder, FileIo& io)
    : view_(view), io_(io), namer_(folder, io), engine_(io) {}

namespace {

// A view that cannot take the reason must not turn a failed file into a
// failed run.
void TellFailure(RepairView& view, int row, const std::string& reason) {
  try {
    view.RowFailed(row, reason);
  } catch (...) {
  }
}

}  // namespace

int RepairWorker::Run() {
  try {
    return RunRows();
  } catch (...) {
    // Only a view call can fail here; the run is over either way, and the
    // user-interface thread must see that.
    EndRun();
    return 1;
  }
}

int RepairWorker::RunRows() {
  view_.m_bSaved = false;
  view_.ClearLog();
  const int count = view_.GetRowCount();
  int scroll = 6;
  for (int row = 0; row < count; ++row) {
    const std::string source = view_.GetRowText(row, 0);
    view_.AppendLog("\r\nSelected File: (" + std::to_string(row + 1) + " of " +
                    std::to_string(count) + ")" + kLogRepairing + source + kLogProgressLines);
    view_.ScrollLog(scroll);
    view_.SetRowStatus(row, kStatusProgress);

    RepairOneFile(source, row);

    view_.SetRowStatus(row, g_strLastResult);
    view_.AppendLog(std::string(kLogAddingData) +
                    (g_strLastResult != kStatusFailed ? kLogComplete : kLogFailed));
    view_.ScrollLog(view_.GetLogLineCount());
    if (view_.m_nPage != 1 || g_bStopRequested) {
      // The Stop button is left to the stop timer.
      view_.SetHint(view_.m_nPage + 1);
      EndRun();
      return 1;
    }
    scroll += 12;
  }
  view_.ScrollLog(view_.GetLogLineCount());
  view_.HideStopButton();
  view_.SetHint(view_.m_nPage + 1);
  EndRun();
  return 1;
}

void RepairWorker::RepairOneFile(const std::string& source, int row) {
  try {
    const std::string working = namer_.BuildWorkingPath(source, 0, row);
    // Shown only while this file is repaired: the next append takes it away.
    view_.ShowTransientLine(kLogTransient);
    view_.ScrollLog(12 * (row + 1) + 7);

    // Whatever stands under the name goes, a planted symbolic link as a
    // link; the new file is then made only where no entry exists.
    platform::RemoveEntry(io_, working);
    RepairOptions options;
    options.creation = File::Creation::kExclusive;
    engine_.RepairFile(source, working, view_.m_bNormalMode ? kRepairNormal : kRepairAdvance,
                       options);

    if (!g_bStopRequested) {
      g_strLastResult = kStatusDone;
      return;
    }
    platform::RemoveEntry(io_, working);
    g_strLastResult = kStatusFailed;
    TellFailure(view_, row, "the repair was stopped");
  } catch (const std::exception& error) {
    // A working file already written stays; a later run removes it.
    g_strLastResult = kStatusFailed;
    TellFailure(view_, row, error.what());
  } catch (...) {
    g_strLastResult = kStatusFailed;
    TellFailure(view_, row, "unknown error");
  }
}

void RepairWorker::EndRun() {
  g_bStopRequested = false;
  g_bRepairing = false;
}

}  // namespace drelin::batch
