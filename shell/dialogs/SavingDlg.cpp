#include "SavingDlg.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QStringList>

#include "ClearLabel.h"
#include "ResourceIds.h"

namespace drelin {
namespace {

// How many characters of `text` fit in `width`: a break after the last
// '/' or blank in the second half of that head when there is one, and
// never inside a surrogate pair. At least one character, so the text
// always moves on.
int HeadLength(const QString& text, const QFontMetrics& metrics, int width) {
  int fits = 0;
  while (fits < text.size() && metrics.horizontalAdvance(text.left(fits + 1)) <= width) ++fits;
  if (fits > 0 && fits < text.size() && text.at(fits - 1).isHighSurrogate()) --fits;
  for (int at = fits; at > fits / 2 && at > 1; --at) {
    const QChar c = text.at(at - 1);
    if (c == QLatin1Char('/') || c == QLatin1Char(' ')) return at;
  }
  return std::max(fits, text.at(0).isHighSurrogate() && text.size() > 1 ? 2 : 1);
}

}  // namespace

QString FittedLines(const QString& text, const QFontMetrics& metrics, const QSize& box) {
  const int lines = std::max(1, box.height() / metrics.lineSpacing());
  QStringList shown;
  QString rest = text;
  while (static_cast<int>(shown.size()) < lines - 1 && metrics.horizontalAdvance(rest) > box.width()) {
    const int head = HeadLength(rest, metrics, box.width());
    shown << rest.left(head);
    rest = rest.mid(head);
  }
  shown << metrics.elidedText(rest, Qt::ElideLeft, box.width());
  return shown.join(QLatin1Char('\n'));
}

CSavingDlg::CSavingDlg(QWidget* parent)
    : CPictureDialog(parent, res::kBmpSaving, QStringLiteral("Saving"), 264, 91) {
  setObjectName(QStringLiteral("Saving"));
  setModal(false);
  label_ = AddLabel(res::kIdSavingText, QString(), 7, 31, 250, 18);
  label_->setWordWrap(false);
  AddButton(res::kIdOk, QStringLiteral("OK"), 149, 70, 50, 14);
  AddButton(res::kIdCancel, QStringLiteral("Cancel"), 207, 70, 50, 14);
}

void CSavingDlg::Open() {
  show();
  // Centred, frame and all, once the frame is known.
  if (QWidget* owner = parentWidget()) {
    const QRect frame = frameGeometry();
    move(pos() + owner->window()->frameGeometry().center() - frame.center());
  }
  raise();
  // The window must be on screen before the save loop, which does not
  // return to the event loop, paints into it.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  repaint();
}

void CSavingDlg::SetText(const QString& text) {
  m_strText = text;
  label_->SetText(FittedLines(text, label_->fontMetrics(), label_->contentsRect().size()));
  label_->repaint();
}

}  // namespace drelin
