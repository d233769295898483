// Interrupt: Ctrl+C (SIGINT) and SIGTERM as a request to stop, so that a long
// command can end cleanly: remove what it was writing, or, for a batch,
// finish the file in hand.
#pragma once

namespace drelin::cli {

// Installs the handlers; the first signal sets the request, the second one
// ends the process at once.
void InstallInterruptHandler();
bool InterruptRequested();
// For tests.
void ResetInterrupt();
void RequestInterrupt();

}  // namespace drelin::cli
