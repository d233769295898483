// The file list: which files adding takes and where they go, what each
// column shows, the check-all box's rule under mouse, keyboard and
// commands, the two remove commands with their messages, the Delete key and
// dropped files, names that are not UTF-8 included.
#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QMimeDatabase>
#include <QTest>
#include <QUrl>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <regex>

#include "ViewHarness.h"
#include "ViewTexts.h"

namespace drelin::testing {
namespace {

using FileListTest = ViewHarness;

std::vector<QString> Names(CFileListCtrl& list) {
  std::vector<QString> names;
  for (int row = 0; row < list.RowCount(); ++row) names.push_back(list.RowText(row, 0));
  return names;
}

std::vector<bool> Checks(CFileListCtrl& list) {
  std::vector<bool> checks;
  for (int row = 0; row < list.RowCount(); ++row) checks.push_back(list.IsChecked(row));
  return checks;
}

TEST_F(FileListTest, AddingTakesOnlyNewRegularDbfFilesAtTheTopInTheDialogsOrder) {
  AddThroughDialog({Source("old1.dbf"), Source("old2.dbf")});
  std::filesystem::create_directory(sources / "folder.dbf");
  ASSERT_EQ(mkfifo((sources / "pipe.dbf").c_str(), 0600), 0);  // opening it would hang
  const Paths chosen = {
      Source("DATA.dbf"), Source("x.dbf.bak"), Source("data.DBF"), Source("noextension"),
      Source("notes.txt"), sources / "gone.dbf", sources / "folder.dbf", sources / "pipe.dbf",
      Source("x.Dbf"),
      sources / "old1.dbf",                           // listed already
      sources.path().string() + "//DATA.dbf",         // the same file, a separator doubled
  };
  AddThroughDialog(chosen);
  EXPECT_EQ(Names(files()), (std::vector<QString>{"DATA.dbf", "data.DBF", "x.Dbf", "old1.dbf", "old2.dbf"}));
  EXPECT_EQ(files().FullPath(1), sources / "data.DBF");
  EXPECT_TRUE(files().Contains(sources / "x.Dbf"));
  EXPECT_FALSE(files().Contains(sources / "X.DBF"));  // byte for byte
  EXPECT_EQ(Checks(files()), std::vector<bool>(5, true));
  EXPECT_TRUE(view->checkAllBox()->isChecked());

  // A cancelled dialog changes nothing.
  AddThroughDialog({});
  EXPECT_EQ(files().RowCount(), 5);
}

// The dialog offers every letter case; the names the adding test leaves out.
TEST_F(FileListTest, TheFilterIgnoresLetterCaseAndTheExtensionIsWholeAndLast) {
  ASSERT_TRUE(QString::fromLatin1(view_texts::kDbfFilter).contains(QStringLiteral("*.[dD][bB][fF]")));
  const std::pair<const char*, bool> cases[] = {{".dbf", true}, {"x.dbff", false}, {"a.b/c", false}, {"dbf", false}};
  for (const auto& [name, passes] : cases) EXPECT_EQ(HasDbfExtension(name), passes) << name;
}

TEST_F(FileListTest, ColumnsShowTheFileSystemFactsWithoutOpeningTheFile) {
  const std::string big = Source("big.dbf");
  ASSERT_EQ(truncate(big.c_str(), 3LL << 30), 0);  // sparse: 3 GiB on no disk
  AddThroughDialog({big});
  ASSERT_EQ(files().RowCount(), 1);

  const char* headings[] = {"File Name", "File Location", "File Size", "Creation Time",
                            "Last Access Time", "Last written Time", "File Type"};
  const int widths[] = {130, 240, 100, 120, 120, 130, 200};
  for (int column = 0; column < 7; ++column) {
    EXPECT_EQ(files().headerItem()->text(column), headings[column]);
    EXPECT_EQ(files().columnWidth(column), widths[column]);
    EXPECT_FALSE(files().headerItem()->icon(column).isNull()) << column;
  }
  EXPECT_EQ(files().RowText(0, 0), "big.dbf");
  EXPECT_EQ(files().RowText(0, 1).toStdString(), sources.path().string() + "/");
  EXPECT_EQ(files().RowText(0, 2), "3221225472");
  const std::regex time(R"(\d\d-\d\d-\d{4} (0\d|1[0-2]):[0-5]\d (AM|PM))");
  EXPECT_TRUE(std::regex_match(files().RowText(0, 3).toStdString(), time));
  struct stat status {};
  ASSERT_EQ(stat(big.c_str(), &status), 0);
  EXPECT_EQ(files().RowText(0, 4).toStdString(), platform::FormatListTime(status.st_atime));
  EXPECT_EQ(files().RowText(0, 5).toStdString(), platform::FormatListTime(status.st_mtime));
  const QMimeType type = QMimeDatabase().mimeTypeForFile("big.dbf", QMimeDatabase::MatchExtension);
  EXPECT_EQ(files().RowText(0, 6), type.comment());
  EXPECT_FALSE(files().topLevelItem(0)->icon(0).isNull());
}

TEST_F(FileListTest, TimesUseTheTwelveHourClockWithItsMarkerAlways) {
  const std::string zone = std::getenv("TZ") ? std::getenv("TZ") : "";
  setenv("TZ", "UTC", 1);
  tzset();
  const struct {
    std::time_t time;
    const char* text;
  } cases[] = {{0, "01-01-1970 12:00 AM"},         {11 * 3600 + 59 * 60, "01-01-1970 11:59 AM"},
               {12 * 3600, "01-01-1970 12:00 PM"}, {13 * 3600 + 5 * 60, "01-01-1970 01:05 PM"},
               {1700000000, "14-11-2023 10:13 PM"}};
  for (const auto& c : cases) EXPECT_EQ(platform::FormatListTime(c.time), c.text);
  if (zone.empty()) unsetenv("TZ");
  else setenv("TZ", zone.c_str(), 1);
  tzset();
}

TEST_F(FileListTest, TheCheckAllBoxIsCheckedExactlyWhenEveryRowIsChecked) {
  QCheckBox& box = *view->checkAllBox();
  view->router().Dispatch(61458);  // on an empty list the box stays clear
  EXPECT_FALSE(box.isChecked());
  AddThroughDialog({Source("a.dbf"), Source("b.dbf"), Source("c.dbf"), Source("d.dbf")});
  EXPECT_TRUE(box.isChecked());

  // The mouse on a row's check box.
  files().scrollToTop();
  const QRect row = files().visualItemRect(files().topLevelItem(2));
  QStyleOptionViewItem option;
  option.rect = row;
  option.features = QStyleOptionViewItem::HasCheckIndicator;
  const QRect indicator = files().style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, &files());
  QTest::mouseClick(files().viewport(), Qt::LeftButton, {}, indicator.center());
  EXPECT_EQ(Checks(files()), (std::vector<bool>{true, true, false, true}));
  EXPECT_FALSE(box.isChecked());
  QTest::mouseClick(files().viewport(), Qt::LeftButton, {}, indicator.center());
  EXPECT_TRUE(box.isChecked());

  // The keyboard: Space on the highlighted row.
  files().setFocus();
  files().setCurrentItem(files().topLevelItem(0));
  QTest::keyClick(&files(), Qt::Key_Space);
  EXPECT_FALSE(files().IsChecked(0));
  EXPECT_FALSE(box.isChecked());
  QTest::keyClick(&files(), Qt::Key_Space);
  EXPECT_TRUE(box.isChecked());

  // A click on the box itself sets every row to its opposite.
  QTest::mouseClick(&box, Qt::LeftButton);
  EXPECT_EQ(Checks(files()), std::vector<bool>(4, false));
  EXPECT_FALSE(box.isChecked());
  files().SetChecked(1, true);
  QTest::mouseClick(&box, Qt::LeftButton);
  EXPECT_EQ(Checks(files()), std::vector<bool>(4, true));
  EXPECT_TRUE(box.isChecked());
}

TEST_F(FileListTest, RemoveCommandsKeepTheOrderAndAnswerWithTheirMessages) {
  AddThroughDialog({Source("0.dbf"), Source("1.dbf"), Source("2.dbf"), Source("3.dbf"), Source("4.dbf")});
  for (int row = 0; row < 5; ++row) files().SetChecked(row, row == 1 || row == 3);
  view->router().Dispatch(61447);
  EXPECT_EQ(Names(files()), (std::vector<QString>{"0.dbf", "2.dbf", "4.dbf"}));
  EXPECT_EQ(Checks(files()), std::vector<bool>(3, false));
  EXPECT_FALSE(view->checkAllBox()->isChecked());

  ScopedMessageBoxAnswers answers({1, 1, 1}, FailTest);
  view->router().Dispatch(32783);  // nothing checked
  view->router().Dispatch(61448);  // removes all, silently
  EXPECT_EQ(files().RowCount(), 0);
  view->router().Dispatch(32782);  // nothing left
  view->router().Dispatch(61447);
  ASSERT_EQ(answers.shown().size(), 3u);
  const char* texts[] = {"Please select the file(s) which you want to remove.", "No files to remove.",
                         "No files to remove."};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(answers.shown()[i].text, texts[i]);
    EXPECT_EQ(answers.shown()[i].caption, "Tarnova Drelin DBF");
    EXPECT_EQ(answers.shown()[i].style, 0x40u);
  }
}

TEST_F(FileListTest, TheFilePageButtonsAnswerOnlyThereWhileTheMenuItemsAlwaysDo) {
  AddThroughDialog({Source("a.dbf")});
  view->m_nPage = 1;
  AddThroughDialog({});  // the dialog is not asked for: an unused answer is fine
  view->router().Dispatch(61448);
  EXPECT_EQ(files().RowCount(), 1);
  view->router().Dispatch(32782);
  EXPECT_EQ(files().RowCount(), 0);
  view->m_nPage = 0;
}

TEST_F(FileListTest, TheDeleteKeyRemovesTheHighlightedRowWhateverItsCheck) {
  AddThroughDialog({Source("a.dbf"), Source("b.dbf")});
  files().SetChecked(0, false);
  files().setFocus();
  files().clearSelection();
  QTest::keyClick(&files(), Qt::Key_Delete);  // nothing highlighted
  EXPECT_EQ(files().RowCount(), 2);
  files().setCurrentItem(files().topLevelItem(0));
  QTest::keyClick(&files(), Qt::Key_Delete);
  EXPECT_EQ(Names(files()), (std::vector<QString>{"b.dbf"}));
  EXPECT_TRUE(view->checkAllBox()->isChecked());  // the one row left is checked
}

// Drops `urls` (encoded) on the list; whether the drop was taken.
bool Drop(CFileListCtrl& list, const std::vector<QByteArray>& urls) {
  QMimeData data;
  QList<QUrl> parsed;
  for (const QByteArray& url : urls) parsed.append(QUrl::fromEncoded(url));
  data.setUrls(parsed);
  const QPoint at = list.viewport()->rect().center();
  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(list.viewport(), &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(list.viewport(), &drop);
  return drop.isAccepted();
}

QByteArray FileUrl(const std::string& path) {
  return "file://" + QByteArray::fromStdString(path).toPercentEncoding("/");
}

TEST_F(FileListTest, DroppedFilesAreAddedUnderTheSameRulesWithTheirOwnBytes) {
  const std::string odd = Source("caf\xe9 <b>x.dbf");  // Latin-1 bytes: not UTF-8
  EXPECT_TRUE(Drop(files(), {FileUrl(Source("a.dbf")), FileUrl(Source("notes.txt")), FileUrl(odd),
                             "https://example.com/b.dbf"}));
  ASSERT_EQ(files().RowCount(), 2);
  EXPECT_EQ(files().FullPath(0), sources / "a.dbf");
  EXPECT_EQ(files().FullPath(1), odd);
  EXPECT_TRUE(files().RowText(1, 0).endsWith(" <b>x.dbf"));  // shown as written

  // Not while the repair page shows, nor while a run goes on.
  view->m_nPage = 1;
  EXPECT_FALSE(Drop(files(), {FileUrl(Source("c.dbf"))}));
  view->m_nPage = 0;
  batch::g_bRepairing = true;
  EXPECT_FALSE(Drop(files(), {FileUrl(sources / "c.dbf")}));
  batch::g_bRepairing = false;
  EXPECT_TRUE(Drop(files(), {FileUrl(sources / "c.dbf")}));
  EXPECT_EQ(files().RowCount(), 3);
}

}  // namespace
}  // namespace drelin::testing
