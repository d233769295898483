#include "BatchRepair.h"

#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <functional>
#include <ostream>
#include <thread>

#include "BatchTexts.h"
#include "BatchView.h"
#include "FileError.h"
#include "RepairCommands.h"
#include "RepairFlags.h"
#include "TerminalText.h"
#include "Utf8.h"
#include "WorkFolder.h"

namespace drelin::cli {

namespace {

// Takes SIGINT and SIGTERM for as long as it lives: the signals are blocked
// in the creating thread (and so in every thread it starts afterwards) and
// read by one waiting thread, which calls `onFirst` for the first and ends
// the process at once on the second.
class StopOnSignal {
 public:
  explicit StopOnSignal(std::function<void()> onFirst) : onFirst_(std::move(onFirst)) {
    sigemptyset(&signals_);
    sigaddset(&signals_, SIGINT);
    sigaddset(&signals_, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals_, &previous_);
    signalFd_ = signalfd(-1, &signals_, SFD_CLOEXEC);
    wakeFd_ = eventfd(0, EFD_CLOEXEC);
    if (signalFd_ >= 0 && wakeFd_ >= 0) {
      thread_ = std::thread([this] { Wait(); });
    } else {
      // Nobody would read them: leave the signals to their handlers.
      pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    }
  }
  ~StopOnSignal() {
    if (thread_.joinable()) {
      const uint64_t one = 1;
      while (write(wakeFd_, &one, sizeof one) != sizeof one && errno == EINTR) {
      }
      thread_.join();
    }
    if (signalFd_ >= 0) close(signalFd_);
    if (wakeFd_ >= 0) close(wakeFd_);
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
  }
  StopOnSignal(const StopOnSignal&) = delete;
  StopOnSignal& operator=(const StopOnSignal&) = delete;

 private:
  void Wait() {
    int received = 0;
    for (;;) {
      pollfd fds[2] = {{signalFd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
      if (poll(fds, 2, -1) < 0) continue;
      if (fds[1].revents) return;
      signalfd_siginfo info {};
      if (read(signalFd_, &info, sizeof info) != sizeof info) continue;
      if (++received > 1) ::_exit(128 + static_cast<int>(info.ssi_signo));
      onFirst_();
    }
  }

  std::function<void()> onFirst_;
  sigset_t signals_ {};
  sigset_t previous_ {};
  int signalFd_ = -1;
  int wakeFd_ = -1;
  std::thread thread_;
};

}  // namespace

std::string PrefixRefusal(const std::string& prefix) {
  if (prefix.empty()) return batch::kPrefixEmpty;
  if (prefix.find_first_of(batch::kPrefixForbidden) != std::string::npos) {
    return batch::kPrefixIllegal;
  }
  // The Settings field holds no more.
  if (CharacterCount(prefix) > 50) return "the prefix is longer than 50 characters";
  return "";
}

int RunBatchRepair(FileIo& io, const RepairArguments& arguments, std::ostream& out,
                   std::ostream& err) {
  const std::string refusal = PrefixRefusal(arguments.prefix);
  if (!refusal.empty()) {
    err << "drelin-repair: " << refusal << (refusal.back() == ' ' ? "" : " ") << "(--prefix '"
        << Shown(arguments.prefix) << "')\n";
    return kExitUsage;
  }
  struct stat folder {};
  const bool found = stat(arguments.outDir.c_str(), &folder) == 0;
  if (!found || !S_ISDIR(folder.st_mode)) {
    err << "drelin-repair: the output folder '" << Shown(arguments.outDir) << "' "
        << (found ? "is not a folder" : "does not exist") << " (--out-dir)\n";
    return kExitUsage;
  }

  BatchView view(arguments.sources, arguments.mode != "advance", out);
  BatchMessages messages(err);
  BatchFolder folders(arguments.outDir);
  BatchTimer timer;
  const std::string prefix = arguments.prefix;
  batch::RepairCommands commands(view, messages, folders, timer, [prefix] { return prefix; },
                                 platform::ProcessWorkFolder, io);

  // Ctrl+C is Stop, confirmed: the worker reads the flag after each file.
  std::atomic<bool> interrupted{false};
  const StopOnSignal stop([&interrupted] {
    interrupted = true;
    if (batch::g_bRepairing) batch::g_bStopRequested = true;
  });
  commands.OnRepair();
  if (view.m_nPage != 1) {
    platform::RemoveProcessWorkFolder();
    return kExitFileError;  // no folder for working files; the message is out
  }
  // A signal that came while the run was being started.
  if (interrupted) batch::g_bStopRequested = true;
  commands.WaitForWorker();
  view.FlushLog();

  const auto statuses = view.Statuses();
  const auto& sources = view.sources();
  for (size_t row = 0; row < sources.size(); ++row) {
    out << statuses[row] << " " << PathText(sources[row]) << "\n";
  }
  out << std::flush;
  if (arguments.mode != "advance") {
    for (size_t row = 0; row < sources.size(); ++row) {
      if (statuses[row] == batch::kStatusDone) err << AdvanceModeHint(io, sources[row]);
    }
  }
  bool complete = true;
  for (size_t row = 0; row < sources.size(); ++row) {
    if (statuses[row] == batch::kStatusFailed) {
      // Most reasons name the source already.
      const std::string& reason = view.reasons()[row];
      err << "drelin-repair: ";
      if (reason.find(sources[row]) == std::string::npos) err << Shown(sources[row]) << ": ";
      err << Shown(reason) << "\n";
      complete = false;
    } else if (statuses[row] != batch::kStatusDone) {
      err << "drelin-repair: " << Shown(sources[row]) << ": not repaired, the run was stopped\n";
      complete = false;
    }
  }

  try {
    commands.OnSave();
  } catch (const FileError& error) {
    err << "drelin-repair: " << Shown(error.what()) << "\n";
  }
  for (size_t row = 0; row < sources.size(); ++row) {
    if (statuses[row] == batch::kStatusDone && !view.saved()[row]) {
      err << "drelin-repair: " << Shown(sources[row]) << ": repaired but not saved\n";
      complete = false;
    }
  }
  // Working files not saved go with the folder.
  platform::RemoveProcessWorkFolder();
  return complete ? kExitSuccess : kExitFileError;
}

}  // namespace drelin::cli
