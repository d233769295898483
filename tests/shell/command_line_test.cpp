// The desktop program's command line: the component switches, the splash
// switch, "--", tables made absolute without the file system, and the
// tables added to the file list at start-up with each one left out named
// and explained.
#include <tuple>

#include "FrameHarness.h"
#include "StartCommandLine.h"

namespace drelin::testing {
namespace {

TEST(StartCommandLine, SwitchesAndTheirEnd) {
  struct Case {
    Paths arguments;
    bool componentStart;
    bool splash;
    Paths tables;  // as given
  };
  const std::vector<Case> cases = {
      {{}, false, true, {}},
      {{"/Embedding"}, true, false, {}},
      {{"-AUTOMATION", "a.dbf"}, true, false, {"a.dbf"}},
      {{"--no-splash", "a.dbf", "b.dbf"}, false, false, {"a.dbf", "b.dbf"}},
      // After "--" everything is a table, switches' look-alikes included.
      {{"--", "-Embedding", "--no-splash", "--"}, false, true, {"-Embedding", "--no-splash", "--"}},
      // Only these words are switches: other dashes are tables.
      {{"-Embeddings", "--help", "/x.dbf"}, false, true, {"-Embeddings", "--help", "/x.dbf"}},
  };
  for (const Case& c : cases) {
    const StartCommandLine parsed = ParseStartCommandLine(c.arguments, "/home/u");
    Paths given;
    for (const StartCommandLine::Table& table : parsed.tables) given.push_back(table.given);
    EXPECT_EQ(std::make_tuple(parsed.componentStart, parsed.splash, given),
              std::make_tuple(c.componentStart, c.splash, c.tables));
  }
}

TEST(StartCommandLine, TablesAreMadeAbsoluteByTheirBytesAlone) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"a.dbf", "/home/u/a.dbf"},
      {"./sub//b.dbf", "/home/u/sub/b.dbf"},
      {"../c.dbf", "/home/u/../c.dbf"},  // ".." kept: a link could lead elsewhere
      {"/abs/./d.dbf", "/abs/d.dbf"},
      {"//abs///e.dbf", "/abs/e.dbf"},
      {"sub/", "/home/u/sub/"},
      {"-Embedding", "/home/u/-Embedding"},
      {"b\xf6rse.dbf", "/home/u/b\xf6rse.dbf"},  // Latin-1: not UTF-8, bytes kept
  };
  for (const auto& [given, absolute] : cases) {
    EXPECT_EQ(AbsolutePath(given, "/home/u"), absolute) << given;
    EXPECT_EQ(AbsolutePath(given, "/home/u/"), absolute) << given;
  }
  EXPECT_EQ(AbsolutePath("a.dbf", ""), "");  // no current folder, no guess
  EXPECT_EQ(AbsolutePath("/a.dbf", ""), "/a.dbf");
}

using StartUpTables = FrameHarness;

TEST_F(StartUpTables, AddedAsFromTheOpenDialogAndEachOneLeftOutReported) {
  const std::string first = SampleCopy("wrong_record_count.dbf");
  const std::string latin = Source("b\xf6rse.dbf", ReadFile(SamplePath("missing_eof.dbf")));
  Source("notes.txt");
  ASSERT_TRUE(std::filesystem::create_directory(sources / "folder.dbf"));
  ASSERT_TRUE(Start({"wrong_record_count.dbf", "--", "./b\xf6rse.dbf", "notes.txt", first, "gone.dbf",
                     "folder.dbf", "-Embedding"}));
  // The list's own rule: added at the top, in the order given.
  ASSERT_EQ(files().RowCount(), 2);
  EXPECT_EQ(files().FullPath(0), first);
  EXPECT_EQ(files().FullPath(1), latin);
  EXPECT_TRUE(files().IsChecked(0) && files().IsChecked(1));
  const std::string no = "tarnova-drelin: ";
  EXPECT_EQ(reports, (Paths{no + "notes.txt was not added: the name does not end in .dbf",
                            no + first + " was not added: it is in the list already",
                            no + "gone.dbf was not added: No such file or directory",
                            no + "folder.dbf was not added: it is not a regular file",
                            no + "-Embedding was not added: the name does not end in .dbf"}));
}

TEST_F(StartUpTables, AComponentStartShowsNothing) {
  for (const char* component : {"-Embedding", "/Automation"}) {
    EXPECT_FALSE(Start({component, SampleCopy("missing_eof.dbf")}, true)) << component;
    EXPECT_EQ(app->frame(), nullptr);
    EXPECT_EQ(CStartupSplash::Current(), nullptr);
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty() ||
                std::none_of(QApplication::topLevelWidgets().begin(), QApplication::topLevelWidgets().end(),
                             [](QWidget* widget) { return widget->isVisible(); }));
  }
}

}  // namespace
}  // namespace drelin::testing
