// The platform core: moves that never replace, lose or duplicate a file; the
// private temporary folder and the work folders, never following a planted
// entry nor touching another live process's files.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iterator>

#include "BatchHarness.h"
#include "NoReplaceMove.h"
#include "TempFolder.h"
#include "WorkFolder.h"

namespace drelin::testing {
namespace {

using platform::MoveNoReplace;
namespace fs = std::filesystem;

Bytes Pattern(size_t size) {
  Bytes bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + i / 251);
  return bytes;
}
fs::perms ModeOf(const std::string& path) { return fs::symlink_status(path).permissions(); }
struct Umask027 {
  const mode_t old = umask(027);
  ~Umask027() { umask(old); }
};

// A working file, readable by its owner only, to be moved into a folder of
// its own. Of the simulated file systems, kind % 3 is 0 native, 1 without
// renameat2's flags, 2 without those and hard links; kind / 3 puts the
// destination on another device. When `raced`, the name is taken meanwhile.
constexpr int kKinds = 6;
struct Move {
  Move(int kind, const Bytes& content, bool raced = false) {
    io.taken = raced ? to : "";
    io.skip = kind / 3;
    fs::create_directory(dir / "to");
    WriteFile(from, content);
    chmod(from.c_str(), 0600);
    io.noRenameFlags = kind % 3 >= 1;
    io.noLinks = kind % 3 == 2;
    if (kind / 3) io.otherDevice = dir / "to";
  }
  void Run() { MoveNoReplace(io, from, to); }
  size_t Placed() const { return size_t(std::distance(fs::directory_iterator(dir / "to"), {})); }

  TempDir dir;
  std::string from = dir / "working.dbf", to = dir / "to/Rep_1_orders.dbf";
  RacingIo io;
};

TEST(MoveNoReplace, NeverReplacesAnEntry) {
  for (const std::string entry : {"file", "dangling link", "link", "folder", "file raced"}) {
    for (int kind = 0; kind < kKinds; ++kind) {
      SCOPED_TRACE(entry + ", kind " + std::to_string(kind));
      Move move(kind, Pattern(1000), entry == "file raced");
      WriteFile(move.dir / "victim", {'k', 'e', 'e', 'p'});
      if (entry == "file") WriteFile(move.to, {'o', 'l', 'd'});
      if (entry == "dangling link") fs::create_symlink("/nonexistent/x", move.to);
      if (entry == "link") fs::create_symlink(move.dir / "victim", move.to);
      if (entry == "folder") fs::create_directory(move.to);
      try {
        move.Run();
        ADD_FAILURE() << "moved over it";
      } catch (const FileError& error) {
        EXPECT_EQ(error.error(), EEXIST) << error.what();
        EXPECT_NE(std::string(error.what()).find(move.from), std::string::npos) << error.what();
      }
      EXPECT_EQ(ReadFile(move.from), Pattern(1000));
      EXPECT_EQ(ReadFile(move.dir / "victim"), (Bytes{'k', 'e', 'e', 'p'}));
      EXPECT_TRUE(entry.rfind("file", 0) != 0 || ReadFile(move.to) == Bytes({'o', 'l', 'd'}));
      EXPECT_EQ(move.Placed(), 1u);
    }
  }
}

// Moves whole with a new file's permissions; failing any one system call
// instead leaves the file whole in exactly one place and no temporary name.
TEST(MoveNoReplace, AnySingleFailureLosesAndDuplicatesNothing) {
  const Umask027 mask;
  const Bytes content = Pattern(5000);
  for (int kind = 0; kind < kKinds; ++kind) {
    long calls = 0;
    for (long n = 0; n == 0 || n <= calls; ++n) {
      SCOPED_TRACE("kind " + std::to_string(kind) + ", failing call " + std::to_string(n));
      Move move(kind, content);
      move.io.FailAt(n);
      bool threw = false;
      try {
        move.Run();
      } catch (const FileError& error) {
        threw = true;
        EXPECT_EQ(error.error(), EIO) << error.what();
      }
      if (n == 0) {
        ASSERT_FALSE(threw);
        calls = move.io.count();
        EXPECT_EQ(ModeOf(move.to), fs::perms(0640));
      }
      // Only failures the move may ignore (closing, flushing a folder) pass.
      EXPECT_EQ(fs::exists(move.from), threw);
      EXPECT_EQ(move.Placed(), threw ? 0u : 1u);
      EXPECT_EQ(ReadFile(threw ? move.from : move.to), content);
    }
    EXPECT_GT(calls, 3);
  }
}

TEST(MoveNoReplace, RefusesWhatIsNotARegularFileAndCrossesRealFileSystems) {
  TempDir dir;
  WriteFile(dir / "target.dbf", {1, 2, 3});
  fs::create_symlink(dir / "target.dbf", dir / "link.dbf");
  fs::create_directory(dir / "folder.dbf");
  for (const std::string name : {"link.dbf", "folder.dbf", "missing.dbf"}) {
    EXPECT_THROW(MoveNoReplace(SystemFileIo(), dir / name, dir / "out.dbf"), FileError) << name;
  }
  EXPECT_EQ(dir.Entries(), (Words{"folder.dbf", "link.dbf", "target.dbf"}));

  // /dev/shm is a tmpfs; the temporary folder lies on the work disk.
  struct stat shm {}, tmp {};
  if (stat("/dev/shm", &shm) != 0 || stat(dir.path().c_str(), &tmp) || shm.st_dev == tmp.st_dev) {
    GTEST_SKIP() << "no second file system to move across";
  }
  const Umask027 mask;
  const Bytes content = Pattern(3'000'000);
  std::string shmDir = "/dev/shm/drelin-move-XXXXXX";
  ASSERT_NE(mkdtemp(shmDir.data()), nullptr);
  for (const bool toShm : {true, false}) {
    SCOPED_TRACE(toShm ? "to tmpfs" : "from tmpfs");
    const std::string from = toShm ? dir / "a.dbf" : shmDir + "/a.dbf";
    const std::string to = toShm ? shmDir + "/a.dbf" : dir / "a.dbf";
    WriteFile(from, content);
    chmod(from.c_str(), 0600);
    MoveNoReplace(SystemFileIo(), from, to);
    EXPECT_FALSE(fs::exists(from));
    EXPECT_EQ(ReadFile(to), content);
    EXPECT_EQ(ModeOf(to), fs::perms(0640));
  }
  fs::remove_all(shmDir);
}

// Points TMPDIR at a fresh folder while it lives.
struct TmpdirScope {
  TmpdirScope() { setenv("TMPDIR", dir.path().c_str(), 1); }
  ~TmpdirScope() { old.empty() ? unsetenv("TMPDIR") : setenv("TMPDIR", old.c_str(), 1); }
  std::string Private() const { return dir / ("tarnova-drelin-" + std::to_string(geteuid())); }

  const std::string old = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
  TempDir dir;
};

// Our folder gets closed to others; anything else there is refused, untouched.
TEST(UserTempFolder, IsPrivateAndNeverAPlantedEntry) {
  for (const std::string refusal :
       {"", "it is a symbolic link", "it is not a folder", "it belongs to another user"}) {
    SCOPED_TRACE(refusal);
    TmpdirScope scope;
    const std::string planted = scope.Private(), elsewhere = scope.dir / "elsewhere";
    fs::create_directory(elsewhere);
    chmod(elsewhere.c_str(), 0755);
    if (refusal == "") fs::rename(elsewhere, planted);
    if (refusal == "it is a symbolic link") fs::create_directory_symlink(elsewhere, planted);
    if (refusal == "it is not a folder") WriteFile(planted, {1});
    if (refusal == "it belongs to another user") {
      if (geteuid() != 0) continue;  // only root can give a folder away
      fs::create_directory(planted);
      ASSERT_EQ(chown(planted.c_str(), 65534, 65534), 0);
    }
    std::string result;
    try {
      result = platform::UserTempFolder(SystemFileIo());
    } catch (const FileError& error) {
      result = error.path() + ": " + error.reason();
    }
    EXPECT_EQ(result, planted + (refusal.empty() ? "/" : ": " + refusal));
    EXPECT_EQ(ModeOf(refusal.empty() ? planted : elsewhere),
              fs::perms(refusal.empty() ? 0700 : 0755));
  }
}

TEST(WorkFolder, EachHolderHasItsOwnAndOnlyAbandonedOnesAreRemoved) {
  TempDir parent;
  const std::string root = parent.path().string() + "/";
  // An ended process's folder, a folder of another kind, a planted link.
  fs::create_directory(root + "run-crash1");
  WriteFile(root + "run-crash1/0ozn_aqf_xrj_196_temp_1_a.dbf", {1});
  fs::create_directory(root + "other");
  TempDir elsewhere;
  WriteFile(elsewhere / "precious.dbf", {3});
  fs::create_directory_symlink(elsewhere.path(), root + "run-link");
  {
    platform::WorkFolder first(SystemFileIo(), root), second(SystemFileIo(), root);
    EXPECT_NE(first.path(), second.path());
    EXPECT_EQ(ModeOf(first.path()), fs::perms(0700));
    WriteFile(first.path() + "0ozn_aqf_xrj_196_temp_1_a.dbf", {2});
    platform::RemoveAbandonedWorkFolders(SystemFileIo(), root);
    EXPECT_EQ(parent.Entries().size(), 4u);
    EXPECT_FALSE(fs::exists(root + "run-crash1"));
    EXPECT_EQ(ReadFile(first.path() + "0ozn_aqf_xrj_196_temp_1_a.dbf"), Bytes{2});
  }
  EXPECT_EQ(parent.Entries(), (Words{"other", "run-link"}));
  EXPECT_EQ(ReadFile(elsewhere / "precious.dbf"), Bytes{3});
}

}  // namespace
}  // namespace drelin::testing
