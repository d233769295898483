// The File Preview window and the preview command: the refusals, the
// window's layout, title, colours and pictures, the grid it fills from a
// repaired sample, the empty grid of a missing working file, and file
// errors told instead of ending anything.
#include <QComboBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>
#include <cstring>
#include <filesystem>
#include <unistd.h>

#include "BatchTexts.h"
#include "DbfBuilder.h"
#include "DbfRepairEngine.h"
#include "FilePreviewDlg.h"
#include "ModalSeam.h"
#include "PreviewCommand.h"
#include "PreviewListCtrl.h"
#include "RepairFlags.h"
#include "TempDir.h"

namespace drelin::testing {
namespace {

class RecordingMessages : public batch::MessageCall {
 public:
  struct Shown {
    std::string text;
    std::string caption;
    unsigned style;
  };
  int RichMessageBox(const std::string& text, const std::string& caption, unsigned style) override {
    shown.push_back({text, caption, style});
    return batch::kIdOk;
  }
  std::vector<Shown> shown;
};

class PreviewWindowTest : public ::testing::Test {
 protected:
  // A sample repaired into a working file; returns the working path.
  std::string RepairSample(const std::string& name = "wrong_record_count.dbf") {
    const std::string working = dir_ / ("0ozn_aqf_xrj_196_temp_1_" + name);
    DbfRepairEngine().RepairFile(std::string(DRELIN_SAMPLES_DIR) + "/" + name, working, kRepairNormal);
    return working;
  }
  void Run(int row, const std::string& status, const std::string& working) {
    RunPreviewCommand(nullptr, messages_, row, kSource, status, working, folder());
  }
  QString folder() const { return QString::fromStdString(dir_.path().string()); }

  static constexpr const char* kSource = "/data/orders [*] <b>x</b>.dbf";
  TempDir dir_;
  RecordingMessages messages_;
};

TEST(PreviewLayout, PlacesGridAndButtonsByTheClientSize) {
  struct Case {
    QSize client;
    QSize button;
    QRect grid;
    QRect ok;
    QRect cancel;
  };
  const Case cases[] = {
      {{1000, 700}, {75, 23}, {30, 60, 940, 580}, {810, 658, 75, 23}, {895, 658, 75, 23}},
      // Half the height is rounded down: 700 - 30 - 25 + 12.
      {{1000, 700}, {80, 25}, {30, 60, 940, 580}, {800, 657, 80, 25}, {890, 657, 80, 25}},
      // Too small for the grid: it shrinks to nothing rather than inverting.
      {{50, 100}, {75, 23}, {30, 60, 0, 0}, {-140, 58, 75, 23}, {-55, 58, 75, 23}},
  };
  for (const Case& c : cases) {
    const PreviewLayout layout = PreviewLayoutFor(c.client, c.button, 70);
    EXPECT_EQ(layout.grid, c.grid);
    EXPECT_EQ(layout.ok, c.ok);
    EXPECT_EQ(layout.cancel, c.cancel);
    EXPECT_EQ(layout.chooserLabel.top(), c.cancel.top());
    EXPECT_EQ(layout.chooser.left(), layout.chooserLabel.right() + 1 + 6);
  }
}

TEST_F(PreviewWindowTest, LiveWindowLaysOutPaintsAndShowsItsPictures) {
  QImage tile(8, 8, QImage::Format_RGB32);
  tile.fill(qRgb(200, 0, 200));
  for (bool withBackground : {false, true}) {
    if (withBackground) {
      ASSERT_TRUE(tile.save(QString::fromStdString(dir_ / "bkgListPreview.bmp"), "BMP"));
    }
    CFilePreviewDlg dialog(nullptr, messages_, kSource, folder());
    dialog.setWindowState(Qt::WindowNoState);
    dialog.resize(1000, 700);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    ASSERT_EQ(dialog.size(), QSize(1000, 700));
    EXPECT_EQ(dialog.cancelButton().geometry(), QRect(895, 658, 75, 23));
    EXPECT_EQ(dialog.codePageChooser().y(), 658);
    // Shrunk as far as it goes, the chooser stays clear of OK and the grid keeps rows.
    dialog.resize(100, 100);
    EXPECT_LT(dialog.codePageChooser().geometry().right(), dialog.okButton().x());
    EXPECT_GT(dialog.grid().height(), 2 * 23);
    dialog.resize(1000, 700);

    const QImage window = dialog.grab().toImage();
    EXPECT_EQ(window.pixel(990, 10), qRgb(255, 186, 16));
    EXPECT_EQ(window.pixel(500, 690), qRgb(255, 186, 16));
    int badgePixels = 0;
    for (int y = 0; y < 60; ++y) {
      for (int x = 0; x < 152; ++x) badgePixels += window.pixel(x, y) != qRgb(255, 186, 16);
    }
    EXPECT_GT(badgePixels, 152 * 60 / 20);
    for (int x = 160; x < 400; x += 7) EXPECT_EQ(window.pixel(x, 30), qRgb(255, 186, 16));
    EXPECT_FALSE(dialog.windowIcon().isNull());

    const QImage grid = dialog.grid().viewport()->grab().toImage();
    EXPECT_EQ(grid.pixel(grid.width() - 3, grid.height() - 3),
              withBackground ? qRgb(200, 0, 200) : dialog.grid().palette().color(QPalette::Base).rgb());
  }
}

TEST_F(PreviewWindowTest, TitleShowsThePathAsWritten) {
  for (const char* path : {"/data/orders.dbf", "/data/a[*]b.dbf", "/d/[*][*]x[*].dbf", "/d/<b>x</b>.dbf"}) {
    CFilePreviewDlg dialog(nullptr, messages_, path, folder());
    dialog.winId();
    ASSERT_NE(dialog.windowHandle(), nullptr);
    EXPECT_EQ(dialog.windowHandle()->title(), QString::fromUtf8(path));
  }
}

TEST_F(PreviewWindowTest, RefusesWhileRepairingWithoutARowAndForRowsNotDone) {
  struct Case {
    bool repairing;
    int row;
    const char* status;
    const char* text;
    unsigned style;
  };
  const Case cases[] = {
      {true, 0, batch::kStatusDone, kPreviewWhileRepairing, batch::kMbExclamationOk},
      {true, -1, batch::kStatusFailed, kPreviewWhileRepairing, batch::kMbExclamationOk},
      {false, -1, batch::kStatusDone, kPreviewNoRow, batch::kMbOk},
      {false, 2, batch::kStatusFailed, kPreviewNotRepaired, batch::kMbExclamationOk},
      {false, 0, batch::kStatusPending, kPreviewNotRepaired, batch::kMbExclamationOk},
      {false, 0, "Done ", kPreviewNotRepaired, batch::kMbExclamationOk},
  };
  const std::string working = RepairSample();
  ScopedModalAnswers modal([](QDialog& dialog) {
    ADD_FAILURE() << "a window was shown: " << dialog.objectName().toStdString();
    return 0;
  });
  for (const Case& c : cases) {
    messages_.shown.clear();
    batch::g_bRepairing = c.repairing;
    Run(c.row, c.status, working);
    batch::g_bRepairing = false;
    ASSERT_EQ(messages_.shown.size(), 1u);
    EXPECT_EQ(messages_.shown[0].text, c.text);
    EXPECT_EQ(messages_.shown[0].caption, "Tarnova Drelin DBF");
    EXPECT_EQ(messages_.shown[0].style, c.style);
  }
  EXPECT_EQ(std::string(kPreviewWhileRepairing),
            "You can not see the preview while repairing the file.\t\t\t\nTo see the preview stop the "
            "repairing of file");
  EXPECT_TRUE(modal.shown().empty());
}

TEST_F(PreviewWindowTest, ADoneRowOpensTheWindowOnItsWorkingFileOrTheEmptyGrid) {
  struct Case {
    std::string working;
    int columns;
    uint64_t rows;
  };
  const Case cases[] = {
      {RepairSample(), 7, 8},
      {dir_ / "0ozn_aqf_xrj_196_temp_1_gone.dbf", 0, 0},  // missing: no message either
      {dir_ / "no-folder/gone.dbf", 0, 0},
  };
  for (const Case& c : cases) {
    ScopedModalAnswers modal([&](QDialog& dialog) {
      auto& preview = dynamic_cast<CFilePreviewDlg&>(dialog);
      EXPECT_TRUE(preview.windowState() & Qt::WindowMaximized);
      EXPECT_EQ(preview.grid().header()->count(), c.columns);
      EXPECT_EQ(preview.grid().content().rowCount(), c.rows);
      return static_cast<int>(QDialog::Accepted);
    });
    Run(0, batch::kStatusDone, c.working);
    EXPECT_EQ(modal.shown(), std::vector<QString>{QStringLiteral("FilePreview")});
  }
  EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(PreviewWindowTest, TheLiveWindowOpensMaximisedAndOkOrCancelCloseIt) {
  const std::string working = RepairSample();
  for (const char* button : {"OK", "Cancel"}) {
    bool driven = false;
    ScopedModalDriver driver([&](QDialog& dialog) {
      auto& preview = dynamic_cast<CFilePreviewDlg&>(dialog);
      driven = true;
      EXPECT_TRUE(preview.isMaximized());
      EXPECT_EQ(preview.grid().geometry(), QRect(30, 60, preview.width() - 60, preview.height() - 120));
      EXPECT_EQ(preview.focusWidget(), &preview.grid());
      QPushButton& press = std::string(button) == "OK" ? preview.okButton() : preview.cancelButton();
      QTest::mouseClick(&press, Qt::LeftButton);
    });
    Run(0, batch::kStatusDone, working);
    EXPECT_TRUE(driven) << button;
  }
  EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(PreviewWindowTest, FileErrorsAreToldWithFileAndReason) {
  // A working path that cannot be read: told instead of the window.
  ScopedModalAnswers modal([](QDialog&) { return static_cast<int>(QDialog::Accepted); });
  const std::string folderPath = dir_.path().string();
  Run(0, batch::kStatusDone, folderPath);
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0].text, "cannot open '" + folderPath + "': Is a directory");
  EXPECT_EQ(messages_.shown[0].style, batch::kMbExclamationOk);
  EXPECT_TRUE(modal.shown().empty());

  // A file that shrinks while it is shown: told once, after the paint.
  messages_.shown.clear();
  const std::string working = RepairSample();
  CFilePreviewDlg dialog(nullptr, messages_, kSource, folder());
  ASSERT_TRUE(dialog.LoadTable(working));
  ASSERT_EQ(truncate(working.c_str(), 200), 0);
  for (int paint = 0; paint < 2; ++paint) {
    dialog.grid().viewport()->grab();
    QCoreApplication::processEvents();
  }
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_NE(messages_.shown[0].text.find(working), std::string::npos) << messages_.shown[0].text;
  EXPECT_NE(messages_.shown[0].text.find("changed while it was being read"), std::string::npos);
}

TEST_F(PreviewWindowTest, TheChooserOffersTheCommandLinesNamesAndRedecodes) {
  const QStringList& names = CFilePreviewDlg::CodePageNames();
  ASSERT_FALSE(names.isEmpty());
  EXPECT_EQ(names.front(), QStringLiteral("WINDOWS-1252"));
  for (const char* name : {"CP437", "WINDOWS-1251", "CP866", "CP932", "UTF-8"}) {
    EXPECT_TRUE(names.contains(QString::fromLatin1(name))) << name;
  }
  // "ИМЯ" in Windows-1251; cells "Ёж" (1251) and "é" (437).
  DbfBuilder table;
  table.Field("\xC8\xCC\xDF", 'C', 6).Record({"\xA8\xE6"}).Record({"\x82"});
  WriteFile(dir_ / "t.dbf", table.Build());
  CFilePreviewDlg dialog(nullptr, messages_, kSource, folder());
  ASSERT_TRUE(dialog.LoadTable(dir_ / "t.dbf"));
  struct Case {
    const char* page;
    const char* title;
    const char* first;
    const char* second;
  };
  const Case cases[] = {
      {"WINDOWS-1251", "ИМЯ", "Ёж    ", "‚     "},
      {"CP437", "╚╠▀", "¿µ    ", "é     "},
      {"WINDOWS-1252", "ÈÌß", "¨æ    ", "‚     "},
  };
  for (const Case& c : cases) {
    dialog.codePageChooser().setCurrentText(QString::fromLatin1(c.page));
    const CPreviewListCtrl& grid = dialog.grid();
    EXPECT_EQ(grid.header()->model()->headerData(1, Qt::Horizontal).toString(), QString::fromUtf8(c.title));
    EXPECT_EQ(grid.content().Cell(0, 1), QString::fromUtf8(c.first)) << c.page;
    EXPECT_EQ(grid.content().Cell(1, 1), QString::fromUtf8(c.second)) << c.page;
  }
  EXPECT_TRUE(messages_.shown.empty());
}

// The working file's header has no language byte: the chooser starts at
// the source's code page, from its .cpg or its header, or Windows-1252.
TEST_F(PreviewWindowTest, TheChooserStartsAtTheSourcesCodePage) {
  DbfBuilder table;
  table.Field("NAME", 'C', 6).Record({"\x8F\xA0"});  // "Па" in code page 866
  struct Case {
    uint8_t driver;
    const char* cpg;  // null: none
    const char* page;
    const char* cell;
  };
  const Case cases[] = {
      {0x65, nullptr, "CP866", "Па    "},
      {0x57, nullptr, "WINDOWS-1252", "\u008F\u00A0    "},
      {0x6A, nullptr, "CP737", "Πι    "},    // not among the chooser's names: added
      {0x65, "ISO-8859-5", "ISO-8859-5", "\u008F\u00A0    "},  // the .cpg wins
  };
  for (const Case& c : cases) {
    std::filesystem::remove(dir_ / "src.cpg");
    const std::string source = dir_ / "src.dbf";
    WriteFile(source, table.LanguageDriver(c.driver).Build());
    if (c.cpg) WriteFile(dir_ / "src.cpg", Bytes(c.cpg, c.cpg + std::strlen(c.cpg)));
    const std::string working = dir_ / "0ozn_aqf_xrj_196_temp_1_src.dbf";
    std::filesystem::remove(working);
    DbfRepairEngine().RepairFile(source, working, kRepairNormal);
    CFilePreviewDlg dialog(nullptr, messages_, source, folder());
    ASSERT_TRUE(dialog.LoadTable(working));
    EXPECT_EQ(dialog.codePageChooser().currentText(), QString::fromLatin1(c.page));
    EXPECT_EQ(dialog.grid().content().codePageName(), c.page);
    EXPECT_EQ(dialog.grid().content().Cell(0, 1), QString::fromUtf8(c.cell)) << c.page;
  }
  // A source that is gone leaves Windows-1252.
  CFilePreviewDlg gone(nullptr, messages_, dir_ / "gone.dbf", folder());
  EXPECT_EQ(gone.codePageChooser().currentText(), QStringLiteral("WINDOWS-1252"));
  EXPECT_TRUE(messages_.shown.empty());
}

}  // namespace
}  // namespace drelin::testing
