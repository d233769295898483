// StartCommandLine: what the desktop program's command line asks for.
//
//   tarnova-drelin [--no-splash] [--] [TABLE.dbf ...]
//
// "Embedding" and "Automation" after "/" or "-" (any letter case) are the
// component starts: no window, success. "--no-splash" turns the start-up
// splash off. "--" ends the switches; every other argument is a table,
// taken as the bytes it came in and made absolute against the current
// folder by joining the two (links are not resolved, "." steps dropped,
// ".." kept, since resolving it without the file system could land in
// another folder). Plain C++, so it is tested without a window.
#pragma once

#include <string>
#include <vector>

namespace drelin {

struct StartCommandLine {
  // An embedding or automation start: no window, exit status 0.
  bool componentStart = false;
  bool splash = true;
  struct Table {
    std::string given;  // as it came
    std::string path;   // absolute; empty when there was no current folder
  };
  std::vector<Table> tables;
};

// `arguments` without the program's name; `currentFolder` absolute (empty
// when unknown).
StartCommandLine ParseStartCommandLine(const std::vector<std::string>& arguments,
                                       const std::string& currentFolder);

// `path` made absolute against `folder` as above; empty when `path` is
// relative and `folder` is empty.
std::string AbsolutePath(const std::string& path, const std::string& folder);

// The process's current folder as the bytes the system gives; empty when
// it cannot be had (removed, or too long).
std::string CurrentFolder();

}  // namespace drelin
