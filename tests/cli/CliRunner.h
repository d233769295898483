// CliRunner: runs the drelin-repair program as a user would, capturing its
// exit code, stdout and stderr. A run that hangs is killed after a while and
// reported as such, so a test of bad input can never hang the suite.
//
// CliProcess also runs the latched build of the program (latched_main.cpp),
// which holds still right after a chosen file call, so a test can send it
// signals at that exact moment and let it go on.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

extern char** environ;

namespace drelin::testing {

struct CliResult {
  int code = -1;  // exit code; -1 when killed
  std::string out;
  std::string err;
  bool timedOut = false;
};

class CliProcess {
 public:
  // The latched program holds right after the first file call whose path
  // contains `latch`; empty runs the program itself.
  CliProcess(const std::vector<std::string>& arguments, const std::string& workingDir = "",
             const std::string& latch = "", int timeoutSeconds = 30)
      : deadline_(std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds)) {
    std::vector<std::string> all{DRELIN_REPAIR_BINARY};
    if (!latch.empty()) all = {DRELIN_LATCHED_BINARY, latch};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& argument : all) argv.push_back(argument.data());
    argv.push_back(nullptr);

    int outPipe[2], errPipe[2], latchPipe[2], goPipe[2];
    if (pipe2(outPipe, O_CLOEXEC) != 0 || pipe2(errPipe, O_CLOEXEC) != 0 ||
        pipe2(latchPipe, O_CLOEXEC) != 0 || pipe2(goPipe, O_CLOEXEC) != 0) {
      return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], STDERR_FILENO);
    posix_spawn_file_actions_adddup2(&actions, latchPipe[1], 3);
    posix_spawn_file_actions_adddup2(&actions, goPipe[0], 4);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (!workingDir.empty()) posix_spawn_file_actions_addchdir_np(&actions, workingDir.c_str());
    const bool spawned = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    for (const int fd : {outPipe[1], errPipe[1], latchPipe[1], goPipe[0]}) close(fd);
    fds_[0] = outPipe[0];
    fds_[1] = errPipe[0];
    fds_[2] = latchPipe[0];
    go_ = goPipe[1];
    if (!spawned) {
      pid_ = 0;
      Close();
    }
  }
  ~CliProcess() {
    if (pid_ > 0) Finish();
  }
  CliProcess(const CliProcess&) = delete;
  CliProcess& operator=(const CliProcess&) = delete;

  const CliResult& result() const { return result_; }

  // Reads the output until the program holds at its latch; false when it
  // ended (or hung) first.
  bool WaitForLatch() {
    return Pump([this] { return latched_; });
  }
  // Reads the output until stderr holds `text`.
  bool WaitForError(const std::string& text) {
    return Pump([&] { return result_.err.find(text) != std::string::npos; });
  }
  // Waits until the program has taken every signal sent to it, or ended.
  void WaitUntilTaken() const {
    while (Pending() && std::chrono::steady_clock::now() < deadline_) sched_yield();
  }
  void Signal(int signal) const { kill(pid_, signal); }
  // Lets the program go on (unless `release` is false: it is to end by
  // itself), reads everything left and waits for the end.
  const CliResult& Finish(bool release = true) {
    if (release && go_ >= 0) close(go_);
    if (release) go_ = -1;
    Pump([] { return false; });
    Close();
    int status = 0;
    if (pid_ > 0) waitpid(pid_, &status, 0);
    pid_ = 0;
    result_.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result_;
  }

 private:
  // Reads stdout, stderr and the latch until `done` or until all are closed.
  bool Pump(const std::function<bool()>& done) {
    std::string* sinks[2] = {&result_.out, &result_.err};
    while (!done()) {
      pollfd polled[3];
      int count = 0;
      for (const int fd : fds_) {
        if (fd >= 0) polled[count++] = {fd, POLLIN, 0};
      }
      if (count == 0) return false;
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline_ - std::chrono::steady_clock::now());
      if (left.count() <= 0) {
        kill(pid_, SIGKILL);
        result_.timedOut = true;
        Close();
        return false;
      }
      if (poll(polled, static_cast<nfds_t>(count), static_cast<int>(left.count())) <= 0) continue;
      for (int i = 0; i < count; ++i) {
        if (!(polled[i].revents & (POLLIN | POLLHUP))) continue;
        char buffer[65536];
        const ssize_t got = read(polled[i].fd, buffer, sizeof buffer);
        int& fd = *std::find(std::begin(fds_), std::end(fds_), polled[i].fd);
        if (got <= 0) {
          close(fd);
          fd = -1;
        } else if (&fd == &fds_[2]) {
          latched_ = true;
        } else {
          sinks[&fd - fds_]->append(buffer, static_cast<size_t>(got));
        }
      }
    }
    return true;
  }
  bool Pending() const {
    FILE* status = fopen(("/proc/" + std::to_string(pid_) + "/status").c_str(), "r");
    if (!status) return false;
    char line[256];
    bool pending = false;
    while (fgets(line, sizeof line, status)) {
      const std::string text = line;
      if (text.rfind("State:\tZ", 0) == 0) break;  // ended: no more to take
      if (text.rfind("SigPnd:", 0) == 0 || text.rfind("ShdPnd:", 0) == 0) {
        pending = pending || std::stoull(text.substr(7), nullptr, 16) != 0;
      }
    }
    fclose(status);
    return pending;
  }
  void Close() {
    for (int& fd : fds_) {
      if (fd >= 0) close(fd);
      fd = -1;
    }
    if (go_ >= 0) close(go_);
    go_ = -1;
  }

  std::chrono::steady_clock::time_point deadline_;
  pid_t pid_ = 0;
  int fds_[3] = {-1, -1, -1};  // stdout, stderr, latch
  int go_ = -1;
  bool latched_ = false;
  CliResult result_;
};

inline CliResult RunCli(const std::vector<std::string>& arguments, const std::string& workingDir = "",
                        int timeoutSeconds = 30) {
  return CliProcess(arguments, workingDir, "", timeoutSeconds).Finish();
}

}  // namespace drelin::testing
