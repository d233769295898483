#include "Interrupt.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>

namespace drelin::cli {

namespace {

std::atomic<bool> g_bInterrupted{false};

extern "C" void OnSignal(int signal) {
  if (g_bInterrupted.exchange(true)) {
    // Asked twice: the user means it.
    ::_exit(128 + signal);
  }
}

}  // namespace

void InstallInterruptHandler() {
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

bool InterruptRequested() { return g_bInterrupted.load(); }
void ResetInterrupt() { g_bInterrupted = false; }
void RequestInterrupt() { g_bInterrupted = true; }

}  // namespace drelin::cli
