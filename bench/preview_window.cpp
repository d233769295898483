// Opens the File Preview window offscreen on a table and reports how long
// its first screen of rows takes to paint (from creating the window), how
// long the screen after Ctrl+End takes, and the process's peak memory. The
// window must show any table at once, jump to its end at once, and cost the
// same memory whatever its record count.
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>

#include <cstdio>
#include <string>

#include "FilePreviewDlg.h"
#include "PreviewListCtrl.h"

namespace {

class NoMessages : public drelin::batch::MessageCall {
 public:
  int RichMessageBox(const std::string& text, const std::string&, unsigned) override {
    std::fprintf(stderr, "message: %s\n", text.c_str());
    return drelin::batch::kIdOk;
  }
};

// Runs the event loop until the grid has painted; false after 30 s.
bool WaitForPaint(const bool& painted) {
  QElapsedTimer limit;
  limit.start();
  while (!painted && limit.elapsed() < 30000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  return painted;
}

long PeakKib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s TABLE\n", argv[0]);
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  NoMessages messages;
  bool painted = false;

  QElapsedTimer clock;
  clock.start();
  drelin::CFilePreviewDlg dialog(nullptr, messages, argv[1], QCoreApplication::applicationDirPath());
  dialog.LoadTable(argv[1]);
  drelin::CPreviewListCtrl& grid = dialog.grid();
  QObject::connect(&grid, &drelin::CPreviewListCtrl::painted, [&] { painted = true; });
  dialog.show();
  if (!WaitForPaint(painted)) return 1;
  const double first = clock.nsecsElapsed() / 1e6;

  painted = false;
  grid.setFocus();
  clock.restart();
  QKeyEvent press(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
  QCoreApplication::sendEvent(&grid, &press);
  if (!WaitForPaint(painted)) return 1;
  const double end = clock.nsecsElapsed() / 1e6;
  const uint64_t rows = grid.content().rowCount();
  const bool atEnd = grid.topRow() + grid.pageRows() == rows && grid.selectedRow() == rows - 1;

  std::printf("rows %llu: first screen %.1f ms, Ctrl+End %.1f ms (%s), peak memory %ld KiB\n",
              static_cast<unsigned long long>(rows), first, end, atEnd ? "last rows shown" : "NOT AT THE END",
              PeakKib());
  return atEnd ? 0 : 1;
}
