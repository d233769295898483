#include "MessageBoxTestSeam.h"

#include <QCheckBox>
#include <QTimer>
#include <QtGlobal>

#include "MessageBoxWindow.h"

namespace drelin {
namespace {

struct SeamState {
  message_box_seam::Mode mode = message_box_seam::Mode::Off;
  std::deque<int> answers;
  std::vector<ShownMessageBox> shown;
  ScopedMessageBoxAnswers::FailureHandler onFailure;
  std::function<void(MessageBoxWindow&)> drive;
};

SeamState& State() {
  static SeamState state;
  return state;
}

void Fail(const QString& message) {
  SeamState& state = State();
  if (state.onFailure) state.onFailure(message);
  else qFatal("%s", qPrintable(message));
}

ShownMessageBox Describe(const MessageBoxWindow& box, const QString& text, std::uint32_t style) {
  ShownMessageBox shown;
  shown.text = text;
  shown.caption = box.windowTitle();
  shown.style = style;
  shown.owned = box.parentWidget() != nullptr;
  for (const MessageBoxButton& button : box.buttonRow()) shown.buttons.push_back(button.id);
  return shown;
}

}  // namespace

ScopedMessageBoxAnswers::ScopedMessageBoxAnswers(std::vector<int> answers, FailureHandler onFailure) {
  SeamState& state = State();
  state = SeamState{};
  state.mode = message_box_seam::Mode::Answers;
  state.answers.assign(answers.begin(), answers.end());
  state.onFailure = std::move(onFailure);
}

ScopedMessageBoxAnswers::~ScopedMessageBoxAnswers() { State() = SeamState{}; }

void ScopedMessageBoxAnswers::Add(int answer) { State().answers.push_back(answer); }

std::size_t ScopedMessageBoxAnswers::pending() const { return State().answers.size(); }

const std::vector<ShownMessageBox>& ScopedMessageBoxAnswers::shown() const { return State().shown; }

ScopedMessageBoxDriver::ScopedMessageBoxDriver(std::function<void(MessageBoxWindow&)> drive) {
  SeamState& state = State();
  state = SeamState{};
  state.mode = message_box_seam::Mode::Driver;
  state.drive = std::move(drive);
}

ScopedMessageBoxDriver::~ScopedMessageBoxDriver() { State() = SeamState{}; }

const std::vector<ShownMessageBox>& ScopedMessageBoxDriver::shown() const { return State().shown; }

namespace message_box_seam {

Mode CurrentMode() { return State().mode; }

int Answer(MessageBoxWindow& box, const QString& text, std::uint32_t style) {
  SeamState& state = State();
  state.shown.push_back(Describe(box, text, style));
  ShownMessageBox& shown = state.shown.back();
  const QString where = QStringLiteral("message box \"%1\" (caption \"%2\", style 0x%3)")
                            .arg(text, shown.caption, QString::number(style, 16));
  if (state.answers.empty()) {
    Fail(QStringLiteral("No answer queued for the %1").arg(where));
    shown.result = mb::kIdCancel;
    return shown.result;
  }
  const int answer = state.answers.front();
  state.answers.pop_front();
  const bool tick = (answer & static_cast<int>(mb::kChecked)) != 0;
  const int id = answer & ~static_cast<int>(mb::kChecked);
  if (!box.EndsWith(id) || (tick && box.checkBox() == nullptr)) {
    Fail(QStringLiteral("Answer %1 matches no button of the %2").arg(answer).arg(where));
    shown.result = mb::kIdCancel;
    return shown.result;
  }
  if (tick) box.checkBox()->setChecked(true);
  box.Command(id);
  shown.result = box.finished() ? box.result() : mb::kIdCancel;
  return shown.result;
}

void Drive(MessageBoxWindow& box, const QString& text, std::uint32_t style) {
  SeamState& state = State();
  state.shown.push_back(Describe(box, text, style));
  auto drive = state.drive;
  QTimer::singleShot(0, &box, [&box, drive] {
    if (drive) drive(box);
  });
}

void RecordResult(int result) {
  SeamState& state = State();
  if (!state.shown.empty()) state.shown.back().result = result;
}

}  // namespace message_box_seam
}  // namespace drelin
