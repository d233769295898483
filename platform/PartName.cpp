#include "PartName.h"

#include <cinttypes>
#include <cstdio>
#include <random>

#include "Paths.h"

namespace drelin::platform {

std::string PartNameIn(const std::string& folder) {
  thread_local std::mt19937_64 random{std::random_device{}()};
  char name[40];
  std::snprintf(name, sizeof name, ".drelin-%016" PRIx64 ".part", static_cast<uint64_t>(random()));
  return JoinPath(folder, name);
}

FileError AboutFinalName(const FileError& error, const std::string& part,
                         const std::string& finalPath) {
  const bool inOperation = error.operation().find(part) != std::string::npos;
  if (error.path() != part && !inOperation) return error;
  // A move of the private name into place is, to the user, writing the file.
  const std::string operation = inOperation ? "write" : error.operation();
  if (operation.empty()) return error.WithPath(finalPath);
  if (error.error() != 0) return FileError(operation, finalPath, error.error());
  return FileError(operation, finalPath, error.reason());
}

}  // namespace drelin::platform
