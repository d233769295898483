// The window's responsiveness under load, measured by an event-loop latency
// probe: a timer that should tick every 5 ms records how late each tick runs,
// so the worst lateness is the longest the user-interface thread was kept
// from its events.
//
//   drelin-bench-view add N     adding N tables through the open dialog
//   drelin-bench-view run N     a Normal run over N small damaged tables,
//                               from Next to the run's end
//
// Prints one line: "<mode> <N> files: <total> ms, worst stall <stall> ms".
// The tables and working files live in a scratch folder under $TMPDIR.
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "CorvantilexView.h"
#include "DbfBuilder.h"
#include "FileListCtrl.h"
#include "ModalSeam.h"
#include "RepairFlags.h"
#include "ResourceIds.h"
#include "TempDir.h"

namespace {

using namespace drelin;
using testing::Bytes;

constexpr int kProbeMs = 5;

class LatencyProbe : public QObject {
 public:
  LatencyProbe() {
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, this, [this] {
      const qint64 now = clock_.nsecsElapsed();
      worst_ = std::max(worst_, now - last_ - qint64(kProbeMs) * 1000000);
      last_ = now;
    });
  }
  void Start() {
    clock_.start();
    last_ = 0;
    worst_ = 0;
    timer_.start(kProbeMs);
  }
  double WorstMs() const { return double(worst_) / 1e6; }

 private:
  QTimer timer_;
  QElapsedTimer clock_;
  qint64 last_ = 0, worst_ = 0;
};

// N copies of a small table whose header says it holds no record.
std::vector<std::string> WriteTables(const testing::TempDir& folder, int count) {
  Bytes table = testing::DbfBuilder().Field("NAME", 'C', 20).Field("QTY", 'N', 6)
                    .Record({"first", "1"}).Record({"second", "22"}).Record({"third", "333"}).Build();
  table[4] = 0;
  std::vector<std::string> paths;
  for (int i = 0; i < count; ++i) {
    paths.push_back(folder / ("table" + std::to_string(i) + ".dbf"));
    testing::WriteFile(paths.back(), table);
  }
  return paths;
}

void AddFiles(CCorvantilexView& view, const std::vector<std::string>& paths) {
  ScopedModalAnswers answers;
  answers.QueueFiles(paths);
  view.router().Dispatch(res::kIdAddFiles);
}

// Runs the event loop with the probe until `done` holds; the total time.
double Measure(LatencyProbe& probe, const std::function<void()>& start, const std::function<bool()>& done) {
  QElapsedTimer total;
  probe.Start();
  QTimer::singleShot(2 * kProbeMs, [&] {
    total.start();
    start();
  });
  QTimer check;
  QObject::connect(&check, &QTimer::timeout, [&] {
    if (total.isValid() && done()) QApplication::quit();
  });
  check.start(1);
  QApplication::exec();
  return double(total.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  const std::string mode = argc > 2 ? argv[1] : "";
  const int count = argc > 2 ? std::atoi(argv[2]) : 0;
  if ((mode != "add" && mode != "run") || count <= 0) {
    std::fprintf(stderr, "usage: drelin-bench-view add|run COUNT\n");
    return 2;
  }
  testing::TempDir tables, work;
  const std::vector<std::string> paths = WriteTables(tables, count);
  CCorvantilexView::Options options;
  options.workFolder = [&work] { return work.path().string() + "/"; };
  CCorvantilexView view(std::move(options));
  view.resize(1024, 768);
  view.show();
  LatencyProbe probe;

  double elapsed = 0;
  if (mode == "add") {
    elapsed = Measure(probe, [&] { AddFiles(view, paths); },
                      [&] { return view.fileList()->RowCount() == count; });
  } else {
    AddFiles(view, paths);
    ScopedModalAnswers answers([](QDialog& dialog) {
      dialog.accept();
      return int(QDialog::Accepted);
    });
    bool started = false;
    elapsed = Measure(probe,
                      [&] {
                        view.router().Dispatch(res::kIdNext);
                        started = true;
                      },
                      [&] { return started && !batch::g_bRepairing; });
    view.commands().WaitForWorker();
    if (view.GetRowCount() != count || view.GetRowText(count - 1, 1) != "Done") {
      std::fprintf(stderr, "the run did not repair every table\n");
      return 1;
    }
  }
  std::printf("%s %d files: %.0f ms, worst stall %.1f ms (paint requests held back: %d)\n", mode.c_str(), count,
              elapsed, probe.WorstMs(), view.framePacer().held());
  return 0;
}
