// MessageBoxParams: the parameter record of RichMessageBox, with the style
// bits, button ids and result numbers the box shares with the standard
// message box of the original platform. Callers fill a copy; the box
// copies it again and never keeps a reference.
#pragma once

#include <QString>

#include <cstdint>
#include <map>

#include "ColorRef.h"
#include "StringTable.h"

class QWidget;

namespace drelin {

// A text given either as text or as the number of a string resource.
class MessageText {
 public:
  MessageText() = default;
  MessageText(const QString& text) : text_(text) {}  // NOLINT: plain texts convert
  MessageText(const char* text) : text_(QString::fromUtf8(text)) {}  // NOLINT
  static MessageText Resource(std::uint16_t id) {
    MessageText text;
    text.id_ = id;
    text.isResource_ = true;
    return text;
  }

  bool isResource() const { return isResource_; }
  std::uint16_t id() const { return id_; }
  const QString& text() const { return text_; }
  bool isNull() const { return !isResource_ && text_.isNull(); }

  // The text, or the resource loaded from `strings` (empty when missing).
  QString Load(const StringTable* strings) const {
    return isResource_ ? LoadString(strings, id_) : text_;
  }

 private:
  QString text_;
  std::uint16_t id_ = 0;
  bool isResource_ = false;
};

namespace mb {

// Style word.
inline constexpr std::uint32_t kButtonSetMask = 0x0000000F;
inline constexpr std::uint32_t kIconMask = 0x000000F0;
inline constexpr std::uint32_t kIconStop = 0x10;
inline constexpr std::uint32_t kIconQuestion = 0x20;
inline constexpr std::uint32_t kIconExclamation = 0x30;
inline constexpr std::uint32_t kIconInformation = 0x40;
inline constexpr std::uint32_t kIconCustom = 0x80;
inline constexpr std::uint32_t kDefaultButtonMask = 0x00000F00;
inline constexpr std::uint32_t kHelpButton = 0x00004000;
inline constexpr std::uint32_t kForeground = 0x00010000;
inline constexpr std::uint32_t kTopmost = 0x00040000;
inline constexpr std::uint32_t kRightAlign = 0x00080000;
inline constexpr std::uint32_t kCheckbox = 0x01000000;
inline constexpr std::uint32_t kChecked = 0x02000000;
inline constexpr std::uint32_t kCheckboxBelow = 0x04000000;
inline constexpr std::uint32_t kYesToAll = 0x08000000;
inline constexpr std::uint32_t kNoToAll = 0x10000000;
inline constexpr std::uint32_t kNoResources = 0x20000000;
inline constexpr std::uint32_t kNoBeep = 0x40000000;

// Button sets (the low four bits).
inline constexpr std::uint32_t kOk = 0, kOkCancel = 1, kAbortRetryIgnore = 2, kYesNoCancel = 3,
                               kYesNo = 4, kRetryCancel = 5, kCancelTryContinue = 6,
                               kContinueAbort = 7, kSkipSkipAllCancel = 8,
                               kIgnoreIgnoreAllCancel = 9;

// Button ids, which are also the results.
inline constexpr int kIdOk = 1, kIdCancel = 2, kIdAbort = 3, kIdRetry = 4, kIdIgnore = 5,
                     kIdYes = 6, kIdNo = 7, kIdHelp = 9, kIdTryAgain = 10, kIdContinue = 11,
                     kIdSkip = 14, kIdSkipAll = 15, kIdIgnoreAll = 16, kIdYesToAll = 19,
                     kIdNoToAll = 20, kIdReport = 21, kIdFirstCustom = 23, kIdLastCustom = 26,
                     kIdLess = 30, kIdMore = 31;

// Keys of the two other built-in texts in the caption lookup.
inline constexpr std::uint32_t kKeyCheckbox = 0x01000000;
inline constexpr std::uint32_t kKeyCountdownTitle = 0x80000000;

}  // namespace mb

// Background and separator of one area of the box.
struct MessageBoxArea {
  MessageBoxArea();  // colours: the system button-face colour

  int separatorStyle = 0;      // 0 none, 1 etched, 2 black line, 3 white line
  int separatorAlignment = 0;  // text at 0 left, 1 right, 2 centre; else no text
  MessageText separatorText;
  int backgroundEffect = -1;   // effect number, -1 none
  ColorRef startColor;
  ColorRef midColor;
  ColorRef endColor;
};

struct MessageBoxParams {
  QWidget* parentWindow = nullptr;
  const StringTable* stringInstance = nullptr;  // null: the program's strings
  QString iconInstance;    // resource file (.rcc) of the custom icon; empty: the program
  QString caption;
  QString moduleName;      // first half of the remembered answer's name; empty: not kept
  QString companyName;
  int line = 0;            // second half of the remembered answer's name
  std::uint32_t reportMessage = 0;  // event type the Report button sends to the parent
  MessageBoxArea messageArea;
  int headerHeight = 0;
  MessageText headerText;
  MessageBoxArea headerArea;
  MessageText text;
  int buttonAlignment = 2;  // 0 left, 1 right, else centred
  std::uint32_t style = 0x30;
  MessageBoxArea controlArea;
  MessageText moreText;
  MessageBoxArea moreArea;
  int timeoutSeconds = 0;
  int disableSeconds = 0;
  bool countdownInCaption = false;
  std::uint32_t helpContextId = 0;
  MessageText customIcon;   // resource number or name, with icon bits 0x80
  MessageText customButtons;
  MessageText checkboxText;
  const std::map<std::uint32_t, MessageText>* buttonTexts = nullptr;
};

}  // namespace drelin
