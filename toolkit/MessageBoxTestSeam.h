// MessageBoxTestSeam: lets a test answer message boxes without a user and
// without timing games. While a ScopedMessageBoxAnswers exists, every box
// that would be shown is built (so its buttons are known), recorded and
// ended at once with the next queued answer instead of waiting:
//
//   ScopedMessageBoxAnswers answers({6});                         // press Yes
//   EXPECT_EQ(ShowMessage("Do you really want to exit ?", 0x24), 6);
//   ASSERT_EQ(answers.shown().size(), 1u);
//   EXPECT_EQ(answers.shown()[0].style, 0x24u);
//
// Answers are result numbers: a button id, 2 for Escape when the box may
// be cancelled, and the id plus 0x02000000 to tick "Do not show again"
// first. A remembered answer shows no box and consumes nothing. An empty
// queue, or an answer that matches no button of the box, is a test failure:
// it goes to the failure handler (by default a fatal error naming the box),
// and the box then ends with 2.
//
// ScopedMessageBoxDriver instead shows the live dialog and hands it to a
// function once it is on screen, so a test can drive it with key and mouse
// events; that function must end the box.
//
// User-interface thread only; the scopes do not nest.
#pragma once

#include <QString>

#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

namespace drelin {

class MessageBoxWindow;

struct ShownMessageBox {
  QString text;      // the message as given (markup)
  QString caption;   // the title the box carried
  std::uint32_t style = 0;
  std::vector<int> buttons;  // ids in order
  bool owned = false;        // whether the box had an owner window
  int result = 0;
};

class ScopedMessageBoxAnswers {
 public:
  using FailureHandler = std::function<void(const QString& message)>;

  explicit ScopedMessageBoxAnswers(std::vector<int> answers = {}, FailureHandler onFailure = {});
  ~ScopedMessageBoxAnswers();
  ScopedMessageBoxAnswers(const ScopedMessageBoxAnswers&) = delete;
  ScopedMessageBoxAnswers& operator=(const ScopedMessageBoxAnswers&) = delete;

  void Add(int answer);
  std::size_t pending() const;
  const std::vector<ShownMessageBox>& shown() const;
};

class ScopedMessageBoxDriver {
 public:
  explicit ScopedMessageBoxDriver(std::function<void(MessageBoxWindow& box)> drive);
  ~ScopedMessageBoxDriver();
  ScopedMessageBoxDriver(const ScopedMessageBoxDriver&) = delete;
  ScopedMessageBoxDriver& operator=(const ScopedMessageBoxDriver&) = delete;

  const std::vector<ShownMessageBox>& shown() const;
};

namespace message_box_seam {

enum class Mode { Off, Answers, Driver };
Mode CurrentMode();
// Answers mode: ends `box` with the next answer and returns the result.
int Answer(MessageBoxWindow& box, const QString& text, std::uint32_t style);
// Driver mode: records `box` and calls the driver once it is shown.
void Drive(MessageBoxWindow& box, const QString& text, std::uint32_t style);
void RecordResult(int result);

}  // namespace message_box_seam
}  // namespace drelin
