// Runs in the window: the refusals before a run, a whole run from adding
// damaged samples to saving them, a stop during the second of three files
// held on a latch, the refusals while a run goes on, the leave check after
// one, and a name that is not UTF-8 from the drop to the saved file.
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include <condition_variable>
#include <mutex>

#include "BatchTexts.h"
#include "FilePreviewDlg.h"
#include "HintLabel.h"
#include "LogEdit.h"
#include "PreviewCommand.h"
#include "PreviewContent.h"
#include "PreviewListCtrl.h"
#include "ReferenceModel.h"
#include "SimulatedIo.h"
#include "SkinButton.h"
#include "ViewHarness.h"

namespace drelin::testing {
namespace {

using ViewRunTest = ViewHarness;
using Words = std::vector<std::string>;

std::string Opening(int index, int count, const std::string& path) {
  return "\r\nSelected File: (" + std::to_string(index) + " of " + std::to_string(count) +
         ")\r\nRepairing \r\n" + path +
         "\r\n\r\nRepair Progress...\r\n\tAnalyzing Header\r\n\t\tError found in Header\r\n\t\t"
         "Repairing Header\r\n\tExtracting data";
}
std::string Closing(bool done) {
  return std::string("\r\n\tAdding data\r\nRepair ") +
         (done ? "Complete\r\nPlease select the file from the list below, and Double Click to see "
                 "the preview or save using \"Save Files\" from toolbar.\r\n\r\n"
               : "Failed");
}

std::string WorkingPath(const TempDir& work, int row, const std::string& name) {
  return work / (std::to_string(row) + "ozn_aqf_xrj_196_temp_1_" + name);
}

TEST_F(ViewRunTest, NextRefusesAnEmptyOrUncheckedListAndACancelledModeStartsNothing) {
  {
    ScopedMessageBoxAnswers answers({1, 1}, FailTest);
    view->router().Dispatch(61452);
    AddThroughDialog({Source("a.dbf")});
    files().SetChecked(0, false);
    view->router().Dispatch(61466);
    ASSERT_EQ(answers.shown().size(), 2u);
    EXPECT_EQ(answers.shown()[0].text, "Please add file(s) in the list to repair");
    EXPECT_EQ(answers.shown()[1].text, "Please select the file(s) from the list");
    for (const ShownMessageBox& shown : answers.shown()) {
      EXPECT_EQ(shown.style, 0x30u);
      EXPECT_EQ(shown.caption, "Tarnova Drelin DBF");
    }
  }
  files().SetChecked(0, true);
  StartRun(nullptr);
  EXPECT_EQ(view->m_nPage, 0);
  EXPECT_TRUE(files().isVisible());
  EXPECT_EQ(statuses().RowCount(), 0);
  EXPECT_FALSE(batch::g_bRepairing);
}

TEST_F(ViewRunTest, AWholeRunFromAddingToSaving) {
  const Words names = {"wrong_record_count.dbf", "garbage_header.dbf", "lost_terminator.dbf"};
  Paths paths;
  for (const std::string& name : names) paths.push_back(SampleCopy(name));
  paths.push_back(Source("hopeless.dbf", Bytes(10, ' ')));
  AddThroughDialog(paths);
  StartRun(batch::kAdvanceModeText);
  FinishRun();

  EXPECT_EQ(Statuses(), (Words{"Done", "Done", "Done", "Failed"}));
  // Why a row failed is its status cell's tip; the log shows no reasons.
  EXPECT_TRUE(statuses().topLevelItem(3)->toolTip(1).contains("hopeless.dbf"));
  EXPECT_TRUE(statuses().topLevelItem(2)->toolTip(1).isEmpty());
  std::string log;
  for (int row = 0; row < 4; ++row) {
    EXPECT_EQ(statuses().RowText(row, 0), paths[size_t(row)]);
    EXPECT_EQ(statuses().RowText(row, 2), "Advance Repair Mode");
    log += Opening(row + 1, 4, paths[size_t(row)]) + Closing(row != 3);
  }
  EXPECT_EQ(view->logText(), log);
  QString shown = QString::fromStdString(log);
  shown.remove('\r');
  EXPECT_EQ(view->logBox()->toPlainText(), shown);
  EXPECT_EQ(view->GetLogLineCount(), 1 + int(std::count(log.begin(), log.end(), '\n')));
  EXPECT_EQ(view->hintLabel()->text(), batch::kHintTexts[2]);
  EXPECT_FALSE(view->button(61461)->isVisible());
  EXPECT_EQ(view->m_nPage, 1);
  for (size_t row = 0; row < 3; ++row) {
    EXPECT_EQ(ReadFile(WorkingPath(work, int(row), names[row])), ReferenceRepair(ReadFile(paths[row]), 1))
        << names[row];
  }

  // The preview of a repaired row shows the repaired table; a failed row has none.
  const std::optional<ReferenceGrid> expected = ReferencePreview(*ReferenceRepair(ReadFile(paths[1]), 1));
  ASSERT_TRUE(expected);
  statuses().setCurrentItem(statuses().topLevelItem(1));
  {
    ScopedModalAnswers preview(
        [&](QDialog& dialog) {
          auto& window = dynamic_cast<CFilePreviewDlg&>(dialog);
          EXPECT_EQ(window.windowTitle(), QString::fromStdString(paths[1]));
          const PreviewContent& grid = window.grid().content();
          EXPECT_EQ(grid.columnCount(), int(expected->columns.size()));
          EXPECT_EQ(grid.rowCount(), expected->rows.size());
          for (size_t row = 0; row < expected->rows.size(); ++row)
            for (size_t column = 0; column < expected->columns.size(); ++column)
              EXPECT_EQ(grid.Cell(row, int(column)), QString::fromLatin1(expected->rows[row][column])) << row;
          return int(QDialog::Accepted);
        },
        FailTest);
    view->router().Dispatch(61452);  // Next on the repair page
    EXPECT_EQ(preview.shown(), (std::vector<QString>{"FilePreview"}));
  }
  EXPECT_TRUE(statuses().hasFocus());
  statuses().setCurrentItem(statuses().topLevelItem(3));
  {
    ScopedMessageBoxAnswers answers({1}, FailTest);
    view->router().Dispatch(61465);  // the context menu's Preview
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "File is not repaired yet!");
    EXPECT_EQ(answers.shown()[0].style, 0x30u);
  }

  ScopedModalAnswers folder({}, FailTest);
  folder.QueueFolder(saved.path().string());
  view->router().Dispatch(61460);
  // The samples name Windows-1252 in their headers, which a repaired table
  // loses: a .cpg beside each says it.
  EXPECT_EQ(saved.Entries(), (Words{"Rep_1_garbage_header.cpg", "Rep_1_garbage_header.dbf",
                                    "Rep_1_lost_terminator.cpg", "Rep_1_lost_terminator.dbf",
                                    "Rep_1_wrong_record_count.cpg", "Rep_1_wrong_record_count.dbf"}));
  EXPECT_EQ(ReadFile(saved / "Rep_1_lost_terminator.cpg"), (Bytes{'1', '2', '5', '2'}));
  EXPECT_EQ(ReadFile(saved / "Rep_1_lost_terminator.dbf"), ReferenceRepair(ReadFile(paths[2]), 1));
  EXPECT_EQ(files().RowCount(), 0);
  EXPECT_EQ(statuses().RowCount(), 0);
  EXPECT_EQ(view->m_nPage, 0);
  EXPECT_TRUE(files().isVisible());
  EXPECT_FALSE(view->checkAllBox()->isChecked());
  EXPECT_EQ(view->hintLabel()->text(), batch::kHintTexts[0]);
  EXPECT_TRUE(work.Entries().empty());
}

// The real file system, holding the worker when it opens `held` until the
// test lets it go.
class LatchedIo : public SimulatedIo {
 public:
  explicit LatchedIo(std::string held) : held_(std::move(held)) {}
  int Open(const char* path, int flags, mode_t mode) override {
    if (path == held_) {
      std::unique_lock<std::mutex> lock(mutex_);
      if (!entered_) {
        entered_ = true;
        changed_.wait(lock, [this] { return released_; });
      }
    }
    return SimulatedIo::Open(path, flags, mode);
  }
  bool entered() {
    std::lock_guard<std::mutex> lock(mutex_);
    return entered_;
  }
  void Release() {
    std::lock_guard<std::mutex> lock(mutex_);
    released_ = true;
    changed_.notify_all();
  }

 private:
  std::string held_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool entered_ = false, released_ = false;
};

TEST_F(ViewRunTest, StopDuringTheSecondOfThreeAndTheRefusalsMeanwhile) {
  const Paths paths = {SampleCopy("missing_eof.dbf"), SampleCopy("garbage_header.dbf"),
                       SampleCopy("cutoff_last_record.dbf")};
  LatchedIo io(paths[1]);
  view.reset();
  MakeView(&io);
  AddThroughDialog(paths);
  StartRun(batch::kNormalModeText);
  RunUntil([&io] { return io.entered(); });
  EXPECT_EQ(Statuses(), (Words{"Done", "Progress", "Pending"}));

  {
    ScopedMessageBoxAnswers answers({1, 1, 1, 6}, FailTest);
    view->router().Dispatch(61455);  // Back
    view->router().Dispatch(61460);  // Save
    statuses().setCurrentItem(statuses().topLevelItem(0));
    view->router().Dispatch(61452);  // Next: the preview of a done row
    view->router().Dispatch(61466);  // Repair File: nothing on this page
    view->router().Dispatch(61461);  // Stop, answered Yes
    ASSERT_EQ(answers.shown().size(), 4u);
    EXPECT_EQ(answers.shown()[0].text, "Firstly stop the repairing of the file to go back");
    EXPECT_EQ(answers.shown()[1].text, "Firstly stop the Repairing to save the file");
    EXPECT_EQ(answers.shown()[2].text, kPreviewWhileRepairing);
    EXPECT_EQ(answers.shown()[3].text, "Are you sure that you want to stop the reparing of the file");
    EXPECT_EQ(answers.shown()[3].style, 0x23u);
  }
  EXPECT_EQ(view->timers().PeriodOf(61463), 1000);
  io.Release();
  FinishRun();

  EXPECT_EQ(Statuses(), (Words{"Done", "Failed", "Pending"}));
  EXPECT_EQ(work.Entries(), (Words{"0ozn_aqf_xrj_196_temp_1_missing_eof.dbf"}));
  EXPECT_EQ(view->logText(), Opening(1, 3, paths[0]) + Closing(true) + Opening(2, 3, paths[1]) + Closing(false));
  EXPECT_EQ(view->hintLabel()->text(), batch::kHintTexts[2]);
  // The Stop button is left to the stop timer's next tick.
  EXPECT_TRUE(view->button(61461)->isVisible());
  view->timers().Fire(61463);
  EXPECT_FALSE(view->button(61461)->isVisible());
  EXPECT_FALSE(view->timers().IsRunning(61463));
  EXPECT_FALSE(batch::g_bStopRequested);
}

TEST_F(ViewRunTest, LeavingAfterARunAsksAboutTheUnsavedResults) {
  const std::string source = SampleCopy("first_record_deleted.dbf");
  AddThroughDialog({source});
  StartRun(batch::kNormalModeText);
  FinishRun();
  {
    ScopedMessageBoxAnswers answers({2, 2}, FailTest);  // Cancel, twice
    EXPECT_FALSE(view->CanClose());
    view->router().Dispatch(61455);  // Back asks the same
    ASSERT_EQ(answers.shown().size(), 2u);
  }
  EXPECT_EQ(view->m_nPage, 1);
  {
    ScopedMessageBoxAnswers answers({7}, FailTest);  // No: discard
    EXPECT_TRUE(view->CanClose());
    EXPECT_EQ(answers.shown()[0].text, "Repaired files have not been saved. Do you want to save it?");
  }
  EXPECT_EQ(view->m_nPage, 0);
  EXPECT_TRUE(work.Entries().empty());
  EXPECT_EQ(files().RowCount(), 1);  // the list keeps its files for another run
  EXPECT_TRUE(view->CanClose());     // nothing left to ask about
}

TEST_F(ViewRunTest, ANameThatIsNotUtf8IsAddedRepairedAndSavedUnderItsOwnBytes) {
  const std::string name = "b\xf6rse.dbf";  // Latin-1: not UTF-8
  const std::string source = Source(name, ReadFile(SamplePath("wrong_record_count.dbf")));
  QMimeData data;
  data.setUrls({QUrl::fromEncoded("file://" + QByteArray::fromStdString(source).toPercentEncoding("/"))});
  const QPoint at = files().viewport()->rect().center();
  QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(files().viewport(), &enter);
  QApplication::sendEvent(files().viewport(), &drop);
  ASSERT_EQ(files().RowCount(), 1);
  StartRun(batch::kNormalModeText);
  FinishRun();
  EXPECT_EQ(Statuses(), (Words{"Done"}));
  ScopedModalAnswers folder({}, FailTest);
  folder.QueueFolder(saved.path().string());
  view->router().Dispatch(61460);
  EXPECT_EQ(saved.Entries(), (Words{"Rep_1_b\xf6rse.cpg", "Rep_1_" + name}));
  EXPECT_EQ(ReadFile(saved / ("Rep_1_" + name)), ReferenceRepair(ReadFile(source), 0));
}

}  // namespace
}  // namespace drelin::testing
