// RepairSaver: moves the working files of a run's repaired rows into the
// folder the user chose, or discards them. A saved file is named by the
// file-name prefix, the part number and the source's file name
// ("Rep_1_orders.dbf"); a name that is taken gets "_(1)" after each prefix in
// it, as often as needed ("Rep_(1)_1_orders.dbf", "Rep_(1)_(1)_1_orders.dbf").
// Nothing is ever overwritten, also when a name appears between the test and
// the move, and each file ends either wholly saved or still in the working
// folder.
//
// A saved table takes its companions along (SavedCompanions: a copy of the
// source's memo file, a .cpg naming the source's code page), and a name is
// free only when the table's name and every companion's are: a table is
// never saved beside another table's memo file or .cpg. What cannot go
// along is told in notes(), never stopping the save.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "FileIo.h"
#include "RepairView.h"
#include "SavedCompanions.h"
#include "TableCompanions.h"
#include "WorkingFileNamer.h"

namespace drelin::batch {

// The current file-name prefix (the main frame's setting), read afresh each
// time it is needed.
using PrefixSource = std::function<std::string()>;

class RepairSaver {
 public:
  RepairSaver(RepairView& view, const std::string& folder, PrefixSource prefix, FileIo& io);

  // Moves parts 0 and 1 of every "Done" row into `folder`, showing each
  // source in the Saving window. A move that fails (a FileError) ends the
  // save at that file: files moved stay moved, the rest stay where they are.
  void SaveAll(const std::string& folder);

  // Changes `destination` until no entry of that name exists, nor of the
  // companions' names beside it: every occurrence of the prefix in the file
  // name gains "_(1)".
  void MakeUniqueDestination(std::string& destination,
                             const SavedCompanions& companions = {}) const;

  // What the saves so far could not take along, one sentence each.
  const std::vector<std::string>& notes() const { return notes_; }

  // Deletes parts 0 to 3 of every "Done" row and sets m_bSaved.
  void DiscardWorkingFiles();

 private:
  // Moves `working` to `destination`, or to the next free name of the
  // collision rule when that one is taken.
  void MoveToFreeName(const std::string& working, std::string& destination,
                      const SavedCompanions& companions) const;
  // The entry that makes `destination` taken: itself or a companion's.
  std::optional<std::string> Taken(const std::string& destination,
                                   const SavedCompanions& companions) const;

  RepairView& view_;
  WorkingFileNamer namer_;
  PrefixSource prefix_;
  FileIo& io_;
  std::vector<std::string> notes_;
  // The folders searched for companions during a save, each listed once.
  mutable FolderNames names_;
};

}  // namespace drelin::batch
