#include "SavedCompanions.h"

#include <cerrno>

#include "FileEntry.h"
#include "FileError.h"
#include "Paths.h"
#include "TableCodePage.h"
#include "TableCompanions.h"

namespace drelin::batch {

namespace {

bool SourceGone(const FileError& error) {
  return error.operation() == "open" && (error.error() == ENOENT || error.error() == ENOTDIR);
}

// The extension after the last dot of a file name; empty when it has none.
std::string ExtensionOf(const std::string& path) {
  const std::string name = platform::BaseName(path);
  const size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? "" : name.substr(dot + 1);
}

bool AllUpper(const std::string& text) {
  bool letter = false;
  for (const char c : text) {
    if (c >= 'a' && c <= 'z') return false;
    letter = letter || (c >= 'A' && c <= 'Z');
  }
  return letter;
}

// The source's memo files, and a note when memo text is needed but none is
// there.
void PlanMemo(FileIo& io, const std::string& source, SavedCompanions& companions, FolderNames* names) {
  bool found = false;
  for (const char* extension : {kDbaseMemoExtension, kFoxProMemoExtension}) {
    if (const auto memo = FindCompanion(io, source, extension, names)) {
      companions.files.push_back({ExtensionOf(*memo), *memo, "", *memo});
      found = true;
    }
  }
  if (found || !companions.memoNeeded) return;
  companions.notes.push_back("no memo file " + platform::BaseName(CompanionPath(source, kDbaseMemoExtension)) +
                             " (nor .fpt) beside " + source +
                             ": the saved table's memo fields have no text to show");
}

// Whether the table has memo fields; when that cannot be read, it is taken
// to have some, so no foreign memo file is ever put beside it.
bool MemoNeeded(FileIo& io, const std::string& fieldsOf, std::vector<std::string>& notes) {
  try {
    return HasMemoFields(io, fieldsOf);
  } catch (const FileError& error) {
    if (SourceGone(error)) return false;  // nothing to save, nothing to tell
    notes.push_back(std::string("the fields of the saved table could not be read: ") + error.what());
    return true;
  }
}

}  // namespace

std::vector<std::string> SavedCompanions::PathsBeside(const std::string& tablePath) const {
  std::vector<std::string> paths;
  for (const CompanionFile& file : files) paths.push_back(CompanionPath(tablePath, file.extension));
  return paths;
}

std::optional<std::string> SavedCompanions::TakenBeside(FileIo& io, const std::string& tablePath,
                                                        FolderNames* names) const {
  for (const std::string& path : PathsBeside(tablePath)) {
    if (platform::EntryExists(io, path)) return path;
  }
  // A .cpg there would tell the saved table's code page (its header names
  // none), whether or not one goes along.
  if (auto cpg = FindCompanion(io, tablePath, kCodePageExtension, names)) return cpg;
  if (!memoNeeded) return std::nullopt;
  for (const char* extension : {kDbaseMemoExtension, kFoxProMemoExtension}) {
    if (auto memo = FindCompanion(io, tablePath, extension, names)) return memo;
  }
  return std::nullopt;
}

SavedCompanions PlanCompanions(FileIo& io, const std::string& source, const std::string& fieldsOf,
                               FolderNames* names) {
  SavedCompanions companions;
  companions.memoNeeded = MemoNeeded(io, fieldsOf, companions.notes);
  try {
    const TableCodePage codePage = ReadTableCodePage(io, source, names);
    if (!codePage.cpgProblem.empty()) {
      companions.notes.push_back(codePage.cpgProblem + "; it was not used for the saved table's code page");
    }
    if (codePage.known()) {
      const std::string extension = AllUpper(ExtensionOf(source)) ? "CPG" : kCodePageExtension;
      const bool fromCpg = codePage.source == TableCodePage::Source::kCpg;
      companions.files.push_back(
          {extension, "", codePage.page.CpgText(), fromCpg ? *codePage.cpgPath : source});
    }
    PlanMemo(io, source, companions, names);
  } catch (const FileError& error) {
    if (SourceGone(error) && error.path() == source) return companions;
    companions.notes.push_back("the memo and code page files of " + source +
                               " could not be looked for: " + error.what());
  }
  return companions;
}

void WriteCompanions(FileIo& io, const SavedCompanions& companions, const std::string& tablePath, std::vector<std::string>& notes,
                     const CompanionWritten& written, const platform::PartNotice& notice) {
  for (const CompanionFile& file : companions.files) {
    const std::string to = CompanionPath(tablePath, file.extension);
    try {
      if (file.copyFrom.empty()) {
        platform::WriteNoReplace(io, to, file.content, notice);
      } else {
        platform::CopyNoReplace(io, file.copyFrom, to, notice);
      }
    } catch (const FileError& error) {
      notes.push_back(error.error() == EEXIST && error.path() == to
                          ? to + " already exists; it was left as it is"
                          : std::string("not written beside the saved table: ") + error.what());
      continue;
    }
    if (written) written(file.origin, to);
  }
}

}  // namespace drelin::batch
