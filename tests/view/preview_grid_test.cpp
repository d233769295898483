// The preview grid: the scroll bar counted in rows (scaled past the int
// range) under keys, arrows and drags, the content against the preview reader's grid, the keys of a
// list, and the most columns shown.
#include <QHeaderView>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <limits>

#include "DbfBuilder.h"
#include "EngineTestUtil.h"
#include "PreviewListCtrl.h"

namespace drelin::testing {
namespace {

constexpr int kIntMax = std::numeric_limits<int>::max();

// A grid on screen, 600 by 400, over tables written into a fresh folder.
class PreviewGridTest : public ::testing::Test {
 protected:
  void SetUp() override {
    grid_.resize(600, 400);
    grid_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid_));
  }
  std::string Write(const Bytes& bytes, const std::string& name = "t.dbf") {
    WriteFile(dir_ / name, bytes);
    return dir_ / name;
  }
  void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(&grid_, static_cast<Qt::Key>(key), modifiers);
  }
  QString HeaderTitle(int column) const {
    return grid_.header()->model()->headerData(column, Qt::Horizontal).toString();
  }

  TempDir dir_;
  CPreviewListCtrl grid_;
};

TEST_F(PreviewGridTest, ShowsExactlyWhatTheReaderFillsForEachRepairedSample) {
  for (const auto& entry : std::filesystem::directory_iterator(DRELIN_SAMPLES_DIR)) {
    if (entry.path().extension() != ".dbf") continue;
    SCOPED_TRACE(entry.path().filename().string());
    const std::string repaired = dir_ / "repaired.dbf";
    const int mode = entry.path().filename() == "lost_terminator.dbf" ? kRepairAdvance : kRepairNormal;
    DbfRepairEngine().RepairFile(entry.path().string(), repaired, mode);
    RecordingGrid reader;
    DbfRepairEngine().LoadPreview(repaired, reader);

    ASSERT_TRUE(grid_.Open(SystemFileIo(), repaired));
    const CodePage windows1252;
    ASSERT_EQ(grid_.header()->count(), static_cast<int>(reader.grid.columns.size()));
    for (int c = 0; c < grid_.header()->count(); ++c) {
      EXPECT_EQ(HeaderTitle(c), QString::fromStdString(windows1252.Decode(reader.grid.columns[c].title)));
      EXPECT_EQ(grid_.header()->sectionSize(c), reader.grid.columns[c].width);
    }
    ASSERT_EQ(grid_.content().rowCount(), reader.grid.rows.size());
    for (uint64_t r = 0; r < reader.grid.rows.size(); ++r) {
      for (int c = 0; c < grid_.header()->count(); ++c) {
        EXPECT_EQ(grid_.content().Cell(r, c), QString::fromStdString(windows1252.Decode(reader.grid.rows[r][c])))
            << "row " << r << " column " << c;
      }
    }
    EXPECT_FALSE(grid_.viewport()->grab().isNull());
  }
}

TEST_F(PreviewGridTest, KeysMoveTheSelectionAndKeepItInView) {
  DbfBuilder table;
  table.Field("N", 'N', 6);
  for (int i = 0; i < 1000; ++i) table.Record({std::to_string(i)});
  ASSERT_TRUE(grid_.Open(SystemFileIo(), Write(table.Build())));
  const uint64_t page = grid_.pageRows();
  ASSERT_GT(page, 3u);
  struct Step {
    int key;
    Qt::KeyboardModifiers modifiers;
    uint64_t selected;
    uint64_t top;
  };
  const Step steps[] = {
      {Qt::Key_Down, Qt::NoModifier, 0, 0},  // the first key selects the top row
      {Qt::Key_Down, Qt::NoModifier, 1, 0},
      {Qt::Key_Up, Qt::NoModifier, 0, 0},
      {Qt::Key_Up, Qt::NoModifier, 0, 0},
      {Qt::Key_PageDown, Qt::NoModifier, page - 1, 0},  // to the page's foot first
      {Qt::Key_PageDown, Qt::NoModifier, 2 * (page - 1), page - 1},
      {Qt::Key_PageUp, Qt::NoModifier, page - 1, page - 1},  // to the page's head first
      {Qt::Key_PageUp, Qt::NoModifier, 0, 0},
      {Qt::Key_End, Qt::NoModifier, 999, 1000 - page},
      {Qt::Key_Down, Qt::NoModifier, 999, 1000 - page},
      {Qt::Key_Home, Qt::NoModifier, 0, 0},
      {Qt::Key_End, Qt::ControlModifier, 999, 1000 - page},
      {Qt::Key_Home, Qt::ControlModifier, 0, 0},
  };
  for (const Step& step : steps) {
    Press(step.key, step.modifiers);
    ASSERT_EQ(grid_.selectedRow(), step.selected) << "key " << std::hex << step.key;
    EXPECT_EQ(grid_.topRow(), step.top) << "key " << std::hex << step.key;
    EXPECT_EQ(grid_.verticalScrollBar()->value(), static_cast<int>(step.top));
  }
  // A click selects the row under the pointer; the wheel scrolls by rows.
  QTest::mouseClick(grid_.viewport(), Qt::LeftButton, {}, QPoint(20, 2 * grid_.rowHeight() + 3));
  EXPECT_EQ(grid_.selectedRow(), 2u);
  grid_.verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(grid_.topRow(), 1u);
  grid_.verticalScrollBar()->setValue(500);
  EXPECT_EQ(grid_.topRow(), 500u);
}

TEST_F(PreviewGridTest, ScrollsBillionsOfRowsPastTheBarsIntRange) {
  // A table without fields has a row per byte after the header: a sparse
  // file of three billion bytes is three billion rows and takes no room.
  const std::string path = dir_ / "huge.dbf";
  Bytes head(34, 0);
  head[0] = 0x03;
  head[32] = 0x0D;
  head[33] = 0x20;
  WriteFile(path, head);
  const uint64_t length = 3'000'000'000ull;
  ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(length)), 0);
  ASSERT_TRUE(grid_.Open(SystemFileIo(), path));
  const uint64_t rows = length - 33;
  ASSERT_EQ(grid_.content().rowCount(), rows);
  QScrollBar* bar = grid_.verticalScrollBar();
  EXPECT_EQ(bar->maximum(), kIntMax);

  Press(Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(grid_.selectedRow(), rows - 1);
  EXPECT_EQ(grid_.topRow(), rows - grid_.pageRows());
  EXPECT_EQ(bar->value(), kIntMax);
  EXPECT_EQ(grid_.content().Cell(rows - 1, 0), QString::number(rows));
  EXPECT_FALSE(grid_.viewport()->grab().isNull());
  // The bar's arrow and the arrow keys move one row, though a step of the
  // bar stands for two.
  bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
  EXPECT_EQ(grid_.topRow(), rows - grid_.pageRows() - 1);
  Press(Qt::Key_Home, Qt::ControlModifier);
  Press(Qt::Key_Down);
  EXPECT_EQ(grid_.selectedRow(), 1u);
  bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(grid_.topRow(), 1u);
  bar->setValue(kIntMax);  // the bar dragged to its end shows the last page
  EXPECT_EQ(grid_.topRow(), rows - grid_.pageRows());
  bar->setValue(kIntMax / 2);
  EXPECT_NEAR(static_cast<double>(grid_.topRow()), static_cast<double>(rows - grid_.pageRows()) / 2, 2.0);
}

TEST_F(PreviewGridTest, ColumnsStopWhereTheHeaderCouldNotHoldThem) {
  // A descriptor area of zeros without a terminator: a field per 32 bytes.
  ASSERT_TRUE(grid_.Open(SystemFileIo(), Write(Bytes(32 * 70000, 0))));
  EXPECT_EQ(grid_.header()->count(), PreviewContent::kMaxColumns);
  EXPECT_EQ(grid_.header()->length(), 100 * PreviewContent::kMaxColumns);
  Press(Qt::Key_End, Qt::ControlModifier);
  EXPECT_FALSE(grid_.viewport()->grab().isNull());
}

}  // namespace
}  // namespace drelin::testing
