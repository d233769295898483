// ViewHarness: a main view on the offscreen screen with folders of its own
// (sources, working files, a save folder), its messages, dialogs and
// choosers answered through the seams, and helpers to add files and to let
// a run go on while the test waits for a condition (the worker's calls are
// carried out by this thread's event loop).
#pragma once

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QRadioButton>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "CorvantilexView.h"
#include "FileListCtrl.h"
#include "MessageBoxTestSeam.h"
#include "ModalSeam.h"
#include "RepairFlags.h"
#include "StatusListCtrl.h"
#include "TempDir.h"

namespace drelin::testing {

using Paths = std::vector<std::string>;

inline void FailTest(const QString& message) { ADD_FAILURE() << message.toStdString(); }

// Answers the Repair Mode dialog with the mode of that text, or cancels it.
inline std::function<int(QDialog&)> ChooseMode(const char* modeText) {
  return [modeText](QDialog& dialog) {
    EXPECT_EQ(dialog.objectName(), "RepairMode");
    if (modeText == nullptr) {
      dialog.reject();
      return int(QDialog::Rejected);
    }
    for (QRadioButton* choice : dialog.findChildren<QRadioButton*>()) {
      if (choice->text() == QString::fromLatin1(modeText)) choice->setChecked(true);
    }
    dialog.accept();
    return int(QDialog::Accepted);
  };
}

// Handles events (the worker's calls among them) until `done` holds; no
// timing: the loop runs as long as it takes.
inline void RunUntil(const std::function<bool()>& done) {
  while (!done()) {
    QApplication::processEvents(QEventLoop::AllEvents);
    QThread::yieldCurrentThread();
  }
}

inline std::string SamplePath(const std::string& name) { return std::string(DRELIN_SAMPLES_DIR) + "/" + name; }

class ViewHarness : public ::testing::Test {
 protected:
  void SetUp() override { MakeView(); }
  void TearDown() override { view.reset(); }

  void MakeView(FileIo* io = nullptr) {
    CCorvantilexView::Options options;
    options.io = io;
    options.workFolder = [this] { return work.path().string() + "/"; };
    view = std::make_unique<CCorvantilexView>(std::move(options));
    view->resize(800, 600);
    view->show();
  }

  CFileListCtrl& files() { return *view->fileList(); }
  CStatusListCtrl& statuses() { return *view->statusList(); }

  // Writes `name` into the sources folder with `bytes` and returns its path.
  std::string Source(const std::string& name, const Bytes& bytes = Bytes(40, ' ')) {
    WriteFile(sources / name, bytes);
    return sources / name;
  }
  std::string SampleCopy(const std::string& name) { return Source(name, ReadFile(SamplePath(name))); }

  // Adds `paths` through the Add files command and its open dialog.
  void AddThroughDialog(const Paths& paths) {
    ScopedModalAnswers answers({}, FailTest);
    answers.QueueFiles(paths);
    view->router().Dispatch(61464);
  }

  // Starts a run with Next, choosing `modeText` in Repair Mode.
  void StartRun(const char* modeText) {
    ScopedModalAnswers answers(ChooseMode(modeText), FailTest);
    view->router().Dispatch(61452);
  }
  void FinishRun() {
    RunUntil([] { return !batch::g_bRepairing; });
    view->commands().WaitForWorker();
    QApplication::processEvents();
  }

  std::vector<std::string> Statuses() {
    std::vector<std::string> words;
    for (int row = 0; row < statuses().RowCount(); ++row) words.push_back(statuses().RowText(row, 1));
    return words;
  }

  TempDir sources, work, saved;
  std::unique_ptr<CCorvantilexView> view;
};

}  // namespace drelin::testing
