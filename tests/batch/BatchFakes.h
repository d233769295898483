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
 public:
  struct Screen;

 private:
  // Carries a call out under the lock, records it, and holds the caller
  // there if the test asked to.
  template <typename F>
  auto Call(const std::string& name, F body) {
    std::unique_lock<std::mutex> hold(lock_);
    struct Recorded {
      FakeView& view;
      std::unique_lock<std::mutex>& hold;
      const std::string& name;
      ~Recorded() {
        view.screen_.calls.push_back(name);
        if (!view.pauseWhen_ || !view.pauseWhen_(name)) return;
        view.pauseWhen_ = nullptr;
        view.paused_ = true;
        view.changed_.notify_all();
        view.changed_.wait(hold, [this] { return !view.paused_; });
      }
    } recorded{*this, hold, name};
    return body(screen_);
  }

 public:
  // What the user would see, and every call made, in order.
  struct Screen {
    std::string log;
    std::vector<std::string> logTexts;  // every text the log was given
    std::vector<int> scrolls;
    std::vector<std::string> calls;
    std::vector<std::string> paths, statuses;
    int hint = 0;
    bool stopVisible = false, filePage = true, repairPage = false, savingOpen = false;
    std::map<int, std::string> failures;
    std::vector<std::string> savingTexts;
    std::vector<std::string> saved;  // destinations
  };
  struct FileRow {
    std::string path;
    bool checked = true;
  };

  // The file list and the Repair Mode dialog's answer.
  std::vector<FileRow> files;
  bool modeDialogAccepted = true;
  bool chooseNormalMode = true;

  Screen screen() const {
    const std::lock_guard<std::mutex> hold(lock_);
    return screen_;
  }
  // The status list, set directly for saving tests without a run.
  void SetRows(const std::vector<std::pair<std::string, std::string>>& pathsAndWords) {
    const std::lock_guard<std::mutex> hold(lock_);
    screen_.paths.clear();
    screen_.statuses.clear();
    for (const auto& [path, word] : pathsAndWords) {
      screen_.paths.push_back(path);
      screen_.statuses.push_back(word);
    }
  }

  // Holds the worker right after the call whose description `when` accepts
  // ("SetRowStatus 1 Progress", ...) until Resume.
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

  std::string GetLogText() override {
    return Call("GetLogText", [](Screen& s) { return s.log; });
  }
  void SetLogText(const std::string& text) override {
    Call("SetLogText", [&](Screen& s) { s.logTexts.push_back(s.log = text); });
  }
  void ScrollLog(int lines) override {
    Call("ScrollLog", [&](Screen& s) { s.scrolls.push_back(lines); });
  }
  int GetLogLineCount() override {
    return Call("GetLogLineCount", [](Screen& s) {
      int lines = 1;
      for (size_t at = s.log.find("\r\n"); at != std::string::npos; at = s.log.find("\r\n", at + 2)) {
        ++lines;
      }
      return lines;
    });
  }
  int GetRowCount() override {
    return Call("GetRowCount", [](Screen& s) { return static_cast<int>(s.paths.size()); });
  }
  std::string GetRowText(int row, int column) override {
    return Call("GetRowText", [&](Screen& s) {
      return column == 0 ? s.paths.at(row) : column == 1 ? s.statuses.at(row) : std::string();
    });
  }
  void SetRowStatus(int row, const std::string& word) override {
    Call("SetRowStatus " + std::to_string(row) + " " + word,
         [&](Screen& s) { s.statuses.at(row) = word; });
  }
  void ClearRunRows() override {
    Call("ClearRunRows", [](Screen& s) { s.paths.clear(), s.statuses.clear(); });
  }
  void SetHint(int index) override {
    Call("SetHint", [&](Screen& s) { s.hint = index; });
  }
  void HideStopButton() override {
    Call("HideStopButton", [](Screen& s) { s.stopVisible = false; });
  }
  void ShowFilePage() override {
    Call("ShowFilePage", [](Screen& s) { s.filePage = true, s.hint = 0; });
  }
  void HideFilePage() override {
    Call("HideFilePage", [](Screen& s) { s.filePage = false; });
  }
  void ShowRepairPage() override {
    Call("ShowRepairPage", [](Screen& s) { s.repairPage = s.stopVisible = true, s.hint = 1; });
  }
  void HideRepairPage() override {
    Call("HideRepairPage", [](Screen& s) { s.repairPage = false; });
  }
  bool CheckBeforeRepair() override {
    if (files.empty() || !modeDialogAccepted) return false;
    m_bNormalMode = chooseNormalMode;
    return true;
  }
  void QueueCheckedRows() override {
    std::vector<std::pair<std::string, std::string>> rows;
    for (const auto& file : files) {
      if (file.checked) rows.emplace_back(file.path, batch::kStatusPending);
    }
    SetRows(rows);
  }
  void ClearFileList() override { files.clear(); }
  void ShowPreview() override {
    Call("ShowPreview", [](Screen&) {});
  }
  void OpenSavingWindow() override {
    Call("OpenSavingWindow", [](Screen& s) { s.savingOpen = true; });
  }
  void SetSavingText(const std::string& text) override {
    Call("SetSavingText", [&](Screen& s) { s.savingTexts.push_back(text); });
  }
  void CloseSavingWindow() override {
    Call("CloseSavingWindow", [](Screen& s) { s.savingOpen = false; });
  }
  void RowFailed(int row, const std::string& reason) override {
    Call("RowFailed", [&](Screen& s) { s.failures[row] = reason; });
  }
  void FileSaved(int, const std::string&, const std::string& destination) override {
    Call("FileSaved", [&](Screen& s) { s.saved.push_back(destination); });
  }

 private:
  mutable std::mutex lock_;
  std::condition_variable changed_;
  std::function<bool(const std::string&)> pauseWhen_;
  bool paused_ = false;
  Screen screen_;
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
    if (answers.empty()) return (style & 0x0F) == 0 ? batch::kIdOk : batch::kIdCancel;
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
