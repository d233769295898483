// drelin-repair with a latch in its file layer, for tests that act at an
// exact moment of a run: `drelin-repair-latched LATCH ARGUMENTS...`. Right
// after the first file call whose path contains LATCH it writes one byte to
// descriptor 3 and waits for one byte (or the end) on descriptor 4; signals
// that come meanwhile are taken as they come. Everything else is the program
// itself.
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <clocale>
#include <iostream>
#include <string>

#include "Commands.h"
#include "Interrupt.h"
#include "SimulatedIo.h"

namespace {

class LatchIo : public drelin::testing::SimulatedIo {
 public:
  explicit LatchIo(std::string latch) : latch_(std::move(latch)) {}

  int Open(const char* path, int flags, mode_t mode) override {
    return Then(path, SimulatedIo::Open(path, flags, mode));
  }
  int Lstat(const char* path, struct stat* status) override {
    return Then(path, SimulatedIo::Lstat(path, status));
  }
  int Rename(const char* from, const char* to, unsigned flags) override {
    return Then(from, Then(to, SimulatedIo::Rename(from, to, flags)));
  }
  int Link(const char* from, const char* to) override {
    return Then(from, Then(to, SimulatedIo::Link(from, to)));
  }
  int Unlink(const char* path) override { return Then(path, SimulatedIo::Unlink(path)); }

 private:
  // Holds after the call on `path` that returned `result`, when it is the
  // first to name the latch.
  int Then(const char* path, int result) {
    const int error = errno;
    if (!latch_.empty() && std::string(path).find(latch_) != std::string::npos &&
        !reached_.exchange(true)) {
      const char reached = 1;
      while (write(3, &reached, 1) < 0 && errno == EINTR) {
      }
      char go = 0;
      while (read(4, &go, 1) < 0 && errno == EINTR) {
      }
    }
    errno = error;
    return result;
  }

  std::string latch_;
  std::atomic<bool> reached_{false};
};

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_CTYPE, "C.UTF-8");
  drelin::cli::InstallInterruptHandler();
  if (argc < 2) return 2;
  LatchIo io(argv[1]);
  argv[1] = argv[0];
  const int code = drelin::cli::Main(argc - 1, argv + 1, std::cout, std::cerr, STDOUT_FILENO, io);
  std::cout.flush();
  return code;
}
