#include "Interrupt.h"

#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

namespace drelin::cli {

namespace {

std::atomic<int> g_nSignal{0};
// The partial output, readable by the handler while g_bPartialSet is set.
char g_szPartial[PATH_MAX];
std::atomic<bool> g_bPartialSet{false};

extern "C" void OnSignal(int signal) {
  int none = 0;
  if (g_nSignal.compare_exchange_strong(none, signal)) return;
  // Asked twice: the user means it. Nothing half-written stays behind.
  if (g_bPartialSet.load()) ::unlink(g_szPartial);
  ::_exit(128 + signal);
}

}  // namespace

void InstallInterruptHandler() {
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&action.sa_mask, signal);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
}

int InterruptSignal() { return g_nSignal.load(); }

PartialOutput::PartialOutput(const std::string& path) {
  // A path too long to keep could not have been created either.
  if (path.size() >= sizeof g_szPartial) return;
  std::memcpy(g_szPartial, path.c_str(), path.size() + 1);
  g_bPartialSet = true;
}

PartialOutput::~PartialOutput() { g_bPartialSet = false; }

}  // namespace drelin::cli
