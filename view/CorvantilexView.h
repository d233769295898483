// CCorvantilexView: the main view, a two-page wizard and the whole working
// surface of the program. The file page gathers tables in the file list; the
// repair page shows the run in the progress log and the status list. The
// view creates, places and paints every control around its skin, routes
// every command of its buttons, menu items and shortcuts through one command
// router, and is the batch's RepairView: the repair worker's calls from its
// own thread are carried out on the user-interface thread while it waits.
//
// Messages go through the rich message box; dialogs and the folder and file
// choosers through ExecModal and the choosers of the modal seam.
#pragma once

#include <QMetaObject>
#include <QPixmap>
#include <QPointer>
#include <QThread>
#include <QWidget>

#include <map>
#include <memory>
#include <string>
#include <type_traits>

#include "CommandRouter.h"
#include "FilePrefix.h"
#include "FramePacer.h"
#include "LogEdit.h"
#include "FileIo.h"
#include "FolderChooser.h"
#include "RepairCommands.h"
#include "RepairView.h"
#include "RichMessageCall.h"
#include "ShellSteps.h"
#include "ViewTimers.h"
#include "WizardSkin.h"

class QCheckBox;
class QPrinter;

namespace drelin {

class CFileListCtrl;
class CHintLabel;
class CLogoButton;
class CSkinButton;
class CStatusListCtrl;
class ViewPrinter;

class CCorvantilexView : public QWidget, public batch::RepairView {
  Q_OBJECT

 public:
  struct Options {
    // The frame's file-name prefix; null: the view keeps its own ("Rep").
    batch::FilePrefix* prefix = nullptr;
    // The file layer of the runs; null: the system's.
    FileIo* io = nullptr;
    // The folder of working files; empty: the process's work folder.
    batch::WorkFolderSource workFolder;
  };

  explicit CCorvantilexView(QWidget* parent = nullptr);
  explicit CCorvantilexView(Options options, QWidget* parent = nullptr);
  // Ends a run still going on (it stops after the file in hand) first.
  ~CCorvantilexView() override;

  CommandRouter& router() { return router_; }
  batch::RepairCommands& commands() { return *commands_; }
  ViewTimers& timers() { return *timers_; }
  batch::FilePrefix& prefix() { return *prefix_; }
  QPrinter& printer();
  const FramePacer& framePacer() const { return *framePacer_; }

  CFileListCtrl* fileList() const { return fileList_; }
  CStatusListCtrl* statusList() const { return statusList_; }
  QCheckBox* checkAllBox() const { return checkAll_; }
  CLogEdit* logBox() const { return logBox_; }
  CHintLabel* hintLabel() const { return hint_; }
  CLogoButton* homePageButton() const { return homePage_; }
  CSkinButton* button(int id) const;
  // The folder of the companion files (background pictures, help, updater).
  const QString& startFolder() const { return startFolder_; }
  // The log exactly as the worker wrote it, a transient line included.
  const std::string& logText() const { return log_; }

  // The main frame's question before it closes (no run in progress).
  bool CanClose();

  // batch::RepairView.
  void ClearLog() override;
  void AppendLog(const std::string& text) override;
  void ShowTransientLine(const std::string& line) override;
  void ScrollLog(int lines) override;
  int GetLogLineCount() override;
  int GetRowCount() override;
  std::string GetRowText(int row, int column) override;
  void SetRowStatus(int row, const std::string& word) override;
  void ClearRunRows() override;
  void SetHint(int index) override;
  void HideStopButton() override;
  void ShowFilePage() override;
  void HideFilePage() override;
  void ShowRepairPage() override;
  void HideRepairPage() override;
  bool CheckBeforeRepair() override;
  void QueueCheckedRows() override;
  void ClearFileList() override;
  void ShowPreview() override;
  void OpenSavingWindow() override;
  void SetSavingText(const std::string& text) override;
  void CloseSavingWindow() override;
  void RowFailed(int row, const std::string& reason) override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  class SeamFolderChooser : public batch::FolderChooser {
   public:
    explicit SeamFolderChooser(QWidget* owner) : owner_(owner) {}
    std::string ChooseFolder(const std::string& title) override;

   private:
    QWidget* owner_;
  };

  void CreateStatusImages();
  void CreateButtons();
  void SetUpButtons();
  void CreateFileList();
  void CreateLogAndHint();
  void CreateStatusList();
  void ApplyControlColors();
  void Layout(int width, int height);
  void RegisterCommands();
  void RegisterFileCommands();

  // The file page's commands.
  void AddFiles();
  void RemoveSelected();
  void RemoveAll();
  void CheckAll();
  void RunSettings();

  // Runs `call` on the user-interface thread: at once there, otherwise by a
  // blocking queued call while the calling thread waits.
  template <typename Call>
  auto OnUiThread(Call call) -> decltype(call()) {
    if (QThread::currentThread() == thread()) return call();
    if constexpr (std::is_void_v<decltype(call())>) {
      QMetaObject::invokeMethod(this, std::move(call), Qt::BlockingQueuedConnection);
    } else {
      decltype(call()) result{};
      QMetaObject::invokeMethod(this, std::move(call), Qt::BlockingQueuedConnection, &result);
      return result;
    }
  }

  void RemoveTransientLine();

  std::unique_ptr<batch::FilePrefix> ownPrefix_;
  batch::FilePrefix* prefix_ = nullptr;
  FileIo& io_;
  batch::WorkFolderSource workFolder_;
  CommandRouter router_;
  RichMessageCall messages_{this};
  SeamFolderChooser folders_{this};
  ViewTimers* timers_ = nullptr;
  std::unique_ptr<batch::RepairCommands> commands_;
  std::unique_ptr<ViewPrinter> printer_;
  SavingWindow saving_;
  FramePacer* framePacer_ = nullptr;
  std::unique_ptr<WizardSkin> skin_;
  qreal skinRatio_ = 0;
  QPixmap skinPicture_;

  std::vector<QIcon> statusImages_;
  std::map<int, CSkinButton*> buttons_;
  CLogoButton* homePage_ = nullptr;
  CFileListCtrl* fileList_ = nullptr;
  QCheckBox* checkAll_ = nullptr;
  CLogEdit* logBox_ = nullptr;
  CHintLabel* hint_ = nullptr;
  CStatusListCtrl* statusList_ = nullptr;
  QString startFolder_;
  QFont hintFont_, buttonFont_;

  // The log as written; committedLength_ is its length without the
  // transient line, committedMark_ where the transient line begins in the box.
  std::string log_;
  size_t committedLength_ = 0;
  CLogEdit::Mark committedMark_;
};

}  // namespace drelin
