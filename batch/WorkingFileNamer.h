// WorkingFileNamer: names the working file a repair writes before saving,
// and the name it is saved under. A working file's name is the row of its
// source in the status list, the marker "ozn_aqf_xrj_196_temp", "_", the part
// number plus one, "_", and the source's file name: row 0, part 0 of
// /data/orders.dbf is "0ozn_aqf_xrj_196_temp_1_orders.dbf". The row keeps
// apart sources of the same name in different folders; saving replaces row
// and marker by the file-name prefix ("Rep_1_orders.dbf").
#pragma once

#include <string>

#include "FileIo.h"

namespace drelin::batch {

class WorkingFileNamer {
 public:
  // `folder` holds the working files and ends with "/".
  WorkingFileNamer(std::string folder, FileIo& io);

  // The working path of `part` (0-based) of the source in `row`. The file
  // name part is empty when the source cannot be opened for reading as a
  // file (missing, unreadable, a folder); the call itself never fails.
  std::string BuildWorkingPath(const std::string& source, int part, int row) const;

  // The working path a repair of the readable `source` wrote, from the path
  // alone. Saving and discarding use it, so a repaired copy is found even
  // when its source was moved, deleted or made unreadable after the run.
  std::string WorkingPathFor(const std::string& source, int part, int row) const;

  // `path` with every occurrence of the row's number followed by the marker
  // replaced by `prefix` (case-sensitive); the rest unchanged.
  std::string ToSaveName(const std::string& path, int row, const std::string& prefix) const;

 private:
  const std::string marker_;
  std::string folder_;
  FileIo& io_;
};

// Every occurrence of `from` in `text` replaced by `to` (case-sensitive);
// the naming rules of saved files are built from it. An empty `from` occurs
// nowhere: `text` comes back unchanged.
std::string ReplaceAll(const std::string& text, const std::string& from, const std::string& to);

}  // namespace drelin::batch
