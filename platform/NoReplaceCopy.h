// NoReplaceCopy: a new file with given content, or a copy of another file,
// made without ever replacing anything that bears its name. The content is
// written whole under a private name beside the destination and flushed,
// then moved into place with MoveNoReplace, so the destination either does
// not exist or holds the whole file, and nothing else is left behind. The
// file copied from is only read.
//
// An entry already at `to` (of any kind) is a FileError whose error() is
// EEXIST; every failure names `from` or `to`, never the private name.
#pragma once

#include <functional>
#include <string>

#include "FileIo.h"

namespace drelin::platform {

// Told the private name before the file is created under it, so a caller
// that may be ended at once can remove it.
using PartNotice = std::function<void(const std::string& part)>;

void CopyNoReplace(FileIo& io, const std::string& from, const std::string& to,
                   const PartNotice& notice = nullptr);
void WriteNoReplace(FileIo& io, const std::string& to, const std::string& content,
                    const PartNotice& notice = nullptr);

}  // namespace drelin::platform
