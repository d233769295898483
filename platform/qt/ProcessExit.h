// ProcessExit: how the desktop program ends itself once the user confirmed
// it (the close flow, Live Update): the settings are flushed, this process's
// folder of working files is removed, and the process ends at once with the
// given status, running no further clean-up. The final step can be
// replaced, so tests can see the exit happen without ending the test.
#pragma once

#include <functional>

namespace drelin {

class ProcessExit {
 public:
  using Terminator = std::function<void(int status)>;

  // Flushes the settings, removes the work folder, then ends the process.
  // Returns only when a replaced terminator returns.
  static void Exit(int status);

  // Replaces the final step (null restores the real one); returns the old one.
  static Terminator SetTerminator(Terminator terminator);
};

// Installs a terminator for the lifetime of the object (tests).
class ScopedProcessExit {
 public:
  explicit ScopedProcessExit(ProcessExit::Terminator terminator)
      : previous_(ProcessExit::SetTerminator(std::move(terminator))) {}
  ~ScopedProcessExit() { ProcessExit::SetTerminator(std::move(previous_)); }
  ScopedProcessExit(const ScopedProcessExit&) = delete;
  ScopedProcessExit& operator=(const ScopedProcessExit&) = delete;

 private:
  ProcessExit::Terminator previous_;
};

}  // namespace drelin
