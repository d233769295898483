#include "SingleRepair.h"

#include <sys/stat.h>

#include <cerrno>

#include "FileEntry.h"
#include "FileError.h"
#include "Interrupt.h"
#include "NoReplaceMove.h"
#include "PartName.h"
#include "Paths.h"

namespace drelin::cli {

namespace {

FileError AlreadyExists(const std::string& output) {
  return FileError(output, "already exists; choose a new name (nothing was replaced)");
}

// Clean-up on a path that is already failing: its own failure adds nothing.
void RemoveQuietly(FileIo& io, const std::string& path) {
  try {
    platform::RemoveEntry(io, path);
  } catch (const FileError&) {
  }
}

}  // namespace

RepairReport RepairToNewFile(FileIo& io, const std::string& source, const std::string& output,
                             int mode, const CopyProgress& progress) {
  if (output.empty()) throw FileError("create", output, ENOENT);
  if (output.back() == '/') throw FileError("create", output, EISDIR);
  if (platform::EntryExists(io, output)) throw AlreadyExists(output);
  struct stat folder {};
  if (io.Lstat(platform::DirName(output).c_str(), &folder) != 0) {
    throw FileError("create", output, errno);
  }
  // A folder or a link to one will do; the create below tells the rest.

  RepairOptions options;
  options.creation = File::Creation::kExclusive;
  options.progress = progress;
  for (int attempt = 0;; ++attempt) {
    const std::string temporary = platform::PartNameIn(platform::DirName(output));
    const PartialOutput partial(temporary);
    try {
      RepairReport report = DbfRepairEngine(io).RepairFile(source, temporary, mode, options);
      platform::MoveNoReplace(io, temporary, output);
      return report;
    } catch (const FileError& error) {
      // Only the exclusive create says EEXIST about our temporary name: the
      // name was taken, nothing of ours exists, and another name will do.
      if (error.path() == temporary && error.error() == EEXIST) {
        if (attempt < 100) continue;
        throw error.WithPath(output);
      }
      RemoveQuietly(io, temporary);
      if (error.path() == output && error.error() == EEXIST) throw AlreadyExists(output);
      throw platform::AboutFinalName(error, temporary, output);
    } catch (...) {
      RemoveQuietly(io, temporary);
      throw;
    }
  }
}

}  // namespace drelin::cli
