// Working-file names; saving and discarding a run's results: collisions, what
// is moved, the leave and close checks, and no failure losing a file.
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "BatchHarness.h"
#include "WorkingFileNamer.h"

namespace drelin::testing {
namespace {

TEST(WorkingFileNamer, NamesWorkingAndSavedFiles) {
  TempDir dir;
  WriteFile(dir / "orders.dbf", {1});
  std::filesystem::create_directory(dir / "folder.dbf");
  ASSERT_EQ(mkfifo((dir / "pipe.dbf").c_str(), 0600), 0);  // must not hang
  const batch::WorkingFileNamer namer("/w", SystemFileIo());  // the separator is added
  EXPECT_EQ(namer.BuildWorkingPath(dir / "orders.dbf", 1, 10),
            "/w/10ozn_aqf_xrj_196_temp_2_orders.dbf");
  // Unreadable sources get no file name; WorkingPathFor needs the path only.
  for (const std::string name : {"missing.dbf", "folder.dbf", "pipe.dbf"}) {
    EXPECT_EQ(namer.BuildWorkingPath(dir / name, 0, 2), "/w/2ozn_aqf_xrj_196_temp_1_") << name;
  }
  EXPECT_EQ(namer.WorkingPathFor(dir / "x.dbf", 0, 2), "/w/2ozn_aqf_xrj_196_temp_1_x.dbf");
  // Saving replaces only the row's own number and marker, case and all.
  for (const std::string name : {"/a", "3ozn_aqf_xrj_196_temp_1_a", "4OZN_aqf_xrj_196_temp_1_a"}) {
    EXPECT_EQ(namer.ToSaveName(name, 4, "Rep"), name);
  }
  EXPECT_EQ(batch::ReplaceAll("a_b", "", "x"), "a_b");  // nothing to find, and an end
}

class SavingTest : public BatchHarness {
 protected:
  // Saves into `folder` from now on.
  void SaveInto(const std::string& folder) {
    std::filesystem::create_directory(folder);
    this->folder = out = folder;
  }

  // Rows with working files of `parts` planted, holding row and part.
  void PlantRows(const Words& names, const Words& statuses, int parts) {
    Words paths;
    for (size_t row = 0; row < names.size(); ++row) {
      paths.push_back(sources / names[row]);
      WriteFile(paths.back(), {1});
      for (int part = 0; part < parts; ++part) {
        WriteFile(WorkingPath(int(row), names[row], part), Content(row, part));
      }
    }
    view.SetRows(paths, statuses);
    view.m_nPage = 1;
    view.m_bSaved = false;
  }
  static Bytes Content(size_t row, int part) { return {uint8_t('A' + row), uint8_t('0' + part)}; }
  Words Saved() const {
    Words names;
    for (const auto& entry : std::filesystem::directory_iterator(out)) {
      names.push_back(entry.path().filename());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string Dest(const std::string& name) const { return out + "/" + name; }

  std::string out = destination.path().string();  // the folder saved into
  const Bytes old{'o', 'l', 'd'};  // what others saved before
};

TEST_F(SavingTest, SaveMovesOnlyDoneRowsUnderFreeNames) {
  // The folder's own name holds the prefix and row 0's marker: only file
  // names may change.
  SaveInto(destination / "Rep 0ozn_aqf_xrj_196_temp");
  PlantRows({"orders.dbf", "bad.dbf", "later.dbf", "Report.dbf"},
            {"Done", "Failed", "Pending", "Done"}, 2);
  view.files = {"x"};
  std::filesystem::remove(sources / "Report.dbf");            // still saved
  std::filesystem::remove(WorkingPath(3, "Report.dbf", 1));  // skipped silently
  WriteFile(Dest("Rep_1_orders.dbf"), old);
  WriteFile(Dest("Rep_(1)_1_orders.dbf"), old);
  RacingIo io;
  io.taken = Dest("Rep_1_Report.dbf");  // just before the move
  batch::RepairCommands racing(view, *this, *this, *this, [] { return "Rep"; },
                               [this] { return workFolder(); }, io);
  folder += "/";  // as a root folder ends; the separator is not doubled
  racing.OnSave();

  EXPECT_EQ(view.screen().saved, (Words{Dest("Rep_(1)_(1)_1_orders.dbf"), Dest("Rep_2_orders.dbf"),
                                        Dest("Rep_(1)_1_Rep_(1)ort.dbf")}));
  EXPECT_EQ(Saved().size(), 6u);
  for (const auto& [name, bytes] : std::vector<std::pair<std::string, Bytes>>{
           {"Rep_(1)_(1)_1_orders.dbf", Content(0, 0)}, {"Rep_2_orders.dbf", Content(0, 1)},
           {"Rep_(1)_1_Rep_(1)ort.dbf", Content(3, 0)}, {"Rep_1_orders.dbf", old},
           {"Rep_(1)_1_orders.dbf", old}, {"Rep_1_Report.dbf", old}}) {
    EXPECT_EQ(ReadFile(Dest(name)), bytes) << name;
  }
  EXPECT_EQ(work.Entries().size(), 4u);  // of the "Failed" and "Pending" rows, never moved
  const Screen screen = view.screen();
  EXPECT_EQ(screen.savingTexts, (Words{"", sources / "orders.dbf", sources / "Report.dbf"}));
  EXPECT_TRUE(!screen.savingOpen && screen.statuses.empty() && shown.empty());
  EXPECT_TRUE(view.m_bSaved && view.m_nPage == 0 && view.files.empty());
  racing.OnSave();  // nothing left to save
  EXPECT_EQ(folderAsks, 1);
}

TEST_F(SavingTest, LeaveAndCloseChecks) {
  // Nothing repaired: leaving asks nothing, Save says so.
  PlantRows({"bad.dbf", "later.dbf"}, {"Failed", "Pending"}, 0);
  EXPECT_TRUE(commands.ConfirmLeave());
  commands.OnSave();
  // No folder chosen, on Save or after Yes, or Cancel: nothing saved, stay.
  PlantRows({"orders.dbf", "bad.dbf"}, {"Done", "Failed"}, 4);
  view.files = {"x"};
  folder = "";
  commands.OnSave();
  answers = {kIdYes, kIdCancel};
  EXPECT_FALSE(commands.CanClose());
  commands.OnBack();
  EXPECT_TRUE(view.m_nPage == 1 && !view.m_bSaved && Saved().empty());
  // Yes with a folder: parts 0 and 1 saved under the prefix, the page left.
  prefix = "Arch";
  folder = out;
  answers = {kIdYes};
  EXPECT_TRUE(commands.CanClose());
  EXPECT_EQ(Saved(), (Words{"Arch_1_orders.dbf", "Arch_2_orders.dbf"}));
  EXPECT_TRUE(view.m_bSaved && view.m_nPage == 0 && view.files.empty());
  // No discards parts 0 to 3 of "Done" rows; nothing asks again.
  PlantRows({"orders.dbf", "bad.dbf"}, {"Done", "Failed"}, 4);
  answers = {kIdNo};
  commands.OnBack();
  EXPECT_EQ(work.Entries(),
            (Words{"1ozn_aqf_xrj_196_temp_1_bad.dbf", "1ozn_aqf_xrj_196_temp_2_bad.dbf",
                   "1ozn_aqf_xrj_196_temp_3_bad.dbf", "1ozn_aqf_xrj_196_temp_4_bad.dbf"}));
  EXPECT_TRUE(view.m_bSaved && view.m_nPage == 0 && Saved().size() == 2);
  EXPECT_TRUE(commands.CanClose());

  const std::string ask = "Repaired files have not been saved. Do you want to save it?";
  EXPECT_EQ(shown, (Shown{{"No file is repaired yet", 0x30}, {ask, 0x23}, {ask, 0x23},
                          {ask, 0x23}, {ask, 0x23}}));
  EXPECT_EQ(folderAsks, 3);
}

TEST_F(SavingTest, AnEmptyPrefixStopsAtATakenName) {
  PlantRows({"orders.dbf"}, {"Done"}, 1);
  WriteFile(Dest("_1_orders.dbf"), old);
  prefix = "";
  commands.OnSave();
  EXPECT_EQ(shown, (Shown{{"Saving stopped: cannot save '" + Dest("_1_orders.dbf") +
                               "': File exists. The repaired files not yet saved are still in "
                               "the working folder.", 0x30}}));
  EXPECT_EQ(ReadFile(WorkingPath(0, "orders.dbf")), Content(0, 0));
  EXPECT_TRUE(!view.m_bSaved && view.m_nPage == 1);
}

// A failure at any step of a save or a discard, from Save or from closing,
// on one file system or two: no command throws, the failure is told with
// its file, and the run stays unsaved on the repair page with each file
// once and whole, in the work folder or saved (or discarded).
TEST_F(SavingTest, AnySingleFailureIsToldAndLosesNothing) {
  enum Way { kSave, kCloseSaving, kCloseDiscarding };
  for (const Way way : {kSave, kCloseSaving, kCloseDiscarding}) {
    for (const bool across : {false, true}) {
      if (way != kSave && across) continue;  // the same moves as Save's
      long calls = 0;
      for (long n = 0; n == 0 || n <= calls; ++n) {
        SCOPED_TRACE("way " + std::to_string(way) + (across ? ", across" : "") +
                     ", failing call " + std::to_string(n));
        std::filesystem::remove_all(work.path());
        std::filesystem::create_directory(work.path());
        for (const auto& name : Saved()) std::filesystem::remove(Dest(name));
        PlantRows({"orders.dbf", "items.dbf"}, {"Done", "Done"}, 2);
        WriteFile(Dest("Rep_1_orders.dbf"), old);  // forces a collision
        shown.clear();
        answers = {way == kCloseDiscarding ? kIdNo : kIdYes};
        SimulatedIo io;
        if (across) io.otherDevice = out;
        batch::RepairCommands failing(view, *this, *this, *this, [] { return "Rep"; },
                                      [this] { return workFolder(); }, io);
        io.FailAt(n);
        bool left = true;
        if (way == kSave) {
          failing.OnSave();
          left = view.m_nPage == 0;
        } else {
          left = failing.CanClose();
        }
        if (n == 0) {
          ASSERT_TRUE(left);
          calls = io.count();
        }
        // A failure while looking for a table's companions is only a note.
        const auto note = std::find_if(shown.begin(), shown.end(),
                                       [](const auto& message) { return message.second == 0x40u; });
        if (note != shown.end()) {
          EXPECT_NE(note->first.find("Input/output error"), std::string::npos) << note->first;
          shown.erase(note);
        }
        // Closing asks first.
        ASSERT_EQ(shown.size(), (way == kSave ? 0u : 1u) + (left ? 0u : 1u));
        if (!left) {
          const auto& [text, style] = shown.back();
          EXPECT_EQ(style, 0x30u);
          EXPECT_EQ(text.rfind(way == kCloseDiscarding ? "Discarding stopped: cannot "
                                                       : "Saving stopped: cannot ", 0), 0u);
          EXPECT_NE(text.find("': Input/output error. The repaired files not yet"),
                    std::string::npos) << text;
          EXPECT_TRUE(text.find(workFolder()) != std::string::npos ||
                      text.find(out) != std::string::npos) << text;
        }
        EXPECT_EQ(view.m_bSaved, left);
        EXPECT_EQ(view.m_nPage, left ? 0 : 1);
        EXPECT_FALSE(view.screen().savingOpen);

        std::vector<Bytes> found;
        for (const auto& name : work.Entries()) found.push_back(ReadFile(work / name));
        for (const auto& name : Saved()) {
          found.push_back(ReadFile(Dest(name)));
          EXPECT_EQ(name.find(".part"), std::string::npos) << name;
        }
        std::sort(found.begin(), found.end());
        const std::vector<Bytes> all{{'A', '0'}, {'A', '1'}, {'B', '0'}, {'B', '1'}, old};
        if (way == kCloseDiscarding) {
          EXPECT_TRUE(std::includes(all.begin(), all.end(), found.begin(), found.end()));
          EXPECT_EQ(Saved(), Words{"Rep_1_orders.dbf"});
          EXPECT_TRUE(!left || work.Entries().empty());
        } else {
          EXPECT_EQ(found, all);
          EXPECT_EQ(work.Entries().empty(), left);
        }
      }
      EXPECT_GT(calls, 7);
    }
  }
}

}  // namespace
}  // namespace drelin::testing
