// RepairWorker: one run of the repair worker. On its own thread it takes the
// rows of the status list one by one, repairs each source into its working
// file, writes the row's status ("Progress", then "Done" or "Failed") and
// appends the file's block to the progress log. It stops after the file in
// hand when a stop is requested, and clears g_bRepairing as its last act.
// It reaches the view only through the RepairView operations marked worker.
#pragma once

#include <string>

#include "DbfRepairEngine.h"
#include "FileIo.h"
#include "RepairView.h"
#include "WorkingFileNamer.h"

namespace drelin::batch {

class RepairWorker {
 public:
  // Working files go into `folder` (ending with "/").
  RepairWorker(RepairView& view, const std::string& folder, FileIo& io);

  // The thread's body: the whole run. Returns 1.
  int Run();

 private:
  int RunRows();
  // Repairs the source of `row` into its working file and leaves "Done" or
  // "Failed" in g_strLastResult; never throws.
  void RepairOneFile(const std::string& source, int row);
  // Clears both flags, g_bRepairing last.
  static void EndRun();

  RepairView& view_;
  FileIo& io_;
  WorkingFileNamer namer_;
  DbfRepairEngine engine_;
};

}  // namespace drelin::batch
