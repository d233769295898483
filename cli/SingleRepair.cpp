#include "SingleRepair.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <random>

#include "FileEntry.h"
#include "FileError.h"
#include "NoReplaceMove.h"

namespace drelin::cli {

namespace {

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string TemporaryName(const std::string& output) {
  static std::mt19937_64 random{std::random_device{}()};
  char suffix[24];
  std::snprintf(suffix, sizeof suffix, "%016llx", static_cast<unsigned long long>(random()));
  return FolderOf(output) + "/." + NameOf(output) + ".drelin-" + suffix + ".part";
}

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
  if (output.empty() || output.back() == '/') throw FileError("create", output, EISDIR);
  if (platform::EntryExists(io, output)) throw AlreadyExists(output);
  struct stat folder {};
  if (io.Lstat(FolderOf(output).c_str(), &folder) != 0) throw FileError("create", output, errno);
  // A folder or a link to one will do; the create below tells the rest.

  RepairOptions options;
  options.creation = File::Creation::kExclusive;
  options.progress = progress;
  for (int attempt = 0;; ++attempt) {
    const std::string temporary = TemporaryName(output);
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
      if (error.path() == temporary) throw error.WithPath(output);
      throw;
    } catch (...) {
      RemoveQuietly(io, temporary);
      throw;
    }
  }
}

}  // namespace drelin::cli
