// Saving takes a table's companions along: a copy of its source's memo file
// and a .cpg naming the source's code page, under the saved table's name,
// never replacing anything, with what cannot go along told in a note.
#include <algorithm>
#include <filesystem>

#include "BatchHarness.h"
#include "DbfRepairEngine.h"

namespace drelin::testing {
namespace {

struct Source {
  std::string name;
  bool memoField;
  uint8_t driver;
  std::string memoName;  // empty: none
  std::string cpg;       // the source's .cpg; empty: none
};

class CompanionSaving : public BatchHarness {
 protected:
  static Bytes Table(const Source& source) {
    DbfBuilder table;
    table.Version(source.memoField ? 0x83 : 0x03).LanguageDriver(source.driver);
    table.Field("NAME", 'C', 8).Field("TEXT", source.memoField ? 'M' : 'C', 10);
    return table.Record({"a", "         1"}).Record({"b"}, true).Build();
  }
  static Bytes Memo(const std::string& name) {
    Bytes memo(1024, 0);
    memo[0] = 2;
    std::copy(name.begin(), name.end(), memo.begin() + 512);
    return memo;
  }
  // The sources, each repaired into its row's working file, as a run leaves them.
  void PlantRun(const std::vector<Source>& rows) {
    Words paths;
    for (size_t row = 0; row < rows.size(); ++row) {
      const Source& source = rows[row];
      paths.push_back(sources / source.name);
      WriteFile(paths.back(), Table(source));
      if (!source.memoName.empty()) WriteFile(sources / source.memoName, Memo(source.memoName));
      if (!source.cpg.empty()) {
        WriteFile(sources / (source.name.substr(0, source.name.size() - 4) + ".cpg"),
                  Bytes(source.cpg.begin(), source.cpg.end()));
      }
      DbfRepairEngine().Repair(paths.back(), WorkingPath(int(row), source.name), kRepairNormal);
    }
    view.SetRows(paths, Words(rows.size(), "Done"));
    view.m_nPage = 1;
    view.m_bSaved = false;
  }
  Bytes Saved(const std::string& name) const { return ReadFile(destination / name); }
  static Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }
  std::vector<std::string> Notes() const {
    std::vector<std::string> notes;
    for (const auto& [text, style] : shown) {
      if (style == 0x40) notes.push_back(text);
    }
    return notes;
  }
};

TEST_F(CompanionSaving, MemoFilesAndCodePagesGoAlongUnderFreeNames) {
  PlantRun({{"orders.dbf", true, 0x65, "orders.dbt", ""},
            {"plain.dbf", false, 0x57, "", ""},
            {"lost.dbf", true, 0x00, "", ""},
            {"UPPER.DBF", true, 0x57, "Upper.dbt", ""},
            {"named.dbf", false, 0x65, "", "ANSI 1251"}});
  // A code page file of another table takes the first name, also where
  // none would go along (it would tell the saved table's code page).
  WriteFile(destination / "Rep_1_orders.cpg", Text("old"));
  WriteFile(destination / "Rep_1_plain.CPG", Text("866"));
  commands.OnSave();

  EXPECT_EQ(destination.Entries(),
            (Words{"Rep_(1)_1_orders.cpg", "Rep_(1)_1_orders.dbf", "Rep_(1)_1_orders.dbt", "Rep_(1)_1_plain.dbf",
                   "Rep_1_UPPER.DBF", "Rep_1_UPPER.dbt", "Rep_1_lost.dbf", "Rep_1_named.cpg", "Rep_1_named.dbf",
                   "Rep_1_orders.cpg", "Rep_1_plain.CPG"}));
  EXPECT_EQ(Saved("Rep_(1)_1_orders.dbt"), Memo("orders.dbt"));
  EXPECT_EQ(Saved("Rep_(1)_1_orders.cpg"), Text("866"));
  EXPECT_EQ(Saved("Rep_1_orders.cpg"), Text("old"));
  EXPECT_EQ(Saved("Rep_1_UPPER.dbt"), Memo("Upper.dbt"));  // 0x57: no .cpg
  EXPECT_EQ(Saved("Rep_1_named.cpg"), Text("1251"));       // the .cpg wins over 0x65
  EXPECT_EQ(Saved("Rep_(1)_1_orders.dbf")[0], 0x83);
  const Words saved = view.screen().saved;
  EXPECT_NE(std::find(saved.begin(), saved.end(), destination / "Rep_(1)_1_orders.dbt"), saved.end());
  EXPECT_NE(std::find(saved.begin(), saved.end(), destination / "Rep_1_named.cpg"), saved.end());
  ASSERT_EQ(Notes().size(), 1u);
  EXPECT_EQ(Notes()[0], "no memo file lost.dbt (nor .fpt) beside " + sources / "lost.dbf" +
                            ": the saved table's memo fields have no text to show");
  EXPECT_TRUE(view.m_bSaved && view.m_nPage == 0);
  // The sources are only read.
  EXPECT_EQ(ReadFile(sources / "orders.dbt"), Memo("orders.dbt"));
}

// Tables with no companions, many to a folder: each folder is listed once
// in a save, not once per table, and a table saved meanwhile is seen.
TEST_F(CompanionSaving, EachFolderIsListedOnceASave) {
  std::vector<Source> rows;
  for (int i = 0; i < 12; ++i) rows.push_back({"t" + std::to_string(i) + ".dbf", i % 2 == 0, 0x57, "", ""});
  rows.push_back({"t0.DBF", false, 0x57, "", ""});  // saved as Rep_13_t0.DBF
  PlantRun(rows);
  SimulatedIo io;
  io.FailAt(0, EIO, {SimulatedIo::kOpendir});  // counts the listings, fails none
  batch::RepairCommands counting(view, *this, *this, *this, [] { return "Rep"; },
                                 [this] { return workFolder(); }, io);
  counting.OnSave();
  EXPECT_EQ(destination.Entries().size(), rows.size());
  EXPECT_EQ(io.count(), 2);  // the sources' folder and the destination
}

// A failure at any step: every table is whole in the work folder or saved;
// a saved table's companions are whole or absent (and then noted); none is
// ever without its table; nothing that was there is changed; no private
// name is left.
TEST_F(CompanionSaving, AnySingleFailureLosesNothingAndReplacesNothing) {
  for (const bool across : {false, true}) {
    long calls = 0;
    for (long n = 0; n == 0 || n <= calls; ++n) {
      SCOPED_TRACE(std::string(across ? "across, " : "") + "failing call " + std::to_string(n));
      for (const TempDir* dir : {&work, &destination, &sources}) {
        std::filesystem::remove_all(dir->path());
        std::filesystem::create_directory(dir->path());
      }
      PlantRun({{"orders.dbf", true, 0x65, "orders.dbt", ""}, {"items.dbf", true, 0x00, "items.DBT", "utf-8"}});
      const Bytes working0 = ReadFile(WorkingPath(0, "orders.dbf"));
      const Bytes working1 = ReadFile(WorkingPath(1, "items.dbf"));
      // Another table's memo file and code page file force the next names.
      WriteFile(destination / "Rep_1_orders.dbt", Text("old"));
      WriteFile(destination / "Rep_1_items.cpg", Text("old"));
      shown.clear();
      SimulatedIo io;
      if (across) io.otherDevice = destination.path().string();
      batch::RepairCommands failing(view, *this, *this, *this, [] { return "Rep"; },
                                    [this] { return workFolder(); }, io);
      io.FailAt(n);
      failing.OnSave();
      if (n == 0) {
        ASSERT_EQ(view.m_nPage, 0);
        ASSERT_TRUE(shown.empty());
        calls = io.count();
      }

      EXPECT_EQ(ReadFile(destination / "Rep_1_orders.dbt"), Text("old"));
      EXPECT_EQ(ReadFile(destination / "Rep_1_items.cpg"), Text("old"));
      EXPECT_EQ(ReadFile(sources / "orders.dbt"), Memo("orders.dbt"));
      EXPECT_EQ(ReadFile(sources / "items.DBT"), Memo("items.DBT"));
      bool missingCompanion = false;
      struct Row {
        std::string working, table, memo, memoFrom, cpg;
        Bytes content;
      };
      const Row rows[] = {
          {WorkingPath(0, "orders.dbf"), "Rep_(1)_1_orders.dbf", "Rep_(1)_1_orders.dbt", "orders.dbt", "866",
           working0},
          {WorkingPath(1, "items.dbf"), "Rep_(1)_1_items.dbf", "Rep_(1)_1_items.DBT", "items.DBT", "UTF-8",
           working1},
      };
      for (const Row& row : rows) {
        const bool saved = std::filesystem::exists(destination / row.table);
        EXPECT_NE(saved, std::filesystem::exists(row.working)) << row.table;
        EXPECT_EQ(ReadFile(saved ? destination / row.table : row.working), row.content) << row.table;
        const std::string cpg = row.table.substr(0, row.table.size() - 3) + "cpg";
        if (!saved) {
          EXPECT_FALSE(std::filesystem::exists(destination / row.memo) || std::filesystem::exists(destination / cpg));
          continue;
        }
        for (const auto& [name, content] : {std::pair{row.memo, Memo(row.memoFrom)}, std::pair{cpg, Text(row.cpg)}}) {
          if (std::filesystem::exists(destination / name)) {
            EXPECT_EQ(ReadFile(destination / name), content) << name;
          } else {
            missingCompanion = true;
          }
        }
      }
      for (const std::string& name : destination.Entries()) EXPECT_EQ(name.find(".part"), std::string::npos) << name;
      EXPECT_TRUE(!missingCompanion || !Notes().empty()) << ::testing::PrintToString(destination.Entries());
      for (const std::string& note : Notes()) {
        EXPECT_NE(note.find("Input/output error"), std::string::npos) << note;
      }
    }
    EXPECT_GT(calls, 30);
  }
}

}  // namespace
}  // namespace drelin::testing
