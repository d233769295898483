// ShellSteps: the view's steps that open a window of the shell's dialogs or
// the preview window, one function each, so the view reads as its own
// algorithm and the dialogs stay behind one seam (ExecModal) for tests.
#pragma once

#include <QPointer>
#include <QString>

#include <optional>
#include <string>

class QDialog;
class QWidget;

namespace drelin {

namespace batch {
class FilePrefix;
class MessageCall;
}  // namespace batch

// The Repair Mode dialog over `parent`: true for "Normal Repair Mode", false
// for "Advance Repair Mode", nothing when it was cancelled.
std::optional<bool> AskRepairMode(QWidget* parent);

// The Settings dialog over `parent`, editing `prefix`.
void RunSettingsDialog(QWidget* parent, batch::FilePrefix& prefix);

// The start-up splash over `view`; false when it is switched off or could
// not be shown.
bool ShowStartupSplash(QWidget* view);

// The preview command for the status list's row `row` (-1: none).
void RunPreview(QWidget* parent, batch::MessageCall& messages, int row, const std::string& source,
                const std::string& status, const std::string& workingPath, const QString& startFolder);

// The modeless Saving window: one line naming the file being saved.
class SavingWindow {
 public:
  SavingWindow() = default;
  ~SavingWindow();
  SavingWindow(const SavingWindow&) = delete;
  SavingWindow& operator=(const SavingWindow&) = delete;

  void Open(QWidget* owner);
  // Shows `text` (raw path bytes) at once: saving runs on the user-interface
  // thread, so no event loop would paint it.
  void SetText(const std::string& text);
  void Close();
  bool isOpen() const { return !window_.isNull(); }

 private:
  QPointer<QDialog> window_;
};

}  // namespace drelin
