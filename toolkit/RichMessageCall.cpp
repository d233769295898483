#include "RichMessageCall.h"

#include "MarkupTokenizer.h"
#include "MessageBoxParams.h"
#include "RichMessageBox.h"

namespace drelin {

// Every style the batch names is a button set and an icon of the box, and
// its results are the box's button ids.
static_assert(batch::kMbOk == mb::kOk);
static_assert(batch::kMbYesNoCancelQuestion == (mb::kYesNoCancel | mb::kIconQuestion));
static_assert(batch::kMbYesNoQuestion == (mb::kYesNo | mb::kIconQuestion));
static_assert(batch::kMbExclamationOk == (mb::kOk | mb::kIconExclamation));
static_assert(batch::kMbInformationOk == (mb::kOk | mb::kIconInformation));
static_assert(batch::kIdOk == mb::kIdOk);
static_assert(batch::kIdCancel == mb::kIdCancel);
static_assert(batch::kIdYes == mb::kIdYes);
static_assert(batch::kIdNo == mb::kIdNo);

int RichMessageCall::RichMessageBox(const std::string& text, const std::string& caption, unsigned style) {
  const MessageBoxParams params = DefaultMessageParams();
  return drelin::RichMessageBox(owner_.data(), EscapeMarkup(QString::fromStdString(text)),
                                QString::fromStdString(caption),
                                style, &params);
}

}  // namespace drelin
