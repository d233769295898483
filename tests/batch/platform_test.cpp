// The platform core: moves that never replace, lose or duplicate a file; the
// private temporary folder and the work folders, never following a planted
// entry nor touching another live process's files.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <iterator>
#include <memory>

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
        // The private copy is no name the user knows.
        EXPECT_EQ(std::string(error.what()).find(".part"), std::string::npos) << error.what();
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

// The user an ordinary user's checks run as: nobody when the tests run as
// root, else the tests' own user.
uid_t OrdinaryUser() { return geteuid() == 0 ? 65534 : geteuid(); }

// What UserTempFolder answers to OrdinaryUser() with TMPDIR at `tmpdir`: the
// probe runs from a copy in `tmpdir`, which that user can reach.
std::string UserTempFolderAsOrdinaryUser(const std::string& tmpdir) {
  const std::string probe = tmpdir + "/probe";
  fs::copy_file(TEMP_FOLDER_PROBE, probe);
  const std::string drop = geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
  std::unique_ptr<FILE, int (*)(FILE*)> output(
      popen(("TMPDIR='" + tmpdir + "' " + drop + "'" + probe + "'").c_str(), "r"), pclose);
  std::string answer;
  for (int c; output && (c = fgetc(output.get())) != EOF;) answer += char(c);
  fs::remove(probe);
  return answer;
}

// Run as an ordinary user: our folder is made, or closed to others when it
// was open; anything else there is refused and left untouched.
TEST(UserTempFolder, IsPrivateAndNeverAPlantedEntry) {
  const uid_t user = OrdinaryUser();
  for (const std::string refusal : {"", "(made)", "it is a symbolic link", "it is not a folder",
                                    "it belongs to another user"}) {
    SCOPED_TRACE(refusal);
    TempDir dir;
    fs::permissions(dir.path(), fs::perms::all);
    const std::string planted = dir / ("tarnova-drelin-" + std::to_string(user));
    const std::string elsewhere = dir / "elsewhere";
    fs::create_directory(elsewhere);
    chmod(elsewhere.c_str(), 0755);
    if (refusal == "") {
      fs::rename(elsewhere, planted);
      ASSERT_EQ(chown(planted.c_str(), user, user), 0);
    }
    if (refusal == "it is a symbolic link") fs::create_directory_symlink(elsewhere, planted);
    if (refusal == "it is not a folder") WriteFile(planted, {1});
    if (refusal == "it belongs to another user") {
      if (geteuid() != 0) continue;  // only root can plant another user's folder
      fs::create_directory(planted);
    }
    const bool ours = refusal.empty() || refusal == "(made)";
    EXPECT_EQ(UserTempFolderAsOrdinaryUser(dir.path()), planted + (ours ? "/" : ": " + refusal));
    EXPECT_EQ(ModeOf(ours ? planted : elsewhere), fs::perms(ours ? 0700 : 0755));
  }
}

// Another start sweeps leftovers at the worst moment for us: after our new
// folder is made, before it is locked.
struct SweepingIo : SimulatedIo {
  int Open(const char* path, int flags, mode_t mode) override {
    if (std::string(path).rfind(parent + "run-", 0) == 0 && !std::exchange(swept, true)) {
      platform::RemoveAbandonedWorkFolders(SystemFileIo(), parent);
    }
    return SimulatedIo::Open(path, flags, mode);
  }
  std::string parent;
  bool swept = false;
};

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
  SweepingIo io;
  io.parent = root;
  {
    platform::WorkFolder first(io, root), second(SystemFileIo(), root);
    EXPECT_TRUE(io.swept);
    EXPECT_NE(first.path(), second.path());
    EXPECT_EQ(ModeOf(first.path()), fs::perms(0700));
    WriteFile(first.path() + "0ozn_aqf_xrj_196_temp_1_a.dbf", {2});
    EXPECT_TRUE(fs::exists(root + "run-crash1"));  // no sweep while a folder is made
    platform::RemoveAbandonedWorkFolders(SystemFileIo(), root);
    EXPECT_EQ(parent.Entries().size(), 4u);
    EXPECT_FALSE(fs::exists(root + "run-crash1"));
    EXPECT_EQ(ReadFile(first.path() + "0ozn_aqf_xrj_196_temp_1_a.dbf"), Bytes{2});
  }
  EXPECT_EQ(parent.Entries(), (Words{"other", "run-link"}));
  EXPECT_EQ(ReadFile(elsewhere / "precious.dbf"), Bytes{3});
}

// Any one failing call, mkdtemp, opendir and flock included: a FileError
// naming a path in the folder, or a work folder that works; nothing is left
// that the next start's sweep does not remove.
TEST(WorkFolder, AnySingleFailureLeavesOnlyWhatTheNextSweepRemoves) {
  long calls = 0;
  for (long n = 0; n == 0 || n <= calls; ++n) {
    SCOPED_TRACE("failing call " + std::to_string(n));
    TempDir parent;
    const std::string root = parent.path().string() + "/";
    fs::create_directory(root + "run-crash1");
    SimulatedIo io;
    io.FailAt(n);
    try {
      platform::RemoveAbandonedWorkFolders(io, root);
      const platform::WorkFolder folder(io, root);
      WriteFile(folder.path() + "a.dbf", {1});
    } catch (const FileError& error) {
      EXPECT_EQ(error.path().rfind(root + "run-", 0), 0u) << error.what();
    }
    if (n == 0) calls = io.count();
    platform::RemoveAbandonedWorkFolders(SystemFileIo(), root);
    EXPECT_TRUE(parent.Entries().empty());
  }
  EXPECT_GT(calls, 10);
}

}  // namespace
}  // namespace drelin::testing
