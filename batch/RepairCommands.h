// RepairCommands: the repair page's commands and the run they drive: Next and
// Repair start a run (pre-repair check, pages, queue, worker thread), Stop asks
// the worker to end after the file in hand, the stop timer tidies up once it
// has, Back returns to the file page, and Save, the leave check and the close
// check save or discard the run's results. All of it runs on the
// user-interface thread except the worker. No command throws: a file error
// while saving or discarding is shown through the message call, the files
// not yet moved or removed stay in the work folder, and the run stays unsaved.
#pragma once

#include <functional>
#include <string>
#include <thread>

#include "FileIo.h"
#include "FolderChooser.h"
#include "MessageCall.h"
#include "RepairSaver.h"
#include "RepairView.h"
#include "ViewTimer.h"

namespace drelin::batch {

// The folder of this process's working files, ending with "/"; a FileError
// when it cannot be had (platform::ProcessWorkFolder in the programs).
using WorkFolderSource = std::function<std::string()>;

class RepairCommands {
 public:
  RepairCommands(RepairView& view, MessageCall& messages, FolderChooser& folders,
                 ViewTimer& timer, PrefixSource prefix, WorkFolderSource workFolder,
                 FileIo& io = SystemFileIo());
  // Waits for a worker that is still running. Destroy only when no run is
  // in progress: the worker may be waiting for the user-interface thread.
  ~RepairCommands();
  RepairCommands(const RepairCommands&) = delete;
  RepairCommands& operator=(const RepairCommands&) = delete;

  // The command router's way in: runs the command of a button, menu item or
  // shortcut id (res::kIdNext, kIdRepairFile, kIdStop, kIdBack, kIdSave);
  // false for any other id.
  bool OnCommand(int id);

  void OnNext();    // on the file page a run starts; on the repair page, the preview
  void OnRepair();  // on the file page a run starts
  void OnStop();
  void OnBack();
  void OnTimer();   // every tick of the view's timer, whatever its id
  void OnSave();

  // The leave check: true when the repair page may be left, after saving or
  // discarding unsaved results as the user chooses; false when the user
  // cancels or the save or discard fails.
  bool ConfirmLeave();
  // Whether the main window may close (it asks only when no run is in
  // progress); agreeing also returns the view to the file page.
  bool CanClose();

  // Waits until the worker of the last run has ended (the command line
  // and tests; the desktop program never blocks on it).
  void WaitForWorker();

  // Saving and discarding for the current work folder.
  RepairSaver Saver();

 private:
  void StartRun();
  // Hides the repair page, shows the file page, empties the status list and
  // stops the stop timer.
  void ReturnToFilePage();
  // Save or discard every "Done" row's working files; false, after telling
  // the user, when a file error ended it.
  bool SaveInto(const std::string& folder);
  bool DiscardWorkingFiles();
  void ReportStopped(const char* opening, const std::exception& error, const char* closing);

  RepairView& view_;
  MessageCall& messages_;
  FolderChooser& folders_;
  ViewTimer& timer_;
  PrefixSource prefix_;
  WorkFolderSource workFolder_;
  FileIo& io_;
  std::thread worker_;
};

}  // namespace drelin::batch
