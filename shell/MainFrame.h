// CMainFrame: the program's one top-level window. It holds the main view,
// the menu bar drawn in the flat menu style with an icon beside each item,
// the status bar (the message pane showing the highlighted item's prompt,
// else "Ready", and the CAP, NUM and SCRL indicators), the window icon, a
// smallest size of 712 x 600 for the area inside the window's frame, and
// the file-name prefix in force while the program runs ("Rep" at start,
// never stored; the view and the Settings dialog reach it as its FilePrefix).
//
// Closing the window, by the window manager or by File > Exit, runs the
// close flow: a minimised window comes back first; a running repair refuses
// it; the view may refuse it (unsaved results, a failed save); then "Do you
// really want to exit ?" and on Yes the process ends itself with status 0.
#pragma once

#include <QMainWindow>

#include <memory>
#include <string>

#include "FileIo.h"
#include "FilePrefix.h"
#include "LockIndicators.h"
#include "MenuImageList.h"
#include "RepairCommands.h"

class QCloseEvent;

namespace drelin {

class CCorvantilexView;
class CommandRouter;
class Launches;

class CMainFrame : public QMainWindow, public batch::FilePrefix {
  Q_OBJECT

 public:
  struct Options {
    // The folder of the help page and the updater; empty: the program's own.
    QString startFolder;
    // The view's file layer (null: the system's) and work folder (empty:
    // the process's).
    FileIo* io = nullptr;
    batch::WorkFolderSource workFolder;
    // Where the lock indicators come from; empty: the X server.
    CLockIndicators::Reader keyLocks;
  };

  CMainFrame();
  explicit CMainFrame(Options options);
  ~CMainFrame() override;

  CCorvantilexView* view() const { return view_; }
  CommandRouter& router();
  CLockIndicators& indicators() { return *indicators_; }
  const Launches& launches() const { return *launches_; }
  const std::shared_ptr<const MenuImageList>& menuImages() const { return menuImages_; }

  // The caption: `documentTitle`, " - ", the frame's title.
  void OnUpdateFrameTitle(const QString& documentTitle);
  const QString& frameTitle() const { return m_strTitle; }

  // The close flow's refusal while a repair runs: true after saying so.
  bool RefusedWhileRepairing();

  // batch::FilePrefix.
  std::string Prefix() const override { return m_strPrefix; }
  void SetPrefix(const std::string& prefix) override { m_strPrefix = prefix; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void CreateStatusBar(CLockIndicators::Reader keyLocks);
  void CreateMenus();
  // The close flow; true only when the process should have ended but did
  // not, so that the window closes the ordinary way.
  bool CloseFlow();
  void ShowIdleText(const QString& message);

  std::string m_strPrefix;
  QString m_strTitle;
  CCorvantilexView* view_ = nullptr;
  CLockIndicators* indicators_ = nullptr;
  std::shared_ptr<const MenuImageList> menuImages_;
  std::unique_ptr<Launches> launches_;
};

}  // namespace drelin
