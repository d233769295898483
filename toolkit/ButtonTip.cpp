#include "ButtonTip.h"

#include <QHelpEvent>
#include <QStringList>
#include <QTextDocument>
#include <QToolTip>
#include <QWidget>

namespace drelin {
namespace {

QString WrapLine(const QString& line, const QFontMetrics& metrics, int maxWidth) {
  const QStringList words = line.split(QLatin1Char(' '));
  QStringList lines;
  QString current;
  for (const QString& word : words) {
    const QString candidate = current.isEmpty() ? word : current + QLatin1Char(' ') + word;
    if (!current.isEmpty() && metrics.horizontalAdvance(candidate) > maxWidth) {
      lines << current;
      current = word;
    } else {
      current = candidate;
    }
  }
  lines << current;
  return lines.join(QLatin1Char('\n'));
}

}  // namespace

QString WrapTipText(const QString& text, const QFontMetrics& metrics, int maxWidth) {
  if (maxWidth <= 0) return text;
  QStringList lines = text.split(QLatin1Char('\n'));
  for (QString& line : lines) line = WrapLine(line, metrics, maxWidth);
  return lines.join(QLatin1Char('\n'));
}

bool ButtonTip::SetText(const QString& text, bool activate) {
  if (text.isNull()) return false;
  text_ = text;
  active_ = activate;
  return true;
}

QString ButtonTip::ShownText() const { return WrapTipText(text_, QFontMetrics(QToolTip::font()), maxWidth_); }

void ButtonTip::Show(QWidget* owner, const QHelpEvent* request) const {
  if (!active_ || text_.isEmpty()) {
    QToolTip::hideText();
    return;
  }
  QString shown = ShownText();
  // Tips are plain text; keep a tip that looks like markup from being read as such.
  if (Qt::mightBeRichText(shown))
    shown = QStringLiteral("<p style='white-space:pre'>%1</p>")
                .arg(shown.toHtmlEscaped().replace(QLatin1Char('\n'), QLatin1String("<br>")));
  QToolTip::showText(request->globalPos(), shown, owner, owner->rect());
}

}  // namespace drelin
