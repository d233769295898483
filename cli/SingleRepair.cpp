#include "SingleRepair.h"

#include <sys/stat.h>

#include <cerrno>
#include <optional>

#include "FileEntry.h"
#include "FileError.h"
#include "Interrupt.h"
#include "NoReplaceMove.h"
#include "PartName.h"
#include "Paths.h"
#include "SavedCompanions.h"

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

// Refuses an output that exists or whose folder does not, before anything
// is written.
void CheckNewOutput(FileIo& io, const std::string& output) {
  if (output.empty()) throw FileError("create", output, ENOENT);
  if (output.back() == '/') throw FileError("create", output, EISDIR);
  if (platform::EntryExists(io, output)) throw AlreadyExists(output);
  struct stat folder {};
  if (io.Lstat(platform::DirName(output).c_str(), &folder) != 0) {
    throw FileError("create", output, errno);
  }
  // A folder or a link to one will do; the create below tells the rest.
}

// Has `write` fill a private name beside `output` and moves it there.
void WriteUnderPrivateName(FileIo& io, const std::string& output,
                           const std::function<void(const std::string& path)>& write) {
  for (int attempt = 0;; ++attempt) {
    const std::string temporary = platform::PartNameIn(platform::DirName(output));
    const PartialOutput partial(temporary);
    try {
      write(temporary);
      platform::MoveNoReplace(io, temporary, output);
      return;
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

}  // namespace

batch::SavedCompanions PlanCompanionsBeside(FileIo& io, const std::string& source, const std::string& output) {
  batch::SavedCompanions companions = batch::PlanCompanions(io, source, source);
  if (const auto taken = companions.TakenBeside(io, output)) throw AlreadyExists(*taken);
  return companions;
}

// A second signal meanwhile removes the companion being written.
void WriteCompanionsBeside(FileIo& io, const batch::SavedCompanions& companions, const std::string& output,
                           CompanionOutcome& outcome) {
  outcome.notes.insert(outcome.notes.end(), companions.notes.begin(), companions.notes.end());
  std::optional<PartialOutput> partial;
  batch::WriteCompanions(
      io, companions, output, outcome.notes,
      [&](const std::string& from, const std::string& to) { outcome.written.emplace_back(from, to); },
      [&](const std::string& part) {
        partial.reset();
        partial.emplace(part);
      });
}

void WriteNewFile(FileIo& io, const std::string& output, const std::function<void(const std::string& path)>& write) {
  CheckNewOutput(io, output);
  WriteUnderPrivateName(io, output, write);
}

RepairReport RepairToNewFile(FileIo& io, const std::string& source, const std::string& output,
                             int mode, const CopyProgress& progress, CompanionOutcome* outcome) {
  CheckNewOutput(io, output);
  const batch::SavedCompanions companions = PlanCompanionsBeside(io, source, output);

  RepairOptions options;
  options.creation = File::Creation::kExclusive;
  options.progress = progress;
  RepairReport report;
  WriteUnderPrivateName(io, output, [&](const std::string& temporary) {
    report = DbfRepairEngine(io).RepairFile(source, temporary, mode, options);
  });
  CompanionOutcome ignored;
  WriteCompanionsBeside(io, companions, output, outcome ? *outcome : ignored);
  return report;
}

}  // namespace drelin::cli
