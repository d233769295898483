// Working-file names: what keeps the files of a run apart, and the save name.
#include "WorkingFileNamer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "TempDir.h"

namespace drelin::testing {
namespace {

using batch::WorkingFileNamer;

TEST(WorkingFileNamer, NamesCarryRowMarkerPartAndFileName) {
  TempDir dir;
  WriteFile(dir / "orders.dbf", {1});
  WriteFile(dir / "x.dbf", {1});
  const WorkingFileNamer namer("/w/", SystemFileIo());

  EXPECT_EQ(namer.BuildWorkingPath(dir / "orders.dbf", 0, 0),
            "/w/0ozn_aqf_xrj_196_temp_1_orders.dbf");
  EXPECT_EQ(namer.BuildWorkingPath(dir / "orders.dbf", 1, 0),
            "/w/0ozn_aqf_xrj_196_temp_2_orders.dbf");
  EXPECT_EQ(namer.BuildWorkingPath(dir / "x.dbf", 0, 10), "/w/10ozn_aqf_xrj_196_temp_1_x.dbf");
  EXPECT_EQ(namer.BuildWorkingPath(dir / "x.dbf", 0, 1), "/w/1ozn_aqf_xrj_196_temp_1_x.dbf");
  // A folder given without its separator gets one.
  EXPECT_EQ(WorkingFileNamer("/w", SystemFileIo()).BuildWorkingPath(dir / "x.dbf", 0, 3),
            "/w/3ozn_aqf_xrj_196_temp_1_x.dbf");
}

TEST(WorkingFileNamer, UnreadableSourcesHaveNoFileName) {
  TempDir dir;
  std::filesystem::create_directory(dir / "folder.dbf");
  ASSERT_EQ(mkfifo((dir / "pipe.dbf").c_str(), 0600), 0);  // must not hang
  const WorkingFileNamer namer("/w/", SystemFileIo());
  for (const std::string name : {"missing.dbf", "folder.dbf", "pipe.dbf"}) {
    EXPECT_EQ(namer.BuildWorkingPath(dir / name, 0, 2), "/w/2ozn_aqf_xrj_196_temp_1_") << name;
  }
  // The path alone still names what a repair of it wrote.
  EXPECT_EQ(namer.WorkingPathFor(dir / "missing.dbf", 0, 2),
            "/w/2ozn_aqf_xrj_196_temp_1_missing.dbf");
}

TEST(WorkingFileNamer, SaveNameReplacesRowAndMarkerByThePrefix) {
  const WorkingFileNamer namer("/w/", SystemFileIo());
  EXPECT_EQ(namer.ToSaveName("/out/0ozn_aqf_xrj_196_temp_1_orders.dbf", 0, "Rep"),
            "/out/Rep_1_orders.dbf");
  EXPECT_EQ(namer.ToSaveName("/out/0ozn_aqf_xrj_196_temp_1_orders.dbf", 0, "Arch"),
            "/out/Arch_1_orders.dbf");
  // Without row and marker, or with another row's, nothing changes.
  EXPECT_EQ(namer.ToSaveName("/out/orders.dbf", 0, "Rep"), "/out/orders.dbf");
  EXPECT_EQ(namer.ToSaveName("3ozn_aqf_xrj_196_temp_1_a.dbf", 4, "Rep"),
            "3ozn_aqf_xrj_196_temp_1_a.dbf");
  EXPECT_EQ(namer.ToSaveName("0OZN_aqf_xrj_196_temp_1_a.dbf", 0, "Rep"),
            "0OZN_aqf_xrj_196_temp_1_a.dbf");
}

}  // namespace
}  // namespace drelin::testing
