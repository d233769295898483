// Renders the program's windows to PNG files for the README and for a
// person to judge: the main window (menu bar, view, status bar) on the file
// page with the bundled samples and with its File menu open, on the repair
// page while a run is held on its fourth table and after the run, the
// preview of a repaired table, each dialog and the start-up splash.
// Offscreen, at 96 DPI, in a work folder of its own.
//
//   view_screenshots OUTPUT_FOLDER SAMPLES_FOLDER
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QTimer>

#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "AboutBox.h"
#include "CorvantilexView.h"
#include "FileIo.h"
#include "FileListCtrl.h"
#include "MainFrame.h"
#include "ModalSeam.h"
#include "RepairFlags.h"
#include "SavingDlg.h"
#include "StartupSplash.h"
#include "ResourceIds.h"
#include "StatusListCtrl.h"

namespace {

using namespace drelin;

// The system's files, holding the worker when it opens `held` until let go.
class HoldingIo : public FileIo {
 public:
  explicit HoldingIo(std::string held) : held_(std::move(held)) {}
  int Open(const char* path, int flags, mode_t mode) override {
    if (path == held_) {
      std::unique_lock<std::mutex> lock(mutex_);
      entered_ = true;
      changed_.wait(lock, [this] { return released_; });
    }
    return real().Open(path, flags, mode);
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
  int Close(int fd) override { return real().Close(fd); }
  ssize_t Pread(int fd, void* b, size_t n, off_t o) override { return real().Pread(fd, b, n, o); }
  ssize_t Pwrite(int fd, const void* b, size_t n, off_t o) override { return real().Pwrite(fd, b, n, o); }
  int Fstat(int fd, struct stat* s) override { return real().Fstat(fd, s); }
  int Lstat(const char* p, struct stat* s) override { return real().Lstat(p, s); }
  int Fsync(int fd) override { return real().Fsync(fd); }
  int Ftruncate(int fd, off_t n) override { return real().Ftruncate(fd, n); }
  ssize_t CopyFileRange(int i, off_t* io, int o, off_t* oo, size_t n) override {
    return real().CopyFileRange(i, io, o, oo, n);
  }
  int Rename(const char* f, const char* t, unsigned flags) override { return real().Rename(f, t, flags); }
  int Link(const char* f, const char* t) override { return real().Link(f, t); }
  int Unlink(const char* p) override { return real().Unlink(p); }
  int Mkdir(const char* p, mode_t m) override { return real().Mkdir(p, m); }
  int Rmdir(const char* p) override { return real().Rmdir(p); }
  int Fchmod(int fd, mode_t m) override { return real().Fchmod(fd, m); }
  char* Mkdtemp(char* p) override { return real().Mkdtemp(p); }
  DIR* Opendir(const char* p) override { return real().Opendir(p); }
  int Flock(int fd, int op) override { return real().Flock(fd, op); }

 private:
  static FileIo& real() { return SystemFileIo(); }
  std::string held_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool entered_ = false, released_ = false;
};

void RunUntil(const std::function<bool()>& done) {
  while (!done()) QApplication::processEvents(QEventLoop::AllEvents);
}

QString g_output;

void Save(QWidget& widget, const QString& name) {
  QApplication::processEvents();
  const QString path = g_output + QLatin1Char('/') + name + QStringLiteral(".png");
  if (!widget.grab().save(path)) std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  else std::printf("%s\n", qPrintable(path));
}

// The window with the open popup `menu` painted where it stands.
void SaveWithMenu(QWidget& window, QMenu& menu, const QString& name) {
  QApplication::processEvents();
  QImage shot = window.grab().toImage();
  {
    QPainter painter(&shot);
    painter.drawPixmap(menu.mapToGlobal(QPoint(0, 0)) - window.mapToGlobal(QPoint(0, 0)), menu.grab());
  }
  const QString path = g_output + QLatin1Char('/') + name + QStringLiteral(".png");
  if (!shot.save(path)) std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  else std::printf("%s\n", qPrintable(path));
}

// Each dialog the view opens is shown live, saved and closed.
void SaveDialogsOf(const std::function<void()>& open) {
  ScopedModalDriver driver([](QDialog& dialog) {
    Save(dialog, QStringLiteral("dialog-") + dialog.objectName());
    dialog.reject();
  });
  open();
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_FONT_DPI", "96");
  QApplication application(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: view_screenshots OUTPUT_FOLDER SAMPLES_FOLDER\n");
    return 2;
  }
  g_output = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(g_output);
  const std::string samples = std::filesystem::absolute(argv[2]).string();
  const std::vector<std::string> names = {"wrong_record_count.dbf", "garbage_header.dbf", "lost_terminator.dbf",
                                          "missing_eof.dbf", "cutoff_last_record.dbf"};
  std::vector<std::string> paths;
  for (const std::string& name : names) paths.push_back(samples + "/" + name);

  const std::filesystem::path work = std::filesystem::temp_directory_path() / "drelin-screenshots";
  std::filesystem::remove_all(work);
  std::filesystem::create_directories(work);
  HoldingIo io(paths[3]);
  CMainFrame::Options options;
  options.io = &io;
  options.workFolder = [&work] { return work.string() + "/"; };
  CMainFrame frame(std::move(options));
  frame.OnUpdateFrameTitle(QStringLiteral("Tarnova Drelin"));
  frame.resize(1000, 760);
  frame.show();
  CCorvantilexView& view = *frame.view();

  {
    ScopedModalAnswers answers;
    answers.QueueFiles(paths);
    view.router().Dispatch(res::kIdAddFiles);
  }
  view.fileList()->SetChecked(4, false);
  view.fileList()->setCurrentItem(view.fileList()->topLevelItem(1));
  Save(frame, QStringLiteral("file-page"));
  {
    QMenu* file = frame.menuBar()->actions().at(0)->menu();
    frame.menuBar()->setActiveAction(file->menuAction());
    file->setActiveAction(file->actions().at(0));
    SaveWithMenu(frame, *file, QStringLiteral("file-menu"));
    file->hide();
  }
  SaveDialogsOf([&view] { view.router().Dispatch(res::kIdSettings); });

  // The run, held on its fourth table, then let go.
  SaveDialogsOf([&view] { view.router().Dispatch(res::kIdNext); });
  {
    ScopedModalAnswers answers([](QDialog& dialog) {
      dialog.accept();
      return int(QDialog::Accepted);
    });
    view.router().Dispatch(res::kIdNext);
  }
  RunUntil([&io] { return io.entered(); });
  Save(frame, QStringLiteral("repair-page-running"));
  io.Release();
  RunUntil([] { return !batch::g_bRepairing; });
  view.commands().WaitForWorker();
  view.statusList()->setCurrentItem(view.statusList()->topLevelItem(0));
  Save(frame, QStringLiteral("repair-page-done"));
  SaveDialogsOf([&view] { view.router().Dispatch(res::kIdNext); });  // the preview

  // The windows the frame opens, and the ones that open without a dialog loop.
  SaveDialogsOf([&view] { CAboutBox(&view).DoModal(); });
  {
    CSavingDlg saving(&view);
    saving.Open();
    saving.SetText(QString::fromStdString(paths[2]));
    Save(saving, QStringLiteral("dialog-Saving"));
  }
  CStartupSplash::EnableSplash(true);
  if (CStartupSplash::ShowSplash(4000, res::kBmpSplash, &view)) {
    Save(*CStartupSplash::Current(), QStringLiteral("splash"));
    delete CStartupSplash::Current();
  }

  std::filesystem::remove_all(work);
  return 0;
}
