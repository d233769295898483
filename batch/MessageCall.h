// MessageCall: how the batch shows a message and learns the user's answer.
// The desktop program answers through its rich message box; the command line
// and the tests answer without a window. The style and result numbers are the
// standard message box's.
#pragma once

#include <string>

namespace drelin::batch {

enum MessageStyle : unsigned {
  kMbOk = 0x00,
  kMbYesNoCancelQuestion = 0x23,
  kMbYesNoQuestion = 0x24,
  kMbExclamationOk = 0x30,
  kMbInformationOk = 0x40,
};

enum MessageResult : int {
  kIdOk = 1,
  kIdCancel = 2,
  kIdYes = 6,
  kIdNo = 7,
};

class MessageCall {
 public:
  virtual ~MessageCall() = default;
  // Shows `text` under `caption` in `style`; returns the button pressed.
  // The text is plain (error texts carry paths): a view that renders
  // markup escapes it. Called on the user-interface thread.
  virtual int RichMessageBox(const std::string& text, const std::string& caption,
                             unsigned style) = 0;
};

}  // namespace drelin::batch
