// CLogEdit: the progress log of a repair run, a read-only plain-text box
// that offers no context menu (a context-menu request is swallowed and
// goes nowhere else either).
#pragma once

#include <QPlainTextEdit>

namespace drelin {

class CLogEdit : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit CLogEdit(QWidget* parent = nullptr);

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;
};

}  // namespace drelin
