#include "RepairSaver.h"

#include <cerrno>

#include "BatchTexts.h"
#include "FileEntry.h"
#include "FileError.h"
#include "NoReplaceMove.h"
#include "Paths.h"

namespace drelin::batch {

namespace {

// Shows the Saving window for as long as it lives.
class SavingWindow {
 public:
  explicit SavingWindow(RepairView& view) : view_(view) {
    view_.OpenSavingWindow();
    view_.SetSavingText("");
  }
  ~SavingWindow() { view_.CloseSavingWindow(); }
  SavingWindow(const SavingWindow&) = delete;
  SavingWindow& operator=(const SavingWindow&) = delete;

 private:
  RepairView& view_;
};

}  // namespace

RepairSaver::RepairSaver(RepairView& view, const std::string& folder, PrefixSource prefix,
                         FileIo& io)
    : view_(view), namer_(folder, io), prefix_(std::move(prefix)), io_(io) {}

void RepairSaver::SaveAll(const std::string& folder) {
  names_ = FolderNames();
  const int count = view_.GetRowCount();
  const SavingWindow window(view_);
  for (int row = 0; row < count; ++row) {
    if (view_.GetRowText(row, 1) != kStatusDone) continue;
    const std::string source = view_.GetRowText(row, 0);
    view_.SetSavingText(source);
    for (int part = 0; part < 2; ++part) {
      const std::string working = namer_.WorkingPathFor(source, part, row);
      if (!platform::EntryExists(io_, working)) continue;
      const SavedCompanions companions = PlanCompanions(io_, source, working, &names_);
      notes_.insert(notes_.end(), companions.notes.begin(), companions.notes.end());
      // The prefix replaces row and marker in the file name only, so a
      // folder whose name happens to hold them is not changed.
      const std::string name = namer_.ToSaveName(platform::BaseName(working), row, prefix_());
      std::string destination = platform::JoinPath(folder, name);
      MoveToFreeName(working, destination, companions);
      names_.Add(destination);
      view_.FileSaved(row, source, destination);
      WriteCompanions(io_, companions, destination, notes_, [&](const std::string& from, const std::string& to) {
        names_.Add(to);
        view_.FileSaved(row, from, to);
      });
    }
  }
}

void RepairSaver::MoveToFreeName(const std::string& working, std::string& destination,
                                 const SavedCompanions& companions) const {
  for (;;) {
    MakeUniqueDestination(destination, companions);
    try {
      platform::MoveNoReplace(io_, working, destination);
      return;
    } catch (const FileError& error) {
      // Taken since the test: go on with the collision rule. A refusal for
      // any other reason, or for a name that is still free, ends the save.
      if (error.error() != EEXIST || !platform::EntryExists(io_, destination)) throw;
    }
  }
}

std::optional<std::string> RepairSaver::Taken(const std::string& destination,
                                              const SavedCompanions& companions) const {
  if (platform::EntryExists(io_, destination)) return destination;
  return companions.TakenBeside(io_, destination, &names_);
}

void RepairSaver::MakeUniqueDestination(std::string& destination,
                                        const SavedCompanions& companions) const {
  while (const auto taken = Taken(destination, companions)) {
    const std::string prefix = prefix_();
    // Without the prefix in the name there is nothing to vary.
    if (prefix.empty()) throw FileError("save", *taken, EEXIST);
    const size_t slash = destination.rfind('/');
    const size_t start = slash == std::string::npos ? 0 : slash + 1;
    const std::string name = destination.substr(start);
    const std::string renamed = ReplaceAll(name, prefix, prefix + "_(1)");
    if (renamed == name) throw FileError("save", *taken, EEXIST);
    destination.replace(start, std::string::npos, renamed);
  }
}

void RepairSaver::DiscardWorkingFiles() {
  const int count = view_.GetRowCount();
  for (int row = 0; row < count; ++row) {
    if (view_.GetRowText(row, 1) != kStatusDone) continue;
    const std::string source = view_.GetRowText(row, 0);
    for (int part = 0; part < 4; ++part) {
      platform::RemoveEntry(io_, namer_.WorkingPathFor(source, part, row));
    }
  }
  view_.m_bSaved = true;
}

}  // namespace drelin::batch
