#include "RichMessageBox.h"

#include <QApplication>
#include <QThread>
#include <QWidget>

#include "MessageBoxMemory.h"
#include "MessageBoxTestSeam.h"
#include "MessageBoxWindow.h"

namespace drelin {
namespace {

QWidget* ActiveOwner() {
  QWidget* window = QApplication::activeModalWidget();
  if (window == nullptr) window = QApplication::activePopupWidget();
  if (window == nullptr) window = QApplication::activeWindow();
  return window;
}

int ShowOnThisThread(QWidget* parent, const QString& text, const QString& caption, std::uint32_t style,
                     const MessageBoxParams* given, bool ownerless) {
  MessageBoxParams params = given != nullptr ? *given : MessageBoxParams{};
  params.parentWindow = parent;
  params.text = text;
  params.caption = caption;
  params.style = style;
  if (params.parentWindow == nullptr && !ownerless) params.parentWindow = ActiveOwner();
  if (params.caption.isEmpty() && params.parentWindow != nullptr)
    params.caption = params.parentWindow->window()->windowTitle().left(260);
  if (params.caption.isEmpty()) params.caption = QStringLiteral("Error");

  if (style & mb::kCheckbox) {
    if (const std::optional<int> remembered = ReadRememberedAnswer(params)) return *remembered;
  }
  const message_box_seam::Mode mode = message_box_seam::CurrentMode();
  if (!(style & mb::kNoBeep) && mode == message_box_seam::Mode::Off) QApplication::beep();

  MessageBoxWindow box(params);
  if (mode == message_box_seam::Mode::Answers) return message_box_seam::Answer(box, text, style);
  if (mode == message_box_seam::Mode::Driver) message_box_seam::Drive(box, text, style);
  const int result = box.exec();
  if (mode == message_box_seam::Mode::Driver) message_box_seam::RecordResult(result);
  return result;
}

}  // namespace

int RichMessageBox(QWidget* parent, const QString& text, const QString& caption, std::uint32_t style,
                   const MessageBoxParams* params) {
  QCoreApplication* application = QCoreApplication::instance();
  if (qobject_cast<QApplication*>(application) == nullptr) return mb::kIdCancel;
  if (QThread::currentThread() == application->thread())
    return ShowOnThisThread(parent, text, caption, style, params, false);
  // Another thread: the box is shown by the user-interface thread, without
  // an owner, while this thread waits.
  int result = mb::kIdCancel;
  QMetaObject::invokeMethod(
      application, [&] { result = ShowOnThisThread(nullptr, text, caption, style, params, true); },
      Qt::BlockingQueuedConnection);
  return result;
}

MessageBoxParams DefaultMessageParams() {
  MessageBoxParams params;
  params.messageArea.backgroundEffect = 12;  // vbump
  params.messageArea.startColor = ColorRef(0x86FDF7);
  params.messageArea.midColor = ColorRef(0xFFFFFF);
  params.messageArea.endColor = ColorRef(0x86FDF7);
  params.messageArea.separatorAlignment = 2;
  params.messageArea.separatorStyle = 0;
  return params;
}

int ShowMessage(const QString& text, std::uint32_t style, const QString& caption, const QString& moreText) {
  MessageBoxParams params = DefaultMessageParams();
  params.moreText = moreText;
  return RichMessageBox(nullptr, text, caption, style, &params);
}

}  // namespace drelin
