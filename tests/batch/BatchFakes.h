// Windowless stand-ins for the view, the message box, the folder chooser and
// the timer, for driving the repair batch from tests. The view records what
// the batch did to it and can hold the worker at a chosen call until the
// test lets it go on, so a test can act at an exact moment of a run without
// waiting on a clock.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "BatchTexts.h"
#include "FolderChooser.h"
#include "MessageCall.h"
#include "RepairView.h"
#include "ViewTimer.h"

namespace drelin::testing {

class FakeView : public batch::RepairView {
 private:
  template <typename F>
  auto Locked(F body) const {
    const std::lock_guard<std::mutex> hold(lock_);
    return body();
  }
  // Carries a call out under the lock, records it, and holds the caller
  // there if the test asked to.
  template <typename F>
  auto Call(const std::string& name, F body) {
    std::unique_lock<std::mutex> hold(lock_);
    auto result = body();
    calls_.push_back(name);
    if (pauseWhen_ && pauseWhen_(name)) {
      pauseWhen_ = nullptr;
      paused_ = true;
      changed_.notify_all();
      changed_.wait(hold, [this] { return !paused_; });
    }
    return result;
  }

 public:
  struct FileRow {
    std::string path;
    bool checked = true;
  };

  // The file list, and the Repair Mode dialog's answer (user-interface
  // thread only).
  std::vector<FileRow> files;
  bool modeDialogAccepted = true;
  bool chooseNormalMode = true;

  // Holds the worker right after the call whose description `when` accepts
  // ("SetRowStatus 1 Progress", "SetLogText", ...) until Resume.
  void PauseAfter(std::function<bool(const std::string&)> when) {
    const std::lock_guard<std::mutex> hold(lock_);
    pauseWhen_ = std::move(when);
  }
  void WaitUntilPaused() {
    std::unique_lock<std::mutex> hold(lock_);
    changed_.wait(hold, [this] { return paused_; });
  }
  void Resume() {
    const std::lock_guard<std::mutex> hold(lock_);
    paused_ = false;
    changed_.notify_all();
  }

  // What the batch left, read after the worker has ended or while it waits.
  std::string log() const { return Locked([this] { return log_; }); }
  std::vector<std::string> logTexts() const { return Locked([this] { return logTexts_; }); }
  std::vector<int> scrolls() const { return Locked([this] { return scrolls_; }); }
  std::vector<std::string> calls() const { return Locked([this] { return calls_; }); }
  std::vector<std::string> statuses() const {
    return Locked([this] {
      std::vector<std::string> words;
      for (const auto& row : rows_) words.push_back(row[1]);
      return words;
    });
  }
  size_t rowCount() const { return Locked([this] { return rows_.size(); }); }
  int hint() const { return Locked([this] { return hint_; }); }
  bool stopVisible() const { return Locked([this] { return stopVisible_; }); }
  bool filePageVisible() const { return Locked([this] { return filePage_; }); }
  bool repairPageVisible() const { return Locked([this] { return repairPage_; }); }
  std::map<int, std::string> failures() const { return Locked([this] { return failures_; }); }
  std::vector<std::string> savingTexts() const { return Locked([this] { return savingTexts_; }); }
  bool savingWindowOpen() const { return Locked([this] { return savingOpen_; }); }
  std::vector<std::pair<std::string, std::string>> saved() const {
    return Locked([this] { return saved_; });
  }

  // Sets the status list directly, for saving tests without a run.
  void SetRows(const std::vector<std::pair<std::string, std::string>>& pathsAndWords) {
    const std::lock_guard<std::mutex> hold(lock_);
    rows_.clear();
    for (const auto& [path, word] : pathsAndWords) rows_.push_back({path, word, "Normal Repair Mode"});
  }

  std::string GetLogText() override {
    return Call("GetLogText", [this] { return log_; });
  }
  void SetLogText(const std::string& text) override {
    Call("SetLogText", [&] {
      log_ = text;
      logTexts_.push_back(text);
      return 0;
    });
  }
  void ScrollLog(int lines) override {
    Call("ScrollLog", [&] {
      scrolls_.push_back(lines);
      return 0;
    });
  }
  int GetLogLineCount() override {
    return Call("GetLogLineCount", [this] {
      int lines = 1;
      for (size_t at = log_.find("\r\n"); at != std::string::npos; at = log_.find("\r\n", at + 2)) {
        ++lines;
      }
      return lines;
    });
  }
  int GetRowCount() override {
    return Call("GetRowCount", [this] { return static_cast<int>(rows_.size()); });
  }
  std::string GetRowText(int row, int column) override {
    return Call("GetRowText", [&] { return rows_.at(row).at(column); });
  }
  void SetRowStatus(int row, const std::string& word) override {
    Call("SetRowStatus " + std::to_string(row) + " " + word, [&] {
      rows_.at(row).at(1) = word;
      return 0;
    });
  }
  void ClearRunRows() override {
    Call("ClearRunRows", [this] {
      rows_.clear();
      return 0;
    });
  }
  void SetHint(int index) override {
    Call("SetHint " + std::to_string(index), [&] { return hint_ = index; });
  }
  void HideStopButton() override {
    Call("HideStopButton", [this] { return stopVisible_ = false; });
  }
  void ShowFilePage() override {
    Call("ShowFilePage", [this] {
      hint_ = 0;
      return filePage_ = true;
    });
  }
  void HideFilePage() override {
    Call("HideFilePage", [this] { return filePage_ = false; });
  }
  void ShowRepairPage() override {
    Call("ShowRepairPage", [this] {
      hint_ = 1;
      stopVisible_ = true;
      return repairPage_ = true;
    });
  }
  void HideRepairPage() override {
    Call("HideRepairPage", [this] { return repairPage_ = false; });
  }
  bool CheckBeforeRepair() override {
    if (files.empty() || !modeDialogAccepted) return false;
    m_bNormalMode = chooseNormalMode;
    return true;
  }
  void QueueCheckedRows() override {
    Call("QueueCheckedRows", [this] {
      rows_.clear();
      const std::string mode = m_bNormalMode ? batch::kNormalModeText : batch::kAdvanceModeText;
      for (const auto& file : files) {
        if (file.checked) rows_.push_back({file.path, batch::kStatusPending, mode});
      }
      return 0;
    });
  }
  void ClearFileList() override { files.clear(); }
  void ShowPreview() override { Call("ShowPreview", [] { return 0; }); }
  void OpenSavingWindow() override {
    Call("OpenSavingWindow", [this] { return savingOpen_ = true; });
  }
  void SetSavingText(const std::string& text) override {
    Call("SetSavingText", [&] {
      savingTexts_.push_back(text);
      return 0;
    });
  }
  void CloseSavingWindow() override {
    Call("CloseSavingWindow", [this] { return savingOpen_ = false; });
  }
  void RowFailed(int row, const std::string& reason) override {
    Call("RowFailed", [&] { return failures_[row] = reason; });
  }
  void FileSaved(int, const std::string& source, const std::string& destination) override {
    Call("FileSaved", [&] {
      saved_.emplace_back(source, destination);
      return 0;
    });
  }

 private:
  mutable std::mutex lock_;
  std::condition_variable changed_;
  std::function<bool(const std::string&)> pauseWhen_;
  bool paused_ = false;

  std::string log_;
  std::vector<std::string> logTexts_;
  std::vector<int> scrolls_;
  std::vector<std::string> calls_;
  std::vector<std::vector<std::string>> rows_;
  int hint_ = 0;
  bool stopVisible_ = false;
  bool filePage_ = true;
  bool repairPage_ = false;
  std::map<int, std::string> failures_;
  std::vector<std::string> savingTexts_;
  bool savingOpen_ = false;
  std::vector<std::pair<std::string, std::string>> saved_;
};

class FakeMessages : public batch::MessageCall {
 public:
  struct Shown {
    std::string text;
    std::string caption;
    unsigned style;
  };

  // Answers in order; once they run out, OK for a message and Cancel for a
  // question.
  std::deque<int> answers;
  // Runs while a message is up, before it is answered.
  std::function<void()> whileShown;
  std::vector<Shown> shown;

  int RichMessageBox(const std::string& text, const std::string& caption,
                     unsigned style) override {
    shown.push_back({text, caption, style});
    if (whileShown) whileShown();
    if (answers.empty()) {
      return (style & 0x0F) == 0 ? batch::kIdOk : batch::kIdCancel;
    }
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

class FakeFolderChooser : public batch::FolderChooser {
 public:
  std::string answer;
  std::vector<std::string> titles;

  std::string ChooseFolder(const std::string& title) override {
    titles.push_back(title);
    return answer;
  }
};

class FakeTimer : public batch::ViewTimer {
 public:
  std::set<int> running;
  std::vector<std::pair<int, int>> starts;

  int StartTimer(int id, int periodMs) override {
    starts.emplace_back(id, periodMs);
    running.insert(id);
    return id;
  }
  void StopTimer(int id) override { running.erase(id); }
};

}  // namespace drelin::testing
