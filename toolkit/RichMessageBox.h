// RichMessageBox: the one message box every message of the program goes
// through. It takes the style and returns the result numbers of the
// standard message box (0x30 exclamation with OK, 0x24 question with
// Yes/No, 0x23 Yes/No/Cancel ...; results 1 OK, 2 Cancel, 6 Yes, 7 No) and
// shows markup texts. Safe to call from any thread: a box asked for from
// another thread is shown on the user-interface thread, without an owner,
// while the caller waits.
#pragma once

#include <QString>

#include <cstdint>

#include "MessageBoxParams.h"

class QWidget;

namespace drelin {

// Shows a box and returns the id of the button that ended it, with
// 0x02000000 added when the style has that bit and the check box was
// checked; 2 for Escape or the close box; a remembered answer without
// showing anything; 2 when no box can be shown (no application object).
// `params` may be null; `parent`, `text`, `caption` and `style` win over it.
int RichMessageBox(QWidget* parent, const QString& text, const QString& caption, std::uint32_t style,
                   const MessageBoxParams* params = nullptr);

// The record every caller of the program uses: the message area painted
// light yellow (vbump from 0x86FDF7 through white), everything else default.
MessageBoxParams DefaultMessageParams();

inline constexpr const char* kProductCaption = "Tarnova Drelin DBF";

// How the program shows a message: no owner, the product caption, the
// default record, and an optional expandable More text.
int ShowMessage(const QString& text, std::uint32_t style,
                const QString& caption = QString::fromLatin1(kProductCaption),
                const QString& moreText = QString());

}  // namespace drelin
