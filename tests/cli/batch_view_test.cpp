// The command line's view of a batch run: the log is printed a line at a
// time as it ends, the transient line never; messages print as plain text.
#include <gtest/gtest.h>

#include <sstream>

#include "BatchView.h"
#include "MessageCall.h"

namespace drelin::testing {
namespace {

TEST(BatchView, PrintsEachLogLineOnceItHasEnded) {
  std::ostringstream out;
  cli::BatchView view({"/x/a\r"}, true, out);
  view.ClearLog();
  // A file name ending in CR: that CR and the next piece's LF are one line
  // end, as if the log had come whole.
  view.AppendLog("\r\nSelected\r\nRepairing \r\n/x/a\r");
  EXPECT_EQ(out.str(), "\nSelected\nRepairing \n");
  view.ShowTransientLine("\r\n\t\tExtraction Phase 1");
  EXPECT_EQ(view.GetLogLineCount(), 5);
  view.AppendLog("\n\tAdding data\x1b\r\nRepair Failed");
  EXPECT_EQ(view.GetLogLineCount(), 6);
  EXPECT_EQ(out.str(), "\nSelected\nRepairing \n/x/a\n\tAdding data\\x1B\n");
  view.FlushLog();
  view.FlushLog();
  EXPECT_EQ(out.str(), "\nSelected\nRepairing \n/x/a\n\tAdding data\\x1B\nRepair Failed\n");
}

TEST(BatchView, MessagesShowTheirDataAsItIs) {
  std::ostringstream err;
  cli::BatchMessages messages(err);
  const std::string path = "/x/<b>&amp;<<.dbf";
  EXPECT_EQ(messages.RichMessageBox("cannot move '" + path + "'",
                                    "Tarnova Drelin DBF", batch::kMbExclamationOk),
            batch::kIdOk);
  EXPECT_EQ(err.str(), "drelin-repair: cannot move '" + path + "'\n");
}

}  // namespace
}  // namespace drelin::testing
