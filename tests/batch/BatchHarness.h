// BatchHarness: the repair batch wired to windowless stand-ins and folders of
// its own, for real repairs of real files on a real worker thread; the view
// can hold the worker after a status change, to act at an exact moment.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>

#include "DbfBuilder.h"
#include "FileError.h"
#include "ReferenceModel.h"
#include "RepairCommands.h"
#include "RepairFlags.h"
#include "SimulatedIo.h"
#include "TempDir.h"

namespace drelin::testing {

using batch::kIdCancel, batch::kIdNo, batch::kIdYes;
using Words = std::vector<std::string>;
using Shown = std::vector<std::pair<std::string, unsigned>>;  // text, style

// A small table whose header lies about its record count.
inline Bytes DamagedTable(const std::string& value = "alpha") {
  Bytes bytes = DbfBuilder().Field("NAME", 'C', 12).Field("QTY", 'N', 5)
                    .Record({value, "1"}).Record({value + "2", "22"}).Build();
  bytes[4] = 0;
  return bytes;
}

// Someone else creates `taken` just before the rename onto it after `skip`.
struct RacingIo : SimulatedIo {
  int Rename(const char* from, const char* to, unsigned flags) override {
    if (to == taken && skip-- == 0) WriteFile(taken, {'o', 'l', 'd'});
    return SimulatedIo::Rename(from, to, flags);
  }
  std::string taken;
  int skip = 0;
};

// What the user would see of the view.
struct Screen {
  std::string log;  // as shown, the transient line too
  Words logTexts;  // the log as shown after each change
  size_t logHanded = 0;  // bytes the view was given for the log
  Words statusChanges;  // "row word", in order
  Words paths, statuses;
  int hint = 0;
  bool stopVisible = false, filePage = true, repairPage = false, savingOpen = false;
  Words savingTexts, saved;  // the Saving window's lines; destinations
};

class FakeView : public batch::RepairView {
  using Lock = std::lock_guard<std::mutex>;

 public:
  Words files;  // the file list, all checked; tests answer the mode dialog in m_bNormalMode

  Screen screen() { Lock l(m_); return s_; }
  void SetRows(const Words& paths, const Words& words) {
    Lock l(m_);
    s_.paths = paths, s_.statuses = words;
  }
  // Calls `go`, then waits until the worker is held right after SetRowStatus
  // gives "row word" (true; it stays there until Resume) or the run is over.
  bool HoldAfter(const std::string& rowAndWord, const std::function<void()>& go) {
    { Lock l(m_); pauseAfter_ = rowAndWord; }
    go();
    std::unique_lock<std::mutex> l(m_);
    while (!changed_.wait_for(l, std::chrono::milliseconds(5), [this] { return paused_; })) {
      if (!batch::g_bRepairing) return false;
    }
    return true;
  }
  void Resume() {
    Lock l(m_);
    paused_ = false;
    changed_.notify_all();
  }

  void ClearLog() override { Lock l(m_); committed_ = 0; ShowAfterLog(""); }
  void AppendLog(const std::string& t) override {
    Lock l(m_);
    ShowAfterLog(t);
    committed_ = s_.log.size();
  }
  void ShowTransientLine(const std::string& t) override { Lock l(m_); ShowAfterLog(t); }
  void ScrollLog(int) override {}
  int GetLogLineCount() override {
    Lock l(m_);
    return 1 + int(std::count(s_.log.begin(), s_.log.end(), '\n'));
  }
  int GetRowCount() override { Lock l(m_); return int(s_.paths.size()); }
  std::string GetRowText(int row, int column) override {
    Lock l(m_);
    return column == 0 ? s_.paths.at(row) : s_.statuses.at(row);
  }
  void SetRowStatus(int row, const std::string& word) override {
    std::unique_lock<std::mutex> l(m_);
    s_.statuses.at(row) = word;
    s_.statusChanges.push_back(std::to_string(row) + " " + word);
    if (s_.statusChanges.back() != pauseAfter_) return;
    pauseAfter_.clear();
    paused_ = true;
    changed_.notify_all();
    changed_.wait(l, [this] { return !paused_; });
  }
  void ClearRunRows() override { SetRows({}, {}); }
  void SetHint(int index) override { Lock l(m_); s_.hint = index; }
  void HideStopButton() override { Lock l(m_); s_.stopVisible = false; }
  void ShowFilePage() override { Lock l(m_); s_.filePage = true, s_.hint = 0; }
  void HideFilePage() override { Lock l(m_); s_.filePage = false; }
  void ShowRepairPage() override { Lock l(m_); s_.repairPage = s_.stopVisible = true, s_.hint = 1; }
  void HideRepairPage() override { Lock l(m_); s_.repairPage = false; }
  bool CheckBeforeRepair() override { return true; }
  void QueueCheckedRows() override { SetRows(files, Words(files.size(), "Pending")); }
  void ClearFileList() override { files.clear(); }
  void ShowPreview() override {}
  void OpenSavingWindow() override { Lock l(m_); s_.savingOpen = true; }
  void SetSavingText(const std::string& t) override { Lock l(m_); s_.savingTexts.push_back(t); }
  void CloseSavingWindow() override { Lock l(m_); s_.savingOpen = false; }
  void FileSaved(int, const std::string&, const std::string& to) override {
    Lock l(m_);
    s_.saved.push_back(to);
  }

 private:
  std::mutex m_;
  std::condition_variable changed_;
  // Shows `text` in place of the transient line.
  void ShowAfterLog(const std::string& text) {
    s_.log.replace(committed_, std::string::npos, text);
    s_.logTexts.push_back(s_.log);
    s_.logHanded += text.size();
  }

  std::string pauseAfter_;
  bool paused_ = false;
  size_t committed_ = 0;  // the log's length without the transient line
  Screen s_;
};

// The fixture also plays the user: messages, the folder chooser, the timers.
class BatchHarness : public ::testing::Test,
                     public batch::MessageCall,
                     public batch::FolderChooser,
                     public batch::ViewTimer {
 protected:
  void TearDown() override { view.Resume(); }  // a worker still held goes on to its end
  // Answers in order, then OK or Cancel; runs `whileShown` once, while up.
  int RichMessageBox(const std::string& text, const std::string& caption, unsigned style) override {
    EXPECT_EQ(caption, "Tarnova Drelin DBF");
    shown.emplace_back(text, style);
    if (whileShown) std::exchange(whileShown, nullptr)();
    if (answers.empty()) return (style & 0x0F) == 0 ? batch::kIdOk : kIdCancel;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::string ChooseFolder(const std::string& title) override {
    EXPECT_EQ(title, "Please select the path to Save the files");
    ++folderAsks;
    return folder;
  }
  int StartTimer(int id, int periodMs) override { timers[id] = periodMs; return id; }
  void StopTimer(int id) override { timers.erase(id); }

  std::string workFolder() const { return work.path().string() + "/"; }
  std::string WorkingPath(int row, const std::string& name, int part = 0) const {
    return workFolder() + std::to_string(row) + "ozn_aqf_xrj_196_temp_" +
           std::to_string(part + 1) + "_" + name;
  }
  // Writes a source table and puts it into the file list.
  std::string AddSource(const std::string& name, const Bytes& bytes) {
    WriteFile(sources / name, bytes);
    view.files.push_back(sources / name);
    return sources / name;
  }
  void RunToEnd() { commands.OnRepair(); commands.WaitForWorker(); }

  TempDir sources, work, destination;
  FakeView view;
  std::deque<int> answers;
  std::function<void()> whileShown;
  Shown shown;
  std::string folder = destination.path().string();  // the folder chosen
  int folderAsks = 0;
  std::map<int, int> timers;  // running: id, period
  std::string prefix = "Rep";
  batch::RepairCommands commands{view, *this, *this, *this, [this] { return prefix; },
                                 [this] { return workFolder(); }};
};

}  // namespace drelin::testing
