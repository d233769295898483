// ModalSeam: every modal dialog of the program runs through ExecModal, and
// the file and folder choosers through ChooseOpenFiles and ChooseFolder, so
// that tests can answer or drive them without a user and without timing
// games. A dialog's objectName names it ("RepairMode", "Settings", "About",
// "FilePreview", "Print"); the choosers are "OpenFiles" and "Folder".
//
// While a ScopedModalAnswers exists, ExecModal hands each dialog to the
// answer function instead of running it; the function may set controls up,
// call accept()/reject() or press buttons, and returns the result:
//
//   ScopedModalAnswers answers([](QDialog& dialog) {
//     dialog.findChild<QRadioButton*>("Advance")->setChecked(true);
//     dialog.accept();
//     return int(QDialog::Accepted);
//   });
//   answers.QueueFolder("/tmp/out");
//
// Answered dialogs are never shown, so a dialog sets its controls up when
// it is constructed, not when it is shown.
//
// The choosers take the queued answers in the order they were queued, one
// per call, and the kind must match the call. A dialog with no answer
// function, a chooser with an empty queue or an answer of the other kind,
// and a dialog without a name are test failures: they go to the failure
// handler (by default a fatal error naming the dialog), and the dialog ends
// rejected, the chooser with nothing chosen.
//
// ScopedModalDriver instead shows the live dialog (the choosers are live
// QFileDialogs) and calls the driver once it is on screen and the active
// window, with the keyboard focus where the dialog puts it; the driver must
// end it before returning, else that is a failure and the dialog is
// rejected, so a faulty test never hangs.
//
// User-interface thread only; the scopes do not nest.
#pragma once

#include <QString>

#include <functional>
#include <string>
#include <vector>

class QDialog;
class QWidget;

namespace drelin {

// Runs `dialog` modally (never dialog.exec() directly); its result.
int ExecModal(QDialog& dialog);

// The multi-select open-file dialog; raw byte paths in the dialog's order
// (empty: cancelled).
std::vector<std::string> ChooseOpenFiles(QWidget* parent, const QString& caption,
                                         const QString& filter);

// The folder chooser; a raw byte path, empty when cancelled.
std::string ChooseFolder(QWidget* parent, const QString& caption);

using ModalFailureHandler = std::function<void(const QString& message)>;

class ScopedModalAnswers {
 public:
  explicit ScopedModalAnswers(std::function<int(QDialog&)> answer = {},
                              ModalFailureHandler onFailure = {});
  ~ScopedModalAnswers();
  ScopedModalAnswers(const ScopedModalAnswers&) = delete;
  ScopedModalAnswers& operator=(const ScopedModalAnswers&) = delete;

  void QueueFiles(std::vector<std::string> paths);
  void QueueFolder(std::string folder);
  // Chooser answers not taken yet.
  std::size_t pending() const;
  // The names of the dialogs and choosers asked for, in order.
  const std::vector<QString>& shown() const;
};

class ScopedModalDriver {
 public:
  explicit ScopedModalDriver(std::function<void(QDialog&)> drive,
                             ModalFailureHandler onFailure = {});
  ~ScopedModalDriver();
  ScopedModalDriver(const ScopedModalDriver&) = delete;
  ScopedModalDriver& operator=(const ScopedModalDriver&) = delete;

  const std::vector<QString>& shown() const;
};

}  // namespace drelin
