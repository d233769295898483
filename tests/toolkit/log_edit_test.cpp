// The log box: its lines as appended and cut back to a mark, the scroll
// bar counted in lines, what it paints, and the copy of its whole text.
#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include "LogEdit.h"

namespace drelin {
namespace {

TEST(LogEdit, LinesGrowAtTheEndAndAreCutBackToAMark) {
  CLogEdit log;
  EXPECT_EQ(log.lineCount(), 1);
  log.AppendText("\r\nSelected File: (1 of 2)\r\nRepairing ");
  log.AppendText("/data/a.dbf");
  EXPECT_EQ(log.lineCount(), 3);
  EXPECT_EQ(log.line(2), "Repairing /data/a.dbf");
  const CLogEdit::Mark mark = log.mark();
  log.AppendText("\r\n\t\tExtraction Phase 1");
  EXPECT_EQ(log.lineCount(), 4);
  log.TruncateTo(mark);
  EXPECT_EQ(log.toPlainText(), "\nSelected File: (1 of 2)\nRepairing /data/a.dbf");
  log.AppendText("\r\n");
  EXPECT_EQ(log.lineCount(), 4);
  EXPECT_EQ(log.line(3), "");
  log.Clear();
  EXPECT_EQ(log.toPlainText(), "");
  EXPECT_EQ(log.lineCount(), 1);
}

TEST(LogEdit, TheScrollBarCountsLinesAndOnlyTheLinesInViewArePainted) {
  CLogEdit log;
  log.resize(300, 200);
  log.show();
  QString text;
  for (int i = 0; i < 1000; ++i) text += QStringLiteral("line %1\n").arg(i);
  log.AppendText(text);
  QScrollBar* bar = log.verticalScrollBar();
  const int shown = bar->pageStep();
  EXPECT_GT(shown, 3);
  EXPECT_EQ(bar->maximum(), 1001 - shown);
  bar->setValue(bar->value() + 500);
  EXPECT_EQ(log.firstVisibleLine(), 500);
  bar->setValue(bar->value() + log.lineCount());  // as far as it goes: the last lines in view
  EXPECT_EQ(log.firstVisibleLine(), 1001 - shown);

  // The first line in view is drawn at the top: a narrow text line has ink
  // in the rows of the first line only when something stands there.
  log.Clear();
  log.AppendText("XXXXXXXXXXXXXXXXXXXX\n\nXXXXXXXXXXXXXXXXXXXX");
  const QImage image = log.viewport()->grab().toImage();
  auto inked = [&image](int top, int height) {
    for (int y = top; y < top + height; ++y)
      for (int x = 0; x < 100; ++x)
        if (QColor(image.pixel(x, y)).lightness() < 128) return true;
    return false;
  };
  const int height = log.fontMetrics().lineSpacing();
  EXPECT_TRUE(inked(4, height));
  EXPECT_FALSE(inked(4 + height, height));
  EXPECT_TRUE(inked(4 + 2 * height, height));
}

TEST(LogEdit, CopyTakesTheWholeText) {
  CLogEdit log;
  log.AppendText("one\r\ntwo");
  QTest::keyClick(&log, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), "one\ntwo");
}

}  // namespace
}  // namespace drelin
