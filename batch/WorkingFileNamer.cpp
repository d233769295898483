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
  return ReplaceAll(path, std::to_string(row) + marker_, prefix);
}

std::string ReplaceAll(const std::string& text, const std::string& from, const std::string& to) {
  if (from.empty()) return text;
  std::string result;
  size_t start = 0;
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, start)) {
    result.append(text, start, at - start).append(to);
    start = at + from.size();
  }
  return result.append(text, start, std::string::npos);
}

}  // namespace drelin::batch
