// The private temporary folder and the per-process work folders: never a
// planted entry followed, never another live process's files touched.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "FileError.h"
#include "TempDir.h"
#include "TempFolder.h"
#include "WorkFolder.h"

namespace drelin::testing {
namespace {

using platform::RemoveAbandonedWorkFolders;
using platform::UserTempFolder;
using platform::WorkFolder;

// Points TMPDIR at a fresh folder for one test.
class TmpdirScope {
 public:
  TmpdirScope() {
    const char* old = std::getenv("TMPDIR");
    if (old) old_ = old;
    setenv("TMPDIR", dir_.path().c_str(), 1);
  }
  ~TmpdirScope() {
    if (old_) {
      setenv("TMPDIR", old_->c_str(), 1);
    } else {
      unsetenv("TMPDIR");
    }
  }
  const TempDir& dir() const { return dir_; }
  std::string Private() const {
    return dir_ / ("tarnova-drelin-" + std::to_string(geteuid()));
  }

 private:
  TempDir dir_;
  std::optional<std::string> old_;
};

mode_t ModeOf(const std::string& path) {
  struct stat status {};
  EXPECT_EQ(lstat(path.c_str(), &status), 0) << path;
  return status.st_mode & 07777;
}

std::string RefusalOf(const std::string& planted) {
  try {
    UserTempFolder(SystemFileIo());
  } catch (const FileError& error) {
    EXPECT_EQ(error.path(), planted);
    return error.reason();
  }
  return "accepted";
}

TEST(UserTempFolder, IsMadePrivateToTheUser) {
  TmpdirScope scope;
  EXPECT_EQ(UserTempFolder(SystemFileIo()), scope.Private() + "/");
  EXPECT_EQ(ModeOf(scope.Private()), 0700u);
  EXPECT_EQ(UserTempFolder(SystemFileIo()), scope.Private() + "/");

  // A folder of ours that others could enter is closed to them.
  chmod(scope.Private().c_str(), 0755);
  UserTempFolder(SystemFileIo());
  EXPECT_EQ(ModeOf(scope.Private()), 0700u);
}

TEST(UserTempFolder, RefusesPlantedEntries) {
  {
    TmpdirScope scope;
    const std::string elsewhere = scope.dir() / "elsewhere";
    std::filesystem::create_directory(elsewhere);
    chmod(elsewhere.c_str(), 0755);
    ASSERT_EQ(symlink(elsewhere.c_str(), scope.Private().c_str()), 0);
    EXPECT_EQ(RefusalOf(scope.Private()), "it is a symbolic link");
    EXPECT_EQ(ModeOf(elsewhere), 0755u);
  }
  {
    TmpdirScope scope;
    WriteFile(scope.Private(), {1});
    EXPECT_EQ(RefusalOf(scope.Private()), "it is not a folder");
  }
  if (geteuid() == 0) {
    TmpdirScope scope;
    std::filesystem::create_directory(scope.Private());
    ASSERT_EQ(chown(scope.Private().c_str(), 65534, 65534), 0);
    EXPECT_EQ(RefusalOf(scope.Private()), "it belongs to another user");
  }
}

TEST(WorkFolder, EachOwnerGetsItsOwnFolderRemovedWithIt) {
  TempDir parent;
  const std::string root = parent.path().string() + "/";
  std::string firstPath;
  {
    WorkFolder first(SystemFileIo(), root);
    WorkFolder second(SystemFileIo(), root);
    firstPath = first.path();
    EXPECT_NE(first.path(), second.path());
    EXPECT_EQ(first.path().back(), '/');
    EXPECT_EQ(ModeOf(first.path()), 0700u);
    WriteFile(first.path() + "0ozn_aqf_xrj_196_temp_1_a.dbf", {1, 2});

    // Both are in use: a start elsewhere leaves them and their files alone.
    RemoveAbandonedWorkFolders(SystemFileIo(), root);
    EXPECT_EQ(parent.Entries().size(), 2u);
    EXPECT_TRUE(std::filesystem::exists(first.path() + "0ozn_aqf_xrj_196_temp_1_a.dbf"));
  }
  EXPECT_TRUE(parent.Entries().empty());
}

TEST(WorkFolder, LeftoversOfEndedProcessesAreRemovedAtStart) {
  TempDir parent;
  const std::string root = parent.path().string() + "/";
  // An ended process's folder: nobody holds its lock.
  std::filesystem::create_directory(root + "run-crash1");
  WriteFile(root + "run-crash1/0ozn_aqf_xrj_196_temp_1_a.dbf", {1});
  // A live process's folder, locked through its own descriptor.
  std::filesystem::create_directory(root + "run-alive1");
  WriteFile(root + "run-alive1/0ozn_aqf_xrj_196_temp_1_b.dbf", {2});
  const int held = open((root + "run-alive1").c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(held, 0);
  ASSERT_EQ(flock(held, LOCK_EX), 0);
  // Entries that are not work folders, and a planted link to one elsewhere.
  std::filesystem::create_directory(root + "other");
  TempDir elsewhere;
  WriteFile(elsewhere / "precious.dbf", {3});
  ASSERT_EQ(symlink(elsewhere.path().c_str(), (root + "run-link").c_str()), 0);

  RemoveAbandonedWorkFolders(SystemFileIo(), root);

  EXPECT_EQ(parent.Entries(), (std::vector<std::string>{"other", "run-alive1", "run-link"}));
  EXPECT_EQ(ReadFile(root + "run-alive1/0ozn_aqf_xrj_196_temp_1_b.dbf"), Bytes{2});
  EXPECT_EQ(ReadFile(elsewhere / "precious.dbf"), Bytes{3});
  close(held);
}

}  // namespace
}  // namespace drelin::testing
