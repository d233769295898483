// drelin-repair with a latch in its file layer, for tests that act at an
// exact moment of a run. Right after the first file call whose path contains
// $DRELIN_LATCH it writes one byte to descriptor 3 and waits for one byte
// (or the end) on descriptor 4; signals that come meanwhile are taken as
// they come. Everything else is the program itself.
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <iostream>
#include <string>

#include "Commands.h"
#include "Interrupt.h"

namespace {

class LatchIo : public drelin::FileIo {
 public:
  explicit LatchIo(std::string latch) : latch_(std::move(latch)) {}

  int Open(const char* path, int flags, mode_t mode) override {
    return Then(path, real().Open(path, flags, mode));
  }
  int Close(int fd) override { return real().Close(fd); }
  ssize_t Pread(int fd, void* buffer, size_t count, off_t offset) override {
    return real().Pread(fd, buffer, count, offset);
  }
  ssize_t Pwrite(int fd, const void* buffer, size_t count, off_t offset) override {
    return real().Pwrite(fd, buffer, count, offset);
  }
  int Fstat(int fd, struct stat* status) override { return real().Fstat(fd, status); }
  int Lstat(const char* path, struct stat* status) override {
    return Then(path, real().Lstat(path, status));
  }
  int Fsync(int fd) override { return real().Fsync(fd); }
  int Ftruncate(int fd, off_t length) override { return real().Ftruncate(fd, length); }
  ssize_t CopyFileRange(int inFd, off_t* inOffset, int outFd, off_t* outOffset,
                        size_t count) override {
    return real().CopyFileRange(inFd, inOffset, outFd, outOffset, count);
  }
  int Rename(const char* from, const char* to, unsigned flags) override {
    return Then(from, Then(to, real().Rename(from, to, flags)));
  }
  int Link(const char* from, const char* to) override {
    return Then(from, Then(to, real().Link(from, to)));
  }
  int Unlink(const char* path) override { return Then(path, real().Unlink(path)); }
  int Mkdir(const char* path, mode_t mode) override { return Then(path, real().Mkdir(path, mode)); }
  int Rmdir(const char* path) override { return Then(path, real().Rmdir(path)); }
  int Fchmod(int fd, mode_t mode) override { return real().Fchmod(fd, mode); }

 private:
  static drelin::FileIo& real() { return drelin::SystemFileIo(); }

  // Holds after the call on `path` that returned `result`, when it is the
  // first to name the latch.
  template <typename Result>
  Result Then(const char* path, Result result) {
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
  const char* latch = std::getenv("DRELIN_LATCH");
  LatchIo io(latch ? latch : "");
  const int code = drelin::cli::Main(argc, argv, std::cout, std::cerr, STDOUT_FILENO, io);
  std::cout.flush();
  return code;
}
