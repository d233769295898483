#include "BatchRepair.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <functional>
#include <ostream>
#include <thread>

#include "BatchTexts.h"
#include "BatchView.h"
#include "File.h"
#include "FileEntry.h"
#include "FileError.h"
#include "FilePrefix.h"
#include "Interrupt.h"
#include "PartName.h"
#include "RepairCommands.h"
#include "RepairFlags.h"
#include "TerminalText.h"
#include "WorkFolder.h"

namespace drelin::cli {

namespace {

// Takes SIGINT, SIGTERM and SIGHUP for as long as it lives: the signals are
// blocked in the creating thread (and so in every thread it starts
// afterwards) and read by one waiting thread, which hands each to
// `onSignal`.
class SignalReader {
 public:
  explicit SignalReader(std::function<void(int)> onSignal) : onSignal_(std::move(onSignal)) {
    sigemptyset(&signals_);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&signals_, signal);
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
  ~SignalReader() {
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
  SignalReader(const SignalReader&) = delete;
  SignalReader& operator=(const SignalReader&) = delete;

 private:
  void Wait() {
    for (;;) {
      pollfd fds[2] = {{signalFd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
      if (poll(fds, 2, -1) < 0) continue;
      if (fds[1].revents) return;
      signalfd_siginfo info {};
      if (read(signalFd_, &info, sizeof info) != sizeof info) continue;
      onSignal_(static_cast<int>(info.ssi_signo));
    }
  }

  std::function<void(int)> onSignal_;
  sigset_t signals_ {};
  sigset_t previous_ {};
  int signalFd_ = -1;
  int wakeFd_ = -1;
  std::thread thread_;
};

// Straight to stderr, from the thread that reads signals, while the other
// threads may be writing there too.
void Notice(const char* text) {
  if (::write(STDERR_FILENO, text, std::strlen(text)) < 0) {
  }
}

// What a signal does depends on how far the run has come. Before and during
// the repairs the first one is Stop (no further table is started, those
// repaired are saved) and the second ends the process at once, with the
// working files; while saving, the table being saved is finished and the
// save ends there, so nothing is ever left half-written in the output folder.
class SignalPolicy {
 public:
  explicit SignalPolicy(BatchView& view) : view_(view) {}

  void OnSignal(int signal) {
    // Each notice follows what it announces.
    if (saving_) {
      if (saveStopped_.exchange(true)) return;
      view_.StopSaving();
      Notice(
          "drelin-repair: stopping the save after the table in hand; the repaired tables not "
          "yet saved will be discarded (their sources are unchanged)\n");
      return;
    }
    if (!stopped_.exchange(true)) {
      if (batch::g_bRepairing) batch::g_bStopRequested = true;
      Notice(
          "drelin-repair: stopping after the table in hand; the tables repaired will be saved "
          "(a second signal ends at once, saving nothing)\n");
      return;
    }
    Notice("drelin-repair: ended at once; nothing was saved\n");
    platform::RemoveProcessWorkFolder();
    ::_exit(kExitSignal + signal);
  }
  void StartSaving() { saving_ = true; }
  bool stopped() const { return stopped_; }

 private:
  BatchView& view_;
  std::atomic<bool> saving_{false};
  std::atomic<bool> stopped_{false};
  std::atomic<bool> saveStopped_{false};
};

// Why `folder` cannot take the saved tables; empty when it can. Writing is
// tried rather than foretold from permission bits, which know nothing of a
// read-only file system or access lists.
std::string OutDirRefusal(FileIo& io, const std::string& folder) {
  const int fd = io.Open(folder.c_str(), O_PATH | O_DIRECTORY, 0);
  if (fd < 0) {
    if (errno == ENOENT) return "does not exist";
    if (errno == ENOTDIR) return "is not a folder";
    return std::string("cannot be used: ") + std::strerror(errno);
  }
  io.Close(fd);
  const std::string probe = platform::PartNameIn(folder);
  try {
    File::Create(io, probe, File::Creation::kExclusive, 0600);
  } catch (const FileError& error) {
    return "cannot be written to: " + error.reason();
  }
  try {
    platform::RemoveEntry(io, probe);
  } catch (const FileError&) {
  }
  return "";
}

// The status lines, then why each row that is not done is not.
bool ReportRows(FileIo& io, const BatchView& view, bool normalMode, std::ostream& out,
                std::ostream& err) {
  const auto statuses = view.Statuses();
  const auto& sources = view.sources();
  for (size_t row = 0; row < sources.size(); ++row) {
    out << statuses[row] << " " << PathText(sources[row]) << "\n";
  }
  out << std::flush;
  for (size_t row = 0; row < sources.size(); ++row) {
    if (statuses[row] != batch::kStatusDone) continue;
    err << (normalMode ? AdvanceModeHint(io, sources[row]) : AdvanceNote(io, sources[row]));
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
  return complete;
}

}  // namespace

int RunBatchRepair(FileIo& io, const RepairArguments& arguments, std::ostream& out,
                   std::ostream& err) {
  const std::string refusal = batch::PrefixRefusal(arguments.prefix);
  if (!refusal.empty()) {
    err << "drelin-repair: " << refusal << (refusal.back() == ' ' ? "" : " ") << "(--prefix '"
        << Shown(arguments.prefix) << "')\n";
    return kExitUsage;
  }

  const bool normalMode = arguments.mode != "advance";
  BatchView view(arguments.sources, normalMode, out);
  SignalPolicy policy(view);
  // Lives until the working folder is gone, so no signal can end the
  // process with it still there.
  const SignalReader signals([&policy](int signal) { policy.OnSignal(signal); });
  // One that came before the reader took over.
  if (const int early = InterruptSignal()) policy.OnSignal(early);

  const std::string folderRefusal = OutDirRefusal(io, arguments.outDir);
  if (!folderRefusal.empty()) {
    err << "drelin-repair: the output folder '" << Shown(arguments.outDir) << "' "
        << folderRefusal << " (--out-dir)\n";
    return kExitUsage;
  }

  BatchMessages messages(err);
  BatchFolder folders(arguments.outDir);
  BatchTimer timer;
  const std::string prefix = arguments.prefix;
  batch::RepairCommands commands(view, messages, folders, timer, [prefix] { return prefix; },
                                 platform::ProcessWorkFolder, io);
  // A stop before the run began starts nothing: every row stays Pending.
  if (!policy.stopped()) {
    commands.OnRepair();
    if (view.m_nPage != 1) {
      platform::RemoveProcessWorkFolder();
      return kExitFileError;  // no folder for working files; the message is out
    }
    // A signal that came while the run was being started.
    if (policy.stopped()) batch::g_bStopRequested = true;
    commands.WaitForWorker();
  }
  view.FlushLog();
  bool complete = ReportRows(io, view, normalMode, out, err);

  policy.StartSaving();
  try {
    commands.OnSave();
  } catch (const FileError& error) {
    err << "drelin-repair: " << Shown(error.what()) << "\n";
  }
  const auto statuses = view.Statuses();
  for (size_t row = 0; row < statuses.size(); ++row) {
    if (statuses[row] == batch::kStatusDone && !view.saved()[row]) {
      err << "drelin-repair: " << Shown(view.sources()[row]) << ": repaired but not saved\n";
      complete = false;
    }
  }
  // Working files not saved go with the folder.
  platform::RemoveProcessWorkFolder();
  return complete ? kExitSuccess : kExitFileError;
}

}  // namespace drelin::cli
