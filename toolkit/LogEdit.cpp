#include "LogEdit.h"

#include <QContextMenuEvent>

namespace drelin {

CLogEdit::CLogEdit(QWidget* parent) : QPlainTextEdit(parent) {
  setReadOnly(true);
  setFrameShape(QFrame::StyledPanel);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void CLogEdit::contextMenuEvent(QContextMenuEvent* event) { event->accept(); }

}  // namespace drelin
