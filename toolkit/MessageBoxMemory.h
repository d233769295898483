// MessageBoxMemory: the remembered answers of "Do not show again", kept in
// the settings store under "Software/<company>/<program file>/RichMessageBox"
// with the value name <moduleName><line>.
#pragma once

#include <QString>

#include <optional>

#include "MessageBoxParams.h"

namespace drelin {

// The settings key of the answer `params` names; empty when the record
// switches persistence off (no module name).
QString RememberedAnswerKey(const MessageBoxParams& params);

// The remembered non-zero answer, if any (read errors count as none).
std::optional<int> ReadRememberedAnswer(const MessageBoxParams& params);

// Stores `result`; a failed write loses the answer silently.
void StoreRememberedAnswer(const MessageBoxParams& params, int result);

}  // namespace drelin
