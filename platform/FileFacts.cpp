#include "FileFacts.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace drelin::platform {

std::optional<FileFacts> ReadFileFacts(const std::string& path) {
  struct statx status {};
  if (statx(AT_FDCWD, path.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &status) != 0) return {};
  if ((status.stx_mask & STATX_TYPE) == 0 || !S_ISREG(status.stx_mode)) return {};
  FileFacts facts;
  facts.size = status.stx_size;
  const bool born = (status.stx_mask & STATX_BTIME) != 0;
  facts.created = static_cast<std::time_t>(born ? status.stx_btime.tv_sec : status.stx_ctime.tv_sec);
  facts.accessed = static_cast<std::time_t>(status.stx_atime.tv_sec);
  facts.written = static_cast<std::time_t>(status.stx_mtime.tv_sec);
  return facts;
}

std::string FormatListTime(std::time_t time) {
  struct tm local {};
  if (localtime_r(&time, &local) == nullptr) return {};
  char text[64];
  const size_t length = std::strftime(text, sizeof text, "%d-%m-%Y %I:%M", &local);
  return std::string(text, length) + (local.tm_hour < 12 ? " AM" : " PM");
}

}  // namespace drelin::platform
