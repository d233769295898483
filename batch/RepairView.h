// RepairView: what the repair batch needs of the wizard view: the progress
// log, the status list, the hint label and Stop button, the two pages, the
// file list, the dialogs that start a run, and the Saving window, plus the
// view state the batch reads and writes.
//
// Threads. The operations marked "worker" are also called by the repair
// worker from its own thread. A desktop view carries each such call out on
// the user-interface thread while the worker waits (a blocking queued call);
// it must never make that call from the user-interface thread itself. Every
// other operation is called on the user-interface thread only. The worker
// makes no call at all once it has cleared g_bRepairing, so the
// user-interface thread may wait for it to end from then on.
#pragma once

#include <atomic>
#include <string>

namespace drelin::batch {

class RepairView {
 public:
  virtual ~RepairView() = default;

  // The progress log box (worker). It shows the log's text followed by at
  // most one transient line, and learns only what changes, so a step costs
  // the length of its own lines whatever the length of the log.
  // ClearLog empties the box and shows it from its first line.
  virtual void ClearLog() = 0;
  // Takes the transient line away, if one is shown, and appends `text`.
  virtual void AppendLog(const std::string& text) = 0;
  // Shows `line` (which begins with its own line break) after the log's
  // text, in place of any transient line, until the next AppendLog or
  // ClearLog.
  virtual void ShowTransientLine(const std::string& line) = 0;
  // Moves down by `lines` from where the box stands.
  virtual void ScrollLog(int lines) = 0;
  // The lines shown: one more than the line feeds.
  virtual int GetLogLineCount() = 0;

  // The status list (worker): one row per file of the run; column 0 the
  // source's full path, 1 the status word, 2 the mode text. SetRowStatus
  // writes column 1 and repaints at once.
  virtual int GetRowCount() = 0;
  virtual std::string GetRowText(int row, int column) = 0;
  virtual void SetRowStatus(int row, const std::string& word) = 0;
  // Deletes every row of the status list.
  virtual void ClearRunRows() = 0;

  // The hint label shows kHintTexts[index] (worker).
  virtual void SetHint(int index) = 0;
  virtual void HideStopButton() = 0;  // worker

  // The file page (file list, check-all box, the two remove buttons) and
  // the repair page (status list, log box, Back, Stop). Showing a page sets
  // its hint: 0 for the file page, 1 for the repair page.
  virtual void ShowFilePage() = 0;
  virtual void HideFilePage() = 0;
  virtual void ShowRepairPage() = 0;
  virtual void HideRepairPage() = 0;

  // The pre-repair check: refuses with a message when the file list is
  // empty or has no checked row; otherwise asks the repair mode (Repair Mode
  // dialog) and sets m_bNormalMode. False when refused or cancelled.
  virtual bool CheckBeforeRepair() = 0;
  // Queues the checked rows of the file list into the status list: full
  // path, "Pending", the mode text of m_bNormalMode.
  virtual void QueueCheckedRows() = 0;
  // Deletes every row of the file list and unchecks its check-all box.
  virtual void ClearFileList() = 0;
  // Next on the repair page: the preview of the selected row.
  virtual void ShowPreview() = 0;

  // The modeless Saving window, whose one line names the file being saved.
  virtual void OpenSavingWindow() = 0;
  virtual void SetSavingText(const std::string& text) = 0;
  virtual void CloseSavingWindow() = 0;

  // Told why a row failed, just before its status becomes "Failed"
  // (worker). The log shows no reasons; a view may show them elsewhere.
  virtual void RowFailed(int /*row*/, const std::string& /*reason*/) {}
  // Told of each file saving has put into place: a repaired table (from its
  // source), and each companion it took along (from the source's memo file
  // or .cpg, or from the source itself for a .cpg made from its header).
  virtual void FileSaved(int /*row*/, const std::string& /*source*/,
                         const std::string& /*destination*/) {}

  // 0 the file page, 1 the repair page.
  std::atomic<int> m_nPage{0};
  // The run's repair mode: true Normal, false Advance.
  std::atomic<bool> m_bNormalMode{true};
  // True when no repaired file awaits saving; the worker clears it when a
  // run starts, saving or discarding sets it.
  std::atomic<bool> m_bSaved{true};
  // The stop timer's id, as StartTimer returned it (user-interface thread).
  int m_nTimerId = 0;
};

}  // namespace drelin::batch
