// MessageBoxWindow: the dialog of one RichMessageBox call, built at run
// time from the parameter record: three markup areas (header, message,
// More), painted backgrounds and separators, the button row, the "Do not
// show again" check box and the countdowns. It lives for one call.
#pragma once

#include <QDialog>
#include <QPixmap>
#include <QString>
#include <QTimer>

#include <memory>
#include <optional>
#include <vector>

#include "MarkupDrawer.h"
#include "MarkupImages.h"
#include "MessageBoxButtons.h"
#include "MessageBoxParams.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace drelin {

class MessageBoxWindow : public QDialog {
  Q_OBJECT

 public:
  // Layout constants in pixels.
  static constexpr int kSeparatorGap = 5;
  static constexpr int kTextMargin = 14;
  static constexpr int kCheckboxMargin = 10;
  static constexpr int kCheckboxSize = 13;
  static constexpr int kButtonGap = 11;
  static constexpr int kButtonAreaMargin = 11;
  static constexpr int kMinButtonWidth = 80;
  static constexpr int kMinButtonHeight = 23;
  static constexpr int kIconSize = 32;
  // Beside the caption: the close box and the title bar's margins.
  static constexpr int kTitleRoom = 56;

  // `params` is the complete record (defaults, the caller's record and the
  // call's arguments already merged; the caption resolved).
  explicit MessageBoxWindow(const MessageBoxParams& params);
  ~MessageBoxWindow() override;

  // A button press, Escape (id 2) or the end of a timeout: what the dialog
  // does with a command id. Help, Report and More keep the box open.
  void Command(int id);
  // One tick of the countdown (timer 1, every second).
  void CountdownStep();
  // Escape: command 2 while the box may be closed.
  void reject() override;

  // What the box shows, for tests and the test seam.
  const MessageBoxParams& params() const { return params_; }
  const std::vector<MessageBoxButton>& buttonRow() const { return row_.buttons; }
  QPushButton* button(int id) const;
  QPushButton* defaultButton() const;
  QCheckBox* checkBox() const { return checkBox_; }
  QLabel* checkLabel() const { return checkLabel_; }
  bool cancelAllowed() const { return row_.cancelAllowed; }
  bool closeEnabled() const { return closeEnabled_; }
  bool expanded() const { return expanded_; }
  int remainingSeconds() const { return remaining_; }
  int headerHeight() const { return headerHeight_; }
  int messageHeight() const { return messageHeight_; }
  int controlHeight() const { return controlMargin_ + buttonSize_.height(); }
  int moreHeight() const { return moreHeight_; }
  QSize buttonSize() const { return buttonSize_; }
  const QString& messageMarkup() const { return messageMarkup_; }
  const QString& caption() const { return caption_; }
  MarkupDrawer& messageDrawer() { return messageDrawer_; }
  bool finished() const { return finished_; }
  // Answers that end the box: the ids of its buttons (not Help, Report or
  // More), and 2 when it may be cancelled.
  bool EndsWith(int id) const;

  // Changes the countdown period (tests run countdowns fast).
  static void SetCountdownInterval(int milliseconds);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  QString LoadText(const MessageText& text) const { return text.Load(params_.stringInstance); }
  void LoadIcon();
  void LayOut();
  void CreateButtons();
  void PlaceControls();
  void CenterWindow();
  void UpdateTitle();
  void PaintBackground(QPainter& painter, const QRect& full);
  void PaintSeparator(QPainter& painter, const MessageBoxArea& area, const QString& text, int y,
                      int width);
  int SeparatorTextWidth(const MessageBoxArea& area) const;
  void Finish(int result);

  MessageBoxParams params_;
  MessageBoxButtonRow row_;
  std::vector<QPushButton*> buttonWidgets_;  // owned by the dialog
  QCheckBox* checkBox_ = nullptr;
  QLabel* checkLabel_ = nullptr;
  QImage icon_;
  std::unique_ptr<ScopedMarkupImage> iconHandle_;
  MarkupDrawer headerDrawer_;
  MarkupDrawer messageDrawer_;
  MarkupDrawer moreDrawer_;
  QString caption_;
  QString countdownFormat_;
  QString headerSeparatorText_;
  QString controlSeparatorText_;
  QString moreSeparatorText_;
  QString messageMarkup_;
  QString headerMarkup_;
  QString moreMarkup_;
  QString lessCaption_;
  QString moreCaption_;
  QString defaultCaption_;
  QFont font_;
  int headerHeight_ = 0;
  int messageHeight_ = 0;
  int controlMargin_ = kButtonAreaMargin;
  int moreHeight_ = 0;
  QSize buttonSize_;
  int clientWidth_ = 0;
  int clientHeight_ = 0;
  bool expanded_ = false;
  bool closeEnabled_ = true;
  bool finished_ = false;
  int remaining_ = 0;
  bool timeoutMode_ = false;
  bool disableMode_ = false;
  QTimer timer_;
  QPixmap background_;
};

}  // namespace drelin
