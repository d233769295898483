// Saving and discarding a run's results: names and collisions, what is moved
// and what never is, the leave and close checks, and that no failure loses or
// duplicates a file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "BatchHarness.h"
#include "FileError.h"
#include "RepairSaver.h"
#include "SimulatedIo.h"

namespace drelin::testing {
namespace {

using batch::kIdCancel;
using batch::kIdNo;
using batch::kIdYes;

class SavingTest : public BatchHarness {
 protected:
  // Rows with the given statuses, each with its working files for `parts`
  // planted, holding the row's own bytes; no worker runs.
  void PlantRows(const std::vector<std::pair<std::string, std::string>>& namesAndWords,
                 int parts = 1) {
    std::vector<std::pair<std::string, std::string>> rows;
    for (size_t row = 0; row < namesAndWords.size(); ++row) {
      const auto& [name, word] = namesAndWords[row];
      const std::string path = sources / name;
      WriteFile(path, DamagedTable());
      rows.emplace_back(path, word);
      for (int part = 0; part < parts; ++part) {
        WriteFile(WorkingPath(static_cast<int>(row), part, name), Content(row, part));
      }
    }
    view.SetRows(rows);
    view.m_nPage = 1;
    view.m_bSaved = false;
  }
  static Bytes Content(size_t row, int part) {
    return Bytes{static_cast<uint8_t>('A' + row), static_cast<uint8_t>('0' + part)};
  }
  batch::RepairSaver Saver() { return commands.Saver(); }
  std::vector<std::string> Saved() const { return destination.Entries(); }
  std::vector<std::string> Working() const { return work.Entries(); }
  std::string Dest(const std::string& name) const { return destination / name; }
};

TEST_F(SavingTest, SaveMovesOnlyDoneRowsThenReturnsToTheFilePage) {
  PlantRows({{"orders.dbf", "Done"}, {"bad.dbf", "Failed"}, {"later.dbf", "Pending"},
             {"items.dbf", "Done"}});
  view.files = {{"x", true}};

  commands.OnSave();

  EXPECT_EQ(folders.titles, (std::vector<std::string>{"Please select the path to Save the files"}));
  EXPECT_EQ(Saved(), (std::vector<std::string>{"Rep_1_items.dbf", "Rep_1_orders.dbf"}));
  EXPECT_EQ(ReadFile(Dest("Rep_1_orders.dbf")), Content(0, 0));
  EXPECT_EQ(ReadFile(Dest("Rep_1_items.dbf")), Content(3, 0));
  // "Failed" and "Pending" rows are never moved.
  EXPECT_EQ(Working(), (std::vector<std::string>{"1ozn_aqf_xrj_196_temp_1_bad.dbf",
                                                 "2ozn_aqf_xrj_196_temp_1_later.dbf"}));
  EXPECT_EQ(view.screen().savingTexts,
            (std::vector<std::string>{"", sources / "orders.dbf", sources / "items.dbf"}));
  EXPECT_FALSE(view.screen().savingOpen);
  EXPECT_TRUE(view.m_bSaved);
  EXPECT_EQ(view.m_nPage, 0);
  EXPECT_EQ(view.screen().statuses.size(), 0u);
  EXPECT_TRUE(view.files.empty());
  EXPECT_TRUE(messages.shown.empty());

  // A second Save does nothing.
  commands.OnSave();
  EXPECT_EQ(folders.titles.size(), 1u);
}

TEST_F(SavingTest, CollisionsInsertTheMarkAfterEveryPrefix) {
  PlantRows({{"orders.dbf", "Done"}, {"Report.dbf", "Done"}});
  WriteFile(Dest("Rep_1_orders.dbf"), {'o', 'l', 'd'});
  WriteFile(Dest("Rep_(1)_1_orders.dbf"), {'o', 'l', 'd', '2'});
  WriteFile(Dest("Rep_1_Report.dbf"), {'o', 'l', 'd', '3'});

  Saver().SaveAll(destination.path().string());

  EXPECT_EQ(ReadFile(Dest("Rep_(1)_(1)_1_orders.dbf")), Content(0, 0));
  EXPECT_EQ(ReadFile(Dest("Rep_(1)_1_Rep_(1)ort.dbf")), Content(1, 0));
  EXPECT_EQ(ReadFile(Dest("Rep_1_orders.dbf")), (Bytes{'o', 'l', 'd'}));
  EXPECT_EQ(ReadFile(Dest("Rep_(1)_1_orders.dbf")), (Bytes{'o', 'l', 'd', '2'}));
  EXPECT_EQ(ReadFile(Dest("Rep_1_Report.dbf")), (Bytes{'o', 'l', 'd', '3'}));
}

TEST_F(SavingTest, PrefixAndPartsNameTheSavedFiles) {
  PlantRows({{"orders.dbf", "Done"}}, 2);
  prefix = "Arch";
  // A folder ending with a separator, as a root folder does, is not doubled.
  Saver().SaveAll(destination.path().string() + "/");
  EXPECT_EQ(Saved(), (std::vector<std::string>{"Arch_1_orders.dbf", "Arch_2_orders.dbf"}));
  EXPECT_EQ(ReadFile(Dest("Arch_2_orders.dbf")), Content(0, 1));
  EXPECT_EQ(view.screen().saved, (std::vector<std::string>{Dest("Arch_1_orders.dbf"),
                                                           Dest("Arch_2_orders.dbf")}));
}

TEST_F(SavingTest, RepairedCopiesOfVanishedSourcesAreStillSaved) {
  PlantRows({{"orders.dbf", "Done"}, {"moved.dbf", "Done"}, {"gone.dbf", "Done"}});
  std::filesystem::remove(sources / "moved.dbf");
  std::filesystem::remove(WorkingPath(2, 0, "gone.dbf"));  // skipped without a message
  commands.OnSave();
  EXPECT_EQ(Saved(), (std::vector<std::string>{"Rep_1_moved.dbf", "Rep_1_orders.dbf"}));
  EXPECT_TRUE(view.m_bSaved);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SavingTest, NothingRepairedOrNoFolderChosen) {
  PlantRows({{"bad.dbf", "Failed"}, {"later.dbf", "Pending"}});
  EXPECT_TRUE(commands.ConfirmLeave());  // without asking
  EXPECT_TRUE(messages.shown.empty());
  commands.OnSave();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "No file is repaired yet");
  EXPECT_EQ(messages.shown[0].style, 0x30u);
  EXPECT_TRUE(folders.titles.empty());

  PlantRows({{"orders.dbf", "Done"}});
  folders.answer = "";
  commands.OnSave();
  EXPECT_TRUE(Saved().empty());
  EXPECT_FALSE(view.m_bSaved);
  EXPECT_EQ(view.m_nPage, 1);
}

TEST_F(SavingTest, LeaveCheckAnsweredNoDiscardsEveryPartOfDoneRows) {
  PlantRows({{"orders.dbf", "Done"}, {"bad.dbf", "Failed"}}, 4);
  messages.answers = {kIdNo};

  commands.OnBack();

  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "Repaired files have not been saved. Do you want to save it?");
  EXPECT_EQ(messages.shown[0].caption, "Tarnova Drelin DBF");
  EXPECT_EQ(messages.shown[0].style, 0x23u);
  EXPECT_EQ(Working(), (std::vector<std::string>{
                           "1ozn_aqf_xrj_196_temp_1_bad.dbf", "1ozn_aqf_xrj_196_temp_2_bad.dbf",
                           "1ozn_aqf_xrj_196_temp_3_bad.dbf", "1ozn_aqf_xrj_196_temp_4_bad.dbf"}));
  EXPECT_TRUE(Saved().empty());
  EXPECT_TRUE(view.m_bSaved);
  EXPECT_EQ(view.m_nPage, 0);
  // Nothing asks again.
  EXPECT_TRUE(commands.CanClose());
  EXPECT_EQ(messages.shown.size(), 1u);
}

TEST_F(SavingTest, LeaveCheckYesSavesCancelStays) {
  PlantRows({{"orders.dbf", "Done"}});
  view.files = {{"x", true}};

  // Yes, then no folder chosen: stay, nothing saved.
  messages.answers = {kIdYes};
  folders.answer = "";
  EXPECT_FALSE(commands.CanClose());
  EXPECT_EQ(view.m_nPage, 1);
  EXPECT_TRUE(Saved().empty());

  // Cancel: stay.
  messages.answers = {kIdCancel};
  commands.OnBack();
  EXPECT_EQ(view.m_nPage, 1);

  // Yes with a folder: saved, the file list emptied, the page left.
  messages.answers = {kIdYes};
  folders.answer = destination.path().string();
  EXPECT_TRUE(commands.CanClose());
  EXPECT_EQ(Saved(), (std::vector<std::string>{"Rep_1_orders.dbf"}));
  EXPECT_TRUE(view.files.empty());
  EXPECT_TRUE(view.m_bSaved);
  EXPECT_EQ(view.m_nPage, 0);
}

// Someone else takes the destination name between the existence test and
// the move: the collision rule goes on, their file stays.
class RacingIo : public SimulatedIo {
 public:
  int Rename(const char* from, const char* to, unsigned flags) override {
    if (!raced_) {
      raced_ = true;
      WriteFile(to, {'t', 'h', 'e', 'i', 'r', 's'});
    }
    return SimulatedIo::Rename(from, to, flags);
  }

 private:
  bool raced_ = false;
};

TEST_F(SavingTest, NameTakenBeforeTheMoveContinuesTheCollisionRule) {
  PlantRows({{"orders.dbf", "Done"}});
  RacingIo io;
  batch::RepairSaver saver(view, workFolder(), [] { return "Rep"; }, io);
  saver.SaveAll(destination.path().string());
  EXPECT_EQ(ReadFile(Dest("Rep_1_orders.dbf")), (Bytes{'t', 'h', 'e', 'i', 'r', 's'}));
  EXPECT_EQ(ReadFile(Dest("Rep_(1)_1_orders.dbf")), Content(0, 0));
  EXPECT_TRUE(Working().empty());
}

TEST_F(SavingTest, SavesAcrossRealFileSystems) {
  struct stat shm {}, here {};
  if (stat("/dev/shm", &shm) != 0 || stat(work.path().c_str(), &here) != 0 ||
      shm.st_dev == here.st_dev) {
    GTEST_SKIP() << "no second file system to save across";
  }
  std::string shmWork = "/dev/shm/drelin-work-XXXXXX";
  ASSERT_NE(mkdtemp(shmWork.data()), nullptr);
  shmWork += "/";
  const std::string a = AddSource("a.dbf", DamagedTable("a"));
  FakeView shmView;
  shmView.files = view.files;
  {
    batch::RepairCommands shmCommands(shmView, messages, folders, timer, [] { return "Rep"; },
                                      [&] { return shmWork; });
    shmCommands.OnRepair();
    shmCommands.WaitForWorker();
    shmCommands.OnSave();
  }
  EXPECT_EQ(ReadFile(Dest("Rep_1_a.dbf")), EngineOutput(a, kRepairNormal));
  EXPECT_TRUE(std::filesystem::is_empty(shmWork));
  std::filesystem::remove_all(shmWork);
}

// A failure at any single step of a save, on either kind of destination:
// every file is afterwards exactly once either in the work folder or saved,
// whole; no temporary name is left; the view stays unsaved on the repair
// page with the Saving window closed, and the error names a file.
class SavingFailureTest : public SavingTest, public ::testing::WithParamInterface<bool> {};

TEST_P(SavingFailureTest, AnySingleFailureLosesAndDuplicatesNothing) {
  const bool acrossDevices = GetParam();
  long calls = 0;
  for (long n = 0;; ++n) {
    SCOPED_TRACE("failing call " + std::to_string(n));
    std::filesystem::remove_all(work.path());
    std::filesystem::create_directory(work.path());
    for (const auto& name : destination.Entries()) std::filesystem::remove(Dest(name));
    PlantRows({{"orders.dbf", "Done"}, {"items.dbf", "Done"}}, 2);
    WriteFile(Dest("Rep_1_orders.dbf"), {'o', 'l', 'd'});  // forces a collision

    SimulatedIo io;
    if (acrossDevices) io.otherDevice = destination.path().string();
    batch::RepairCommands failing(view, messages, folders, timer, [] { return "Rep"; },
                                  [this] { return workFolder(); }, io);
    io.FailAt(n);
    bool threw = false;
    try {
      failing.OnSave();
    } catch (const FileError& error) {
      threw = true;
      EXPECT_FALSE(error.path().empty());
    }
    if (n == 0) {
      ASSERT_FALSE(threw);
      calls = io.count();
      continue;
    }

    // Each planted file once, whole, in one of its two places.
    std::vector<Bytes> found;
    for (const auto& name : Working()) found.push_back(ReadFile(work / name));
    for (const auto& name : Saved()) found.push_back(ReadFile(Dest(name)));
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<Bytes>{{'A', '0'}, {'A', '1'}, {'B', '0'}, {'B', '1'},
                                         {'o', 'l', 'd'}}));
    for (const auto& name : Saved()) EXPECT_EQ(name.find(".part"), std::string::npos) << name;
    EXPECT_EQ(ReadFile(Dest("Rep_1_orders.dbf")), (Bytes{'o', 'l', 'd'}));
    EXPECT_FALSE(view.screen().savingOpen);
    if (threw) {
      EXPECT_FALSE(view.m_bSaved);
      EXPECT_EQ(view.m_nPage, 1);
    } else {
      EXPECT_TRUE(Working().empty());
    }
    if (n >= calls) break;
  }
  EXPECT_GT(calls, 20);
}

INSTANTIATE_TEST_SUITE_P(Destinations, SavingFailureTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? "OtherFileSystem" : "SameFileSystem";
                         });

}  // namespace
}  // namespace drelin::testing
