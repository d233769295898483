// Interrupt: Ctrl+C (SIGINT), SIGTERM and a closed terminal (SIGHUP) as a
// request to stop, so that a long command can end cleanly: remove what it
// was writing, or, for a batch, finish the file in hand. A second signal
// ends the process at once, after removing the partial output registered
// with PartialOutput.
#pragma once

#include <string>

namespace drelin::cli {

// Installs the handlers.
void InstallInterruptHandler();
// The number of the first signal received; 0 for none.
int InterruptSignal();

// Registers a file being written, for as long as it lives: a second signal
// removes it before it ends the process. One at a time.
class PartialOutput {
 public:
  explicit PartialOutput(const std::string& path);
  ~PartialOutput();
  PartialOutput(const PartialOutput&) = delete;
  PartialOutput& operator=(const PartialOutput&) = delete;
};

}  // namespace drelin::cli
