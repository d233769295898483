// TableCompanions: the files that travel with a table under its base name,
// the table's file name less its extension: a code page file (.cpg, as
// shapefile tools write it) and a memo file (.dbt for dBASE, .fpt for
// FoxPro). "orders.dbf" has "orders.cpg" and "orders.dbt", found in any
// letter case ("ORDERS.DBT" too), as the programs that wrote them may
// have named them.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "FileIo.h"

namespace drelin {

// Extensions, without the dot.
constexpr char kCodePageExtension[] = "cpg";
constexpr char kDbaseMemoExtension[] = "dbt";
constexpr char kFoxProMemoExtension[] = "fpt";

// The table's path with its extension replaced by `extension`, which is
// added when the name has none: "dir/orders.dbf" gives "dir/orders.cpg".
std::string CompanionPath(const std::string& tablePath, const std::string& extension);

// The names in folders searched for companions, each folder listed once:
// looking beside thousands of tables in one folder reads it once, not once
// per table. Names put in place meanwhile are told with Add; an entry some
// other program makes meanwhile in an unusual letter case ("Orders.Dbt")
// may go unseen, since the usual spellings are always looked at afresh.
class FolderNames {
 public:
  // The names in `folder` ("" for the current one) equal to `name` but
  // for letter case, in byte order. A FileError when the folder cannot be
  // listed (other than for being absent).
  std::vector<std::string> Matching(FileIo& io, const std::string& folder, const std::string& name);
  // A new entry at `path`, in a folder listed already or not.
  void Add(const std::string& path);

 private:
  // Per folder: each name lowered, with the names that lower to it.
  std::map<std::string, std::map<std::string, std::vector<std::string>>> folders_;
};

// The entry beside the table whose name is the base name and `extension`,
// in any letter case; nothing when there is none. The spelling of the
// table's own extension's case is tried first, then the other, then the
// folder is searched (the first match in byte order wins), through `names`
// when given, else afresh. A folder is no companion; the table itself
// never is. A FileError when the folder cannot be searched (other than for
// being absent).
std::optional<std::string> FindCompanion(FileIo& io, const std::string& tablePath,
                                         const std::string& extension,
                                         FolderNames* names = nullptr);

// Whether the table's descriptors hold a field whose values live in a memo
// file (M; G and P in a FoxPro table), among those a repair can take (the
// first 65,535 bytes). A FileError when the table cannot be read.
bool HasMemoFields(FileIo& io, const std::string& tablePath);

}  // namespace drelin
