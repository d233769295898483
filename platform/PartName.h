// PartName: the private name a file is written under until it is whole, in
// the folder of its final name: ".drelin-<16 hex digits>.part". Hidden, so a
// listing passes over it; random per call (the generator is each thread's
// own), so writers in other threads or processes almost never meet, and the
// exclusive create that must follow refuses a name already taken. The user
// never hears of it: a failure that names it is told about the final name.
#pragma once

#include <string>

#include "FileError.h"

namespace drelin::platform {

// A fresh private name in `folder`.
std::string PartNameIn(const std::string& folder);

// `error` told about `finalPath` when it names `part` (as its path or in its
// operation, as a move does); otherwise `error` unchanged.
FileError AboutFinalName(const FileError& error, const std::string& part,
                         const std::string& finalPath);

}  // namespace drelin::platform
