// FileFacts: what the file list shows of a file, read from its status alone.
// The file is never opened: opening a FIFO or a device that only looks like
// a table would block or have effects, so anything but a regular file is
// turned away here like a missing one.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

namespace drelin::platform {

struct FileFacts {
  std::uint64_t size = 0;
  // Seconds since the epoch. Creation is the birth time where the file
  // system records it, otherwise the status-change time.
  std::time_t created = 0;
  std::time_t accessed = 0;
  std::time_t written = 0;
};

// The facts of the regular file at `path` (a symbolic link is followed to
// it); nothing when there is no such file, it is of another kind, or its
// status cannot be read.
std::optional<FileFacts> ReadFileFacts(const std::string& path);

// A time as the file list writes it: local time, "%d-%m-%Y %I:%M" and then
// " AM" or " PM" whatever the locale, so the 12-hour clock never loses its
// marker.
std::string FormatListTime(std::time_t time);

}  // namespace drelin::platform
