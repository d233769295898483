#include "MessageBoxButtons.h"

#include <QStringList>

namespace drelin {
namespace {

struct BuiltIn {
  std::uint32_t key;
  std::uint16_t resource;
  const char* text;
};

constexpr BuiltIn kBuiltIns[] = {
    {1, 9001, "OK"},          {2, 9002, "Cancel"},      {3, 9005, "Abort"},
    {4, 9004, "Retry"},       {5, 9003, "Ignore"},      {6, 9007, "Yes"},
    {7, 9008, "No"},          {9, 9006, "Help"},        {10, 9015, "Try again"},
    {11, 9009, "Continue"},   {14, 9018, "Skip"},       {15, 9019, "Skip all"},
    {16, 9017, "Ignore all"}, {19, 9013, "Yes to all"}, {20, 9014, "No to all"},
    {21, 9016, "Report"},     {30, 9011, "<< More"},    {31, 9010, "More >>"},
    {mb::kKeyCheckbox, 9012, "Do not show again"},
    {mb::kKeyCountdownTitle, 9020, "%s (%d seconds remaining)"},
};

const BuiltIn* FindBuiltIn(std::uint32_t key) {
  for (const BuiltIn& entry : kBuiltIns)
    if (entry.key == key) return &entry;
  return nullptr;
}

}  // namespace

QString MessageBoxCaption(const MessageBoxParams& params, std::uint32_t key) {
  if (params.buttonTexts != nullptr) {
    const auto it = params.buttonTexts->find(key);
    if (it != params.buttonTexts->end()) {
      const QString text = it->second.Load(params.stringInstance);
      if (!text.isEmpty()) return text;
    }
  }
  const BuiltIn* builtIn = FindBuiltIn(key);
  if (builtIn == nullptr) return QString();
  if ((params.style & mb::kNoResources) == 0) {
    const QString text = LoadString(params.stringInstance, builtIn->resource);
    if (!text.isEmpty()) return text;
  }
  if (key == mb::kKeyCheckbox) {
    const QString text = params.checkboxText.Load(params.stringInstance);
    if (!text.isEmpty()) return text;
  }
  return QString::fromLatin1(builtIn->text);
}

MessageBoxButtonRow BuildButtonRow(const MessageBoxParams& params, bool hasParent) {
  MessageBoxButtonRow row;
  auto add = [&](int id) {
    row.buttons.push_back({id, MessageBoxCaption(params, static_cast<std::uint32_t>(id))});
  };
  QString own = params.customButtons.Load(params.stringInstance);
  own.remove(QLatin1Char('\r'));
  int nextId = mb::kIdFirstCustom;
  for (const QString& piece : own.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
    if (nextId > mb::kIdLastCustom) break;
    row.buttons.push_back({nextId++, piece});
  }
  if (row.buttons.empty()) {
    const bool yesToAll = params.style & mb::kYesToAll;
    const bool noToAll = params.style & mb::kNoToAll;
    switch (params.style & mb::kButtonSetMask) {
      case mb::kOk: add(mb::kIdOk); row.cancelAllowed = true; break;
      case mb::kOkCancel: add(mb::kIdOk); add(mb::kIdCancel); row.cancelAllowed = true; break;
      case mb::kAbortRetryIgnore: add(mb::kIdAbort); add(mb::kIdRetry); add(mb::kIdIgnore); break;
      case mb::kYesNoCancel:
      case mb::kYesNo:
        add(mb::kIdYes);
        if (yesToAll) add(mb::kIdYesToAll);
        add(mb::kIdNo);
        if (noToAll) add(mb::kIdNoToAll);
        if ((params.style & mb::kButtonSetMask) == mb::kYesNoCancel) {
          add(mb::kIdCancel);
          row.cancelAllowed = true;
        }
        break;
      case mb::kRetryCancel: add(mb::kIdRetry); add(mb::kIdCancel); row.cancelAllowed = true; break;
      case mb::kCancelTryContinue:
        add(mb::kIdCancel); add(mb::kIdRetry); add(mb::kIdContinue); row.cancelAllowed = true;
        break;
      case mb::kContinueAbort: add(mb::kIdContinue); add(mb::kIdAbort); break;
      case mb::kSkipSkipAllCancel:
        add(mb::kIdSkip); add(mb::kIdSkipAll); add(mb::kIdCancel); row.cancelAllowed = true;
        break;
      case mb::kIgnoreIgnoreAllCancel:
        add(mb::kIdIgnore); add(mb::kIdIgnoreAll); add(mb::kIdCancel); row.cancelAllowed = true;
        break;
      default: break;  // sets 10 to 15: no button
    }
  }
  if (params.style & mb::kHelpButton) add(mb::kIdHelp);
  if (params.reportMessage != 0 && hasParent) add(mb::kIdReport);
  if (!params.moreText.Load(params.stringInstance).isEmpty()) add(mb::kIdMore);
  const int index = static_cast<int>((params.style & mb::kDefaultButtonMask) >> 8);
  row.defaultIndex = index < static_cast<int>(row.buttons.size()) ? index : 0;
  return row;
}

}  // namespace drelin
