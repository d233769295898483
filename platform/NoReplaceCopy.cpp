#include "NoReplaceCopy.h"

#include <cerrno>
#include <optional>

#include "File.h"
#include "FileEntry.h"
#include "FileError.h"
#include "NoReplaceMove.h"
#include "PartName.h"
#include "Paths.h"

namespace drelin::platform {

namespace {

// Removes the private name unless the file was moved away from it.
class PartGuard {
 public:
  PartGuard(FileIo& io, std::string path) : io_(io), path_(std::move(path)) {}
  ~PartGuard() {
    if (armed_) io_.Unlink(path_.c_str());
  }
  PartGuard(const PartGuard&) = delete;
  PartGuard& operator=(const PartGuard&) = delete;
  void Release() { armed_ = false; }

 private:
  FileIo& io_;
  std::string path_;
  bool armed_ = true;
};

// Creates a private file beside `to`, has `fill` write it, flushes it and
// moves it into place.
template <typename Fill>
void PlaceNewFile(FileIo& io, const std::string& to, const PartNotice& notice, Fill&& fill) {
  // Not worth the writing when the name is already taken; the final move
  // still refuses it if it is taken meanwhile.
  if (EntryExists(io, to)) throw FileError("create", to, EEXIST);
  for (int attempt = 0;; ++attempt) {
    const std::string part = PartNameIn(DirName(to));
    if (notice) notice(part);
    std::optional<File> file;
    try {
      file.emplace(File::Create(io, part, File::Creation::kExclusive, 0600));
    } catch (const FileError& error) {
      // Another writer's private name: take another.
      if (error.error() == EEXIST && attempt < 100) continue;
      throw AboutFinalName(error, part, to);
    }
    PartGuard guard(io, part);
    try {
      fill(*file);
      file->Sync();
      file->Close();
      MoveNoReplace(io, part, to);
    } catch (const FileError& error) {
      if (error.error() == EEXIST) throw FileError("create", to, EEXIST);
      throw AboutFinalName(error, part, to);
    }
    guard.Release();
    return;
  }
}

}  // namespace

void CopyNoReplace(FileIo& io, const std::string& from, const std::string& to,
                   const PartNotice& notice) {
  const File source = File::OpenForReading(io, from);
  const uint64_t size = source.Size();
  PlaceNewFile(io, to, notice, [&](File& target) { target.CopyFrom(source, 0, size); });
}

void WriteNoReplace(FileIo& io, const std::string& to, const std::string& content,
                    const PartNotice& notice) {
  PlaceNewFile(io, to, notice, [&](File& target) {
    if (!content.empty()) target.WriteAt(0, content.data(), content.size());
  });
}

}  // namespace drelin::platform
