#include "LogEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

namespace drelin {

namespace {

// The space between the border and the text.
constexpr int kMargin = 4;

}  // namespace

CLogEdit::CLogEdit(QWidget* parent) : QAbstractScrollArea(parent) {
  setFrameShape(QFrame::StyledPanel);
  setFrameShadow(QFrame::Sunken);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
  viewport()->setCursor(Qt::IBeamCursor);
  UpdateScrollBars();
}

void CLogEdit::Clear() {
  lines_.assign(1, QString());
  widest_ = 0;
  verticalScrollBar()->setValue(0);
  horizontalScrollBar()->setValue(0);
  UpdateScrollBars();
  viewport()->update();
}

void CLogEdit::AppendText(const QString& text) {
  qsizetype start = 0;
  while (start <= text.size()) {
    qsizetype end = text.indexOf(QLatin1Char('\n'), start);
    const bool broken = end >= 0;
    if (!broken) end = text.size();
    QString& last = lines_.back();
    for (qsizetype i = start; i < end; ++i) {
      if (text[i] != QLatin1Char('\r')) last.append(text[i]);
    }
    Widen(last);
    if (!broken) break;
    lines_.emplace_back();
    start = end + 1;
  }
  UpdateScrollBars();
  viewport()->update();
}

void CLogEdit::TruncateTo(const Mark& mark) {
  if (mark.lines == 0 || mark.lines > lines_.size()) return;
  lines_.resize(mark.lines);
  if (lines_.back().size() > mark.lastLength) lines_.back().truncate(mark.lastLength);
  UpdateScrollBars();
  viewport()->update();
}

QString CLogEdit::toPlainText() const {
  QString text;
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (i > 0) text.append(QLatin1Char('\n'));
    text.append(lines_[i]);
  }
  return text;
}

int CLogEdit::firstVisibleLine() const { return verticalScrollBar()->value(); }

int CLogEdit::lineHeight() const { return std::max(1, fontMetrics().lineSpacing()); }

int CLogEdit::visibleLines() const {
  return std::max(1, (viewport()->height() - kMargin) / lineHeight());
}

void CLogEdit::Widen(const QString& line) {
  // A line that cannot be wider than the widest so far is not measured.
  if (line.size() * fontMetrics().maxWidth() <= widest_) return;
  widest_ = std::max(widest_, fontMetrics().horizontalAdvance(line));
}

void CLogEdit::UpdateScrollBars() {
  const int shown = visibleLines();
  QScrollBar* vertical = verticalScrollBar();
  vertical->setRange(0, std::max(0, lineCount() - shown));
  vertical->setPageStep(shown);
  vertical->setSingleStep(1);
  QScrollBar* horizontal = horizontalScrollBar();
  horizontal->setRange(0, std::max(0, widest_ + 2 * kMargin - viewport()->width()));
  horizontal->setPageStep(viewport()->width());
  horizontal->setSingleStep(fontMetrics().averageCharWidth() * 4);
}

void CLogEdit::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
}

void CLogEdit::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() != QEvent::FontChange) return;
  widest_ = 0;
  for (const QString& line : lines_) Widen(line);
  UpdateScrollBars();
}

void CLogEdit::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  painter.setPen(palette().color(QPalette::Text));
  const int height = lineHeight();
  const int ascent = fontMetrics().ascent();
  const int x = kMargin - horizontalScrollBar()->value();
  const int first = firstVisibleLine() + std::max(0, event->rect().top() - kMargin) / height;
  const int last = std::min(lineCount() - 1, firstVisibleLine() + event->rect().bottom() / height + 1);
  for (int index = first; index <= last; ++index) {
    const int top = kMargin + (index - firstVisibleLine()) * height;
    painter.drawText(x, top + ascent, lines_[size_t(index)]);
  }
}

void CLogEdit::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    QApplication::clipboard()->setText(toPlainText());
    return;
  }
  QScrollBar* vertical = verticalScrollBar();
  switch (event->key()) {
    case Qt::Key_Up: vertical->triggerAction(QAbstractSlider::SliderSingleStepSub); return;
    case Qt::Key_Down: vertical->triggerAction(QAbstractSlider::SliderSingleStepAdd); return;
    case Qt::Key_PageUp: vertical->triggerAction(QAbstractSlider::SliderPageStepSub); return;
    case Qt::Key_PageDown: vertical->triggerAction(QAbstractSlider::SliderPageStepAdd); return;
    case Qt::Key_Home:
      if (event->modifiers() & Qt::ControlModifier) vertical->setValue(0);
      return;
    case Qt::Key_End:
      if (event->modifiers() & Qt::ControlModifier) vertical->setValue(vertical->maximum());
      return;
    default: QAbstractScrollArea::keyPressEvent(event);
  }
}

void CLogEdit::contextMenuEvent(QContextMenuEvent* event) { event->accept(); }

}  // namespace drelin
