// FrameHarness: the program started as the desktop starts it (the
// application object's InitInstance) on the offscreen screen, with folders
// of its own (start folder, sources, working files, a save folder), lock
// indicators it sets itself, the command line's reports and the process's
// exit recorded instead of carried out, and the messages, dialogs and
// choosers answered through the seams.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QRadioButton>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "CorvantilexApp.h"
#include "CorvantilexView.h"
#include "FileListCtrl.h"
#include "MainFrame.h"
#include "MessageBoxTestSeam.h"
#include "ModalSeam.h"
#include "ProcessExit.h"
#include "RepairFlags.h"
#include "ShellTestUtil.h"
#include "StartupSplash.h"
#include "StatusListCtrl.h"
#include "TempDir.h"

namespace drelin::testing {

using Paths = std::vector<std::string>;

inline std::string SamplePath(const std::string& name) { return std::string(DRELIN_SAMPLES_DIR) + "/" + name; }

// Handles events (a worker's calls among them) until `done` holds.
inline void RunUntil(const std::function<bool()>& done) {
  while (!done()) {
    QApplication::processEvents(QEventLoop::AllEvents);
    QThread::yieldCurrentThread();
  }
}

// Makes `window` the active window, which shortcuts need.
inline void Activate(QWidget& window) {
  window.activateWindow();
  RunUntil([&window] { return QGuiApplication::focusWindow() == window.windowHandle(); });
}

// The texts of the messages shown so far, in order.
inline std::vector<QString> Texts(const ScopedMessageBoxAnswers& answers) {
  std::vector<QString> texts;
  for (const ShownMessageBox& box : answers.shown()) texts.push_back(box.text);
  return texts;
}

class FrameHarness : public ::testing::Test {
 protected:
  void TearDown() override {
    batch::g_bRepairing = false;
    app.reset();
    CStartupSplash::EnableSplash(false);
    delete CStartupSplash::Current();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QDir::setCurrent(startCurrent);
  }

  // Starts the program with `arguments` ("--no-splash" unless `splash`);
  // false for a start that shows no window.
  bool Start(Paths arguments = {}, bool splash = false) {
    if (!splash) arguments.insert(arguments.begin(), "--no-splash");
    CCorvantilexApp::Options options;
    options.frame.startFolder = QString::fromStdString(start.path().string());
    options.frame.workFolder = [this] { return work.path().string() + "/"; };
    options.frame.keyLocks = [this] { return locks; };
    options.currentFolder = sources.path().string();
    options.report = [this](const std::string& line) { reports.push_back(line); };
    app = std::make_unique<CCorvantilexApp>(std::move(options));
    return app->InitInstance(arguments);
  }

  CMainFrame& frame() { return *app->frame(); }
  CCorvantilexView& view() { return *frame().view(); }
  CFileListCtrl& files() { return *view().fileList(); }

  std::string Source(const std::string& name, const Bytes& bytes = Bytes(40, ' ')) {
    WriteFile(sources / name, bytes);
    return sources / name;
  }
  std::string SampleCopy(const std::string& name) { return Source(name, ReadFile(SamplePath(name))); }

  // Repairs `paths` in Normal mode through the view's commands.
  void Repair(const Paths& paths) {
    {
      ScopedModalAnswers answers({}, FailTest);
      answers.QueueFiles(paths);
      frame().router().Dispatch(61464);
    }
    {
      ScopedModalAnswers answers([](QDialog& dialog) {
        dialog.accept();
        return int(QDialog::Accepted);
      }, FailTest);
      frame().router().Dispatch(61452);
    }
    RunUntil([] { return !batch::g_bRepairing; });
    view().commands().WaitForWorker();
    QApplication::processEvents();
  }

  TempDir start, sources, work, saved;
  KeyLocks locks;
  std::vector<std::string> reports;
  std::vector<int> exits;
  ScopedProcessExit exitCall{[this](int status) { exits.push_back(status); }};
  std::unique_ptr<CCorvantilexApp> app;
  QString startCurrent = QDir::currentPath();
};

}  // namespace drelin::testing
