#include "WorkingFileNamer.h"

#include "File.h"
#include "Paths.h"

namespace drelin::batch {

WorkingFileNamer::WorkingFileNamer(std::string folder, FileIo& io)
    : marker_("ozn_aqf_xrj_196_temp"), folder_(std::move(folder)), io_(io) {
  if (!folder_.empty() && folder_.back() != '/') folder_ += '/';
}

std::string WorkingFileNamer::BuildWorkingPath(const std::string& source, int part,
                                               int row) const {
  try {
    // Only a source that can be read has a name here.
    File::OpenForReading(io_, source);
  } catch (const std::exception&) {
    return WorkingPathFor("", part, row);
  }
  return WorkingPathFor(source, part, row);
}

std::string WorkingFileNamer::WorkingPathFor(const std::string& source, int part,
                                             int row) const {
  return folder_ + std::to_string(row) + marker_ + "_" + std::to_string(part + 1) + "_" +
         platform::BaseName(source);
}

std::string WorkingFileNamer::ToSaveName(const std::string& path, int row,
                                         const std::string& prefix) const {
  const std::string key = std::to_string(row) + marker_;
  std::string result;
  size_t from = 0;
  for (size_t at = path.find(key); at != std::string::npos; at = path.find(key, from)) {
    result.append(path, from, at - from).append(prefix);
    from = at + key.size();
  }
  return result.append(path, from, std::string::npos);
}

}  // namespace drelin::batch
