// BatchView: the repair batch's view, message box, folder chooser and timer
// for a run without windows. The rows are the command line's sources in
// order; the progress log goes to stdout as it grows, each line once a line
// feed has ended it (so it can no longer change), and the transient line
// shown while a file is repaired never; messages go to stderr as plain text,
// a line each;
// the folder chosen is the one given on the command line; each saved file is
// reported as "SOURCE -> DEST".
#pragma once

#include <atomic>
#include <iosfwd>
#include <string>
#include <vector>

#include "FolderChooser.h"
#include "MessageCall.h"
#include "RepairView.h"
#include "ViewTimer.h"

namespace drelin::cli {

class BatchView : public batch::RepairView {
 public:
  BatchView(std::vector<std::string> sources, bool normalMode, std::ostream& out);

  // Prints what is left of the log, ending with a line break.
  void FlushLog();
  // The status word of each row, and why failed rows failed; read once the
  // worker has ended.
  std::vector<std::string> Statuses() const;
  const std::vector<std::string>& sources() const { return sources_; }
  const std::vector<std::string>& reasons() const { return reasons_; }
  // Rows with a file saved.
  const std::vector<bool>& saved() const { return saved_; }
  // Ends a save after the row in hand: the rows it has not reached read as
  // not repaired to it. Safe from any thread.
  void StopSaving() { saveStopped_ = true; }

  void ClearLog() override;
  void AppendLog(const std::string& text) override;
  void ShowTransientLine(const std::string& line) override { transient_ = line; }
  void ScrollLog(int) override {}
  int GetLogLineCount() override;
  int GetRowCount() override { return static_cast<int>(rows_.size()); }
  std::string GetRowText(int row, int column) override;
  void SetRowStatus(int row, const std::string& word) override;
  void ClearRunRows() override { rows_.clear(); }
  void SetHint(int) override {}
  void HideStopButton() override {}
  void ShowFilePage() override {}
  void HideFilePage() override {}
  void ShowRepairPage() override {}
  void HideRepairPage() override {}
  bool CheckBeforeRepair() override;
  void QueueCheckedRows() override;
  void ClearFileList() override {}
  void ShowPreview() override {}
  void OpenSavingWindow() override { saving_ = true; }
  void SetSavingText(const std::string&) override {}
  void CloseSavingWindow() override { saving_ = false; }
  void RowFailed(int row, const std::string& reason) override;
  void FileSaved(int row, const std::string& source, const std::string& destination) override;

 private:
  void Print(const std::string& text);

  struct Row {
    std::string path;
    std::string status;
  };

  std::vector<std::string> sources_;
  bool normalMode_;
  std::ostream& out_;
  std::vector<Row> rows_;
  std::vector<std::string> statuses_;
  std::vector<std::string> reasons_;
  std::vector<bool> saved_;
  bool saving_ = false;
  std::atomic<bool> saveStopped_{false};
  std::string unprinted_;  // the log after the last line feed printed
  std::string transient_;
  int lineFeeds_ = 0;  // in the log
};

// Messages to stderr; a question is answered Yes (only Stop asks one here,
// and a stop on the command line is meant).
class BatchMessages : public batch::MessageCall {
 public:
  explicit BatchMessages(std::ostream& err) : err_(err) {}
  int RichMessageBox(const std::string& text, const std::string& caption,
                     unsigned style) override;

 private:
  std::ostream& err_;
};

// Always the folder of the command line.
class BatchFolder : public batch::FolderChooser {
 public:
  explicit BatchFolder(std::string folder) : folder_(std::move(folder)) {}
  std::string ChooseFolder(const std::string&) override { return folder_; }

 private:
  std::string folder_;
};

// Nothing to tidy on a command line: the timer never ticks.
class BatchTimer : public batch::ViewTimer {
 public:
  int StartTimer(int id, int) override { return id; }
  void StopTimer(int) override {}
};

}  // namespace drelin::cli
