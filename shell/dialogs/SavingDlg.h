// CSavingDlg: the modeless window that names the file being saved. Saving
// runs on the user-interface thread without returning to the event loop,
// so each new text is painted at once. The text is plain; a path too long
// for the label's two lines breaks anywhere, and past the last line it is
// shortened at its start, so the file's name always shows.
#pragma once

#include <QString>

#include "PictureDialog.h"

namespace drelin {

class CClearLabel;

class CSavingDlg : public CPictureDialog {
  Q_OBJECT

 public:
  explicit CSavingDlg(QWidget* parent = nullptr);

  // Shows the window over its owner (centred) and paints it.
  void Open();
  // Shows `text` and repaints at once.
  void SetText(const QString& text);

  QString m_strText;

 private:
  CClearLabel* label_;
};

// `text` as the lines the label of `box` pixels shows in `metrics`: broken
// where the width ends (after a separator or a blank where there is one),
// and the last line shortened at its start when the text goes on beyond it.
QString FittedLines(const QString& text, const QFontMetrics& metrics, const QSize& box);

}  // namespace drelin
