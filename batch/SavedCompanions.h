// SavedCompanions: what a repaired table takes along when it is saved. A
// table's memo text lives in a memo file of the same base name (.dbt, or
// .fpt for FoxPro), so a copy of the source's goes beside the saved table
// under the matching name ("orders.dbt" beside "Rep_1_orders.dbf" becomes
// "Rep_1_orders.dbt"). The repaired header has no language-driver byte, so
// when the source tells its code page (a .cpg, or a language-driver byte
// other than 0x57) a .cpg naming it goes there too ("866", "UTF-8"). The
// source is only read; nothing is ever replaced. What cannot be found,
// read or written is told in a note and never stops the save.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "FileIo.h"
#include "NoReplaceCopy.h"
#include "TableCompanions.h"

namespace drelin::batch {

struct CompanionFile {
  std::string extension;  // as written: the memo file's own spelling, or "cpg"
  std::string copyFrom;   // the source's memo file; empty for a .cpg
  std::string content;    // the .cpg's text
  // What it is made from, as the user is told: the memo file, the source's
  // .cpg, or the source itself (its language-driver byte).
  std::string origin;
};

struct SavedCompanions {
  std::vector<CompanionFile> files;
  // The table has memo fields (or its fields could not be read): no memo
  // file may stand beside it but its own.
  bool memoNeeded = false;
  std::vector<std::string> notes;

  // Where the companions of a table saved at `tablePath` go.
  std::vector<std::string> PathsBeside(const std::string& tablePath) const;
  // The first entry that stands where a companion of a table saved at
  // `tablePath` would go, any .cpg of that base name in any letter case
  // (it would tell the saved table's code page), or, for a table with memo
  // fields, any memo file of that base name; nothing when all is free. The
  // folder is searched through `names` when given. A FileError when it
  // cannot be searched.
  std::optional<std::string> TakenBeside(FileIo& io, const std::string& tablePath,
                                         FolderNames* names = nullptr) const;
};

// The companions of the repaired copy of `source`. `fieldsOf` is the table
// whose descriptors tell whether memo text is needed (the repaired table,
// or the source before its repair): a memo file that is needed but missing
// is noted. A source that no longer exists takes nothing along. The
// source's folder is searched through `names` when given.
SavedCompanions PlanCompanions(FileIo& io, const std::string& source, const std::string& fieldsOf,
                               FolderNames* names = nullptr);

// Told of each companion written: its origin and where it went.
using CompanionWritten = std::function<void(const std::string& from, const std::string& to)>;

// Writes the companions beside the table saved at `tablePath`, each only
// where nothing bears its name; a companion that cannot be written is noted
// in `notes` and the others are still written.
void WriteCompanions(FileIo& io, const SavedCompanions& companions, const std::string& tablePath, std::vector<std::string>& notes,
                     const CompanionWritten& written = nullptr,
                     const platform::PartNotice& notice = nullptr);

}  // namespace drelin::batch
