#include "TableCompanions.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <memory>
#include <vector>

#include "DbfLayout.h"
#include "File.h"
#include "FileError.h"

namespace drelin {

namespace {

struct SplitName {
  std::string folder;  // up to and including the last separator; may be empty
  std::string name;    // the file name
  std::string base;    // the file name less its extension
  std::string extension;
};

SplitName Split(const std::string& path) {
  SplitName split;
  const size_t slash = path.rfind('/');
  split.folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  split.name = path.substr(split.folder.size());
  // A leading dot begins a hidden name, not an extension.
  const size_t dot = split.name.rfind('.');
  if (dot == std::string::npos || dot == 0) {
    split.base = split.name;
  } else {
    split.base = split.name.substr(0, dot);
    split.extension = split.name.substr(dot + 1);
  }
  return split;
}

std::string Cased(std::string text, bool upper) {
  std::transform(text.begin(), text.end(), text.begin(), [upper](unsigned char c) {
    return static_cast<char>(upper ? std::toupper(c) : std::tolower(c));
  });
  return text;
}

// Whether `path` names an entry that may be a companion (anything but a
// folder); a FileError for a failure other than "no such entry".
bool IsCandidate(FileIo& io, const std::string& path) {
  struct stat status {};
  if (io.Lstat(path.c_str(), &status) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return false;
    throw FileError("look for", path, errno);
  }
  return !S_ISDIR(status.st_mode);
}

std::vector<std::string> Names(FileIo& io, const std::string& folder) {
  const std::string listed = folder.empty() ? "." : folder;
  std::unique_ptr<DIR, int (*)(DIR*)> dir(io.Opendir(listed.c_str()), closedir);
  if (!dir) {
    if (errno == ENOENT || errno == ENOTDIR) return {};
    throw FileError("list", listed, errno);
  }
  std::vector<std::string> names;
  errno = 0;
  while (const dirent* entry = readdir(dir.get())) names.emplace_back(entry->d_name);
  if (errno != 0) throw FileError("list", listed, errno);
  return names;
}

void Insert(std::vector<std::string>& names, const std::string& name) {
  const auto at = std::lower_bound(names.begin(), names.end(), name);
  if (at == names.end() || *at != name) names.insert(at, name);
}

}  // namespace

std::vector<std::string> FolderNames::Matching(FileIo& io, const std::string& folder,
                                               const std::string& name) {
  auto listed = folders_.find(folder);
  if (listed == folders_.end()) {
    std::map<std::string, std::vector<std::string>> lowered;
    for (const std::string& entry : Names(io, folder)) Insert(lowered[Cased(entry, false)], entry);
    listed = folders_.emplace(folder, std::move(lowered)).first;
  }
  const auto found = listed->second.find(Cased(name, false));
  return found == listed->second.end() ? std::vector<std::string>{} : found->second;
}

void FolderNames::Add(const std::string& path) {
  const SplitName split = Split(path);
  const auto listed = folders_.find(split.folder);
  if (listed != folders_.end()) Insert(listed->second[Cased(split.name, false)], split.name);
}

std::string CompanionPath(const std::string& tablePath, const std::string& extension) {
  const SplitName split = Split(tablePath);
  return split.folder + split.base + "." + extension;
}

std::optional<std::string> FindCompanion(FileIo& io, const std::string& tablePath,
                                         const std::string& extension, FolderNames* names) {
  const SplitName split = Split(tablePath);
  const bool upperTable = !split.extension.empty() && Cased(split.extension, true) == split.extension &&
                          Cased(split.extension, false) != split.extension;
  for (const bool upper : {upperTable, !upperTable}) {
    const std::string name = split.base + "." + Cased(extension, upper);
    if (name != split.name && IsCandidate(io, split.folder + name)) return split.folder + name;
  }
  FolderNames fresh;
  FolderNames& listing = names ? *names : fresh;
  for (const std::string& name : listing.Matching(io, split.folder, split.base + "." + extension)) {
    if (name != split.name && IsCandidate(io, split.folder + name)) return split.folder + name;
  }
  return std::nullopt;
}

bool HasMemoFields(FileIo& io, const std::string& tablePath) {
  // Only a header a repair can write is read: the descriptors of the first
  // 65,535 bytes, however long the file.
  const File file = File::OpenForReading(io, tablePath);
  std::vector<uint8_t> header(0xFFFF);
  header.resize(file.ReadAt(0, header.data(), header.size()));
  if (header.size() < DbfHeader::kSize) return false;
  const uint8_t version = header[DbfHeader::kVersionOffset];
  for (size_t block = DbfHeader::kSize; block < header.size(); block += DbfFieldDescriptor::kSize) {
    if (header[block] == kHeaderTerminator) break;
    const size_t typeAt = block + DbfFieldDescriptor::kTypeOffset;
    const uint8_t type = typeAt < header.size() ? header[typeAt] : 0;
    if (IsMemoType(type, version)) return true;
  }
  return false;
}

}  // namespace drelin
