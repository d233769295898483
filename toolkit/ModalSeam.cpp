#include "ModalSeam.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QTimer>
#include <QtGlobal>

#include <deque>

namespace drelin {
namespace {

enum class Mode { Off, Answers, Driver };

struct ChooserAnswer {
  bool folder = false;
  std::vector<std::string> paths;  // one path for a folder
};

struct SeamState {
  Mode mode = Mode::Off;
  std::function<int(QDialog&)> answer;
  std::function<void(QDialog&)> drive;
  std::deque<ChooserAnswer> queue;
  std::vector<QString> shown;
  ModalFailureHandler onFailure;
};

SeamState& State() {
  static SeamState state;
  return state;
}

void Fail(const QString& message) {
  const SeamState& state = State();
  if (state.onFailure) state.onFailure(message);
  else qFatal("%s", qPrintable(message));
}

QString Described(const QDialog& dialog) {
  return QStringLiteral("modal dialog \"%1\" (title \"%2\")")
      .arg(dialog.objectName(), dialog.windowTitle());
}

// Records the dialog; false (after a failure) when it has no name.
bool Record(const QDialog& dialog) {
  State().shown.push_back(dialog.objectName());
  if (!dialog.objectName().isEmpty()) return true;
  Fail(QStringLiteral("A %1 has no objectName to know it by").arg(Described(dialog)));
  return false;
}

int Answer(QDialog& dialog) {
  const std::function<int(QDialog&)> answer = State().answer;
  if (!answer) {
    Fail(QStringLiteral("No answer for the %1").arg(Described(dialog)));
    return QDialog::Rejected;
  }
  return answer(dialog);
}

int Drive(QDialog& dialog) {
  const std::function<void(QDialog&)> drive = State().drive;
  QTimer::singleShot(0, &dialog, [&dialog, drive] {
    // Make it the active window with its focus, as a user would find it;
    // the platform tells of the activation through the event loop.
    dialog.activateWindow();
    QCoreApplication::processEvents();
    if (drive) drive(dialog);
    if (dialog.isVisible()) {
      Fail(QStringLiteral("The driver left the %1 open").arg(Described(dialog)));
      dialog.reject();
    }
  });
  return dialog.exec();
}

// The next queued chooser answer, which must be of the kind asked for.
bool TakeAnswer(bool folder, ChooserAnswer& taken) {
  SeamState& state = State();
  const QString name = folder ? QStringLiteral("Folder") : QStringLiteral("OpenFiles");
  state.shown.push_back(name);
  if (state.queue.empty()) {
    Fail(QStringLiteral("No answer queued for the chooser \"%1\"").arg(name));
    return false;
  }
  taken = std::move(state.queue.front());
  state.queue.pop_front();
  if (taken.folder != folder) {
    Fail(QStringLiteral("The chooser \"%1\" met an answer queued for the other chooser").arg(name));
    return false;
  }
  return true;
}

std::string RawPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace

int ExecModal(QDialog& dialog) {
  switch (State().mode) {
    case Mode::Off:
      return dialog.exec();
    case Mode::Answers:
      return Record(dialog) ? Answer(dialog) : int(QDialog::Rejected);
    case Mode::Driver:
      Record(dialog);
      return Drive(dialog);
  }
  return QDialog::Rejected;
}

std::vector<std::string> ChooseOpenFiles(QWidget* parent, const QString& caption,
                                         const QString& filter) {
  if (State().mode == Mode::Answers) {
    ChooserAnswer answer;
    return TakeAnswer(false, answer) ? answer.paths : std::vector<std::string>{};
  }
  QFileDialog dialog(parent, caption, QString(), filter);
  dialog.setObjectName(QStringLiteral("OpenFiles"));
  dialog.setFileMode(QFileDialog::ExistingFiles);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  if (ExecModal(dialog) != QDialog::Accepted) return {};
  std::vector<std::string> paths;
  for (const QString& path : dialog.selectedFiles()) paths.push_back(RawPath(path));
  return paths;
}

std::string ChooseFolder(QWidget* parent, const QString& caption) {
  if (State().mode == Mode::Answers) {
    ChooserAnswer answer;
    return TakeAnswer(true, answer) ? answer.paths.front() : std::string();
  }
  QFileDialog dialog(parent, caption);
  dialog.setObjectName(QStringLiteral("Folder"));
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly, true);
  if (ExecModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return RawPath(dialog.selectedFiles().front());
}

ScopedModalAnswers::ScopedModalAnswers(std::function<int(QDialog&)> answer,
                                       ModalFailureHandler onFailure) {
  SeamState& state = State();
  state = SeamState{};
  state.mode = Mode::Answers;
  state.answer = std::move(answer);
  state.onFailure = std::move(onFailure);
}

ScopedModalAnswers::~ScopedModalAnswers() { State() = SeamState{}; }

void ScopedModalAnswers::QueueFiles(std::vector<std::string> paths) {
  State().queue.push_back({false, std::move(paths)});
}

void ScopedModalAnswers::QueueFolder(std::string folder) {
  State().queue.push_back({true, {std::move(folder)}});
}

std::size_t ScopedModalAnswers::pending() const { return State().queue.size(); }

const std::vector<QString>& ScopedModalAnswers::shown() const { return State().shown; }

ScopedModalDriver::ScopedModalDriver(std::function<void(QDialog&)> drive,
                                     ModalFailureHandler onFailure) {
  SeamState& state = State();
  state = SeamState{};
  state.mode = Mode::Driver;
  state.drive = std::move(drive);
  state.onFailure = std::move(onFailure);
}

ScopedModalDriver::~ScopedModalDriver() { State() = SeamState{}; }

const std::vector<QString>& ScopedModalDriver::shown() const { return State().shown; }

}  // namespace drelin
