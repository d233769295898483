// Moves that must never replace, lose or duplicate a file, on every kind of
// file system the program meets and with any single step failing.
#include "NoReplaceMove.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "FileError.h"
#include "NewFileMode.h"
#include "SimulatedIo.h"
#include "TempDir.h"

namespace drelin::testing {
namespace {

using platform::MoveNoReplace;

Bytes Pattern(size_t size) {
  Bytes bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + i / 251);
  return bytes;
}

mode_t ModeOf(const std::string& path) {
  struct stat status {};
  EXPECT_EQ(lstat(path.c_str(), &status), 0) << path;
  return status.st_mode & 07777;
}

bool Exists(const std::string& path) {
  struct stat status {};
  return lstat(path.c_str(), &status) == 0;
}

// A source folder and a destination folder; the source file is written
// readable by its owner only, as a temporary file would be.
struct MoveFixture {
  explicit MoveFixture(const Bytes& content, const std::string& destinationRoot = "") {
    std::filesystem::create_directory(dir / "from");
    if (destinationRoot.empty()) {
      destination = dir / "to";
      std::filesystem::create_directory(destination);
    } else {
      std::string pattern = destinationRoot + "/drelin-move-XXXXXX";
      if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
      destination = pattern;
    }
    from = dir / "from/working.dbf";
    to = destination + "/Rep_1_orders.dbf";
    WriteFile(from, content);
    chmod(from.c_str(), 0600);
  }
  ~MoveFixture() {
    std::error_code ignored;
    std::filesystem::remove_all(destination, ignored);
  }
  size_t DestinationEntries() const {
    size_t count = 0;
    for (auto it = std::filesystem::directory_iterator(destination);
         it != std::filesystem::directory_iterator(); ++it) {
      ++count;
    }
    return count;
  }

  TempDir dir;
  std::string destination;
  std::string from;
  std::string to;
};

struct FileSystemKind {
  const char* name;
  bool noRenameFlags;
  bool noLinks;
  bool crossDevice;
};

class MoveOnEveryFileSystem : public ::testing::TestWithParam<FileSystemKind> {
 protected:
  void Configure(SimulatedIo& io, const MoveFixture& fixture) const {
    io.noRenameFlags = GetParam().noRenameFlags;
    io.noLinks = GetParam().noLinks;
    if (GetParam().crossDevice) io.otherDevice = fixture.destination;
  }
};

TEST_P(MoveOnEveryFileSystem, NeverReplacesAnyExistingEntry) {
  const Bytes content = Pattern(1000);
  for (const std::string kind : {"file", "dangling link", "link to file", "folder"}) {
    SCOPED_TRACE(kind);
    MoveFixture fixture(content);
    SimulatedIo io;
    Configure(io, fixture);
    const std::string victim = fixture.dir / "victim";
    WriteFile(victim, {'k', 'e', 'e', 'p'});
    if (kind == "file") WriteFile(fixture.to, {'o', 'l', 'd'});
    if (kind == "dangling link") {
      ASSERT_EQ(symlink("/nonexistent/x", fixture.to.c_str()), 0);
    }
    if (kind == "link to file") {
      ASSERT_EQ(symlink(victim.c_str(), fixture.to.c_str()), 0);
    }
    if (kind == "folder") std::filesystem::create_directory(fixture.to);

    try {
      MoveNoReplace(io, fixture.from, fixture.to);
      ADD_FAILURE() << "moved over an existing " << kind;
    } catch (const FileError& error) {
      EXPECT_EQ(error.error(), EEXIST) << error.what();
      EXPECT_NE(std::string(error.what()).find(fixture.from), std::string::npos) << error.what();
    }
    EXPECT_EQ(ReadFile(fixture.from), content);
    EXPECT_EQ(ReadFile(victim), (Bytes{'k', 'e', 'e', 'p'}));
    if (kind == "file") {
      EXPECT_EQ(ReadFile(fixture.to), (Bytes{'o', 'l', 'd'}));
    }
    EXPECT_EQ(fixture.DestinationEntries(), 1u);
  }
}

// Moves whole, with a new file's permissions; then a failure walks over
// every system call of the move: each time the file is whole in exactly one
// place, the error is a FileError, and no temporary name is left.
TEST_P(MoveOnEveryFileSystem, AnySingleFailureLosesAndDuplicatesNothing) {
  const Bytes content = Pattern(5000);
  long calls = 0;
  {
    MoveFixture fixture(content);
    SimulatedIo io;
    Configure(io, fixture);
    MoveNoReplace(io, fixture.from, fixture.to);
    calls = io.count();
    EXPECT_FALSE(Exists(fixture.from));
    EXPECT_EQ(ReadFile(fixture.to), content);
    EXPECT_EQ(ModeOf(fixture.to), platform::NewFileMode());
    EXPECT_EQ(fixture.DestinationEntries(), 1u);
  }
  ASSERT_GT(calls, 3);
  for (long n = 1; n <= calls; ++n) {
    SCOPED_TRACE("failing call " + std::to_string(n) + " of " + std::to_string(calls));
    MoveFixture fixture(content);
    SimulatedIo io;
    Configure(io, fixture);
    io.FailAt(n);
    bool threw = false;
    try {
      MoveNoReplace(io, fixture.from, fixture.to);
    } catch (const FileError& error) {
      threw = true;
      EXPECT_EQ(error.error(), EIO) << error.what();
    }
    ASSERT_TRUE(io.failed());
    if (threw) {
      EXPECT_EQ(ReadFile(fixture.from), content);
      EXPECT_FALSE(Exists(fixture.to));
      EXPECT_EQ(fixture.DestinationEntries(), 0u);
    } else {
      // Only a failure the move may ignore (closing or flushing a folder).
      EXPECT_FALSE(Exists(fixture.from));
      EXPECT_EQ(ReadFile(fixture.to), content);
      EXPECT_EQ(fixture.DestinationEntries(), 1u);
    }
  }
}

// A name that appears after the existence check is still never replaced.
TEST_P(MoveOnEveryFileSystem, NameTakenAtTheLastMomentIsReportedAsTaken) {
  MoveFixture fixture(Pattern(100));
  SimulatedIo io;
  Configure(io, fixture);
  const bool across = GetParam().crossDevice;
  // Fail the step that would create the final name as if it were taken.
  if (GetParam().noRenameFlags && GetParam().noLinks) {
    io.FailAt(across ? 3 : 2, EEXIST, {SimulatedIo::kOpen});
  } else if (GetParam().noRenameFlags) {
    io.FailAt(1, EEXIST, {SimulatedIo::kLink});
  } else {
    io.FailAt(across ? 2 : 1, EEXIST, {SimulatedIo::kRename});
  }
  try {
    MoveNoReplace(io, fixture.from, fixture.to);
    ADD_FAILURE() << "no error";
  } catch (const FileError& error) {
    EXPECT_EQ(error.error(), EEXIST) << error.what();
  }
  EXPECT_TRUE(io.failed());
  EXPECT_EQ(ReadFile(fixture.from), Pattern(100));
  EXPECT_EQ(fixture.DestinationEntries(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    FileSystems, MoveOnEveryFileSystem,
    ::testing::Values(FileSystemKind{"Native", false, false, false},
                      FileSystemKind{"NoRenameFlags", true, false, false},
                      FileSystemKind{"NoLinks", true, true, false},
                      FileSystemKind{"CrossDevice", false, false, true},
                      FileSystemKind{"CrossDeviceNoRenameFlags", true, false, true},
                      FileSystemKind{"CrossDeviceNoLinks", true, true, true}),
    [](const ::testing::TestParamInfo<FileSystemKind>& info) { return info.param.name; });

TEST(MoveNoReplace, RefusesWhatIsNotARegularFile) {
  TempDir dir;
  const std::string target = dir / "target.dbf";
  WriteFile(target, {1, 2, 3});
  ASSERT_EQ(symlink(target.c_str(), (dir / "link.dbf").c_str()), 0);
  std::filesystem::create_directory(dir / "folder.dbf");

  for (const std::string name : {"link.dbf", "folder.dbf", "missing.dbf"}) {
    SCOPED_TRACE(name);
    EXPECT_THROW(MoveNoReplace(SystemFileIo(), dir / name, dir / "out.dbf"), FileError);
    EXPECT_FALSE(Exists(dir / "out.dbf"));
  }
  EXPECT_TRUE(Exists(dir / "link.dbf"));
  EXPECT_EQ(ReadFile(target), (Bytes{1, 2, 3}));
}

TEST(MoveNoReplace, MovesAcrossRealFileSystems) {
  // /dev/shm is a tmpfs; the temporary folder lies on the work disk.
  struct stat shm {}, tmp {};
  const std::string local = std::filesystem::temp_directory_path().string();
  if (stat("/dev/shm", &shm) != 0 || stat(local.c_str(), &tmp) != 0 || shm.st_dev == tmp.st_dev) {
    GTEST_SKIP() << "no second file system to move across";
  }
  for (const bool toShm : {true, false}) {
    SCOPED_TRACE(toShm ? "to tmpfs" : "from tmpfs");
    const Bytes content = Pattern(3'000'000);
    std::string pattern = "/dev/shm/drelin-move-XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    TempDir dir;
    const std::string shmFile = pattern + "/a.dbf";
    const std::string from = toShm ? dir / "a.dbf" : shmFile;
    const std::string to = toShm ? shmFile : dir / "b.dbf";
    WriteFile(from, content);

    MoveNoReplace(SystemFileIo(), from, to);
    EXPECT_FALSE(Exists(from));
    EXPECT_EQ(ReadFile(to), content);
    EXPECT_EQ(ModeOf(to), platform::NewFileMode());
    std::filesystem::remove_all(pattern);
  }
}

TEST(MoveNoReplace, FollowsTheUmask) {
  MoveFixture fixture(Pattern(10));
  const mode_t old = umask(027);
  MoveNoReplace(SystemFileIo(), fixture.from, fixture.to);
  umask(old);
  EXPECT_EQ(ModeOf(fixture.to), 0640u);
}

}  // namespace
}  // namespace drelin::testing
