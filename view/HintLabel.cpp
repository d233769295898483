#include "HintLabel.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>

#include <cmath>

namespace drelin {

namespace {

// Tab stops every eight average character widths, as static texts expand them.
QTextOption TabbedLine(const QFontMetrics& metrics) {
  QTextOption option(Qt::AlignLeft | Qt::AlignTop);
  option.setWrapMode(QTextOption::NoWrap);
  option.setTabStopDistance(8.0 * metrics.averageCharWidth());
  return option;
}

}  // namespace

QFont CellHeightFont(const QString& family, int cellHeight, int weight) {
  QFont font(family);
  font.setWeight(QFont::Weight(weight));
  font.setStyleHint(QFont::SansSerif);
  // The largest pixel size whose cell does not exceed the height asked for.
  int size = cellHeight;
  font.setPixelSize(size);
  while (size > 1 && QFontMetrics(font).height() > cellHeight) font.setPixelSize(--size);
  return font;
}

CHintLabel::CHintLabel(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAutoFillBackground(false);
}

void CHintLabel::SetText(const QString& text) {
  if (text == text_) return;
  text_ = text;
  setAccessibleName(text);
  update();
}

int CHintLabel::linePitch() const { return QFontMetrics(font()).height(); }

QSize CHintLabel::TextExtent() const {
  const QFontMetrics metrics(font());
  const QStringList lines = text_.split(QLatin1Char('\n'));
  qreal width = 0;
  for (const QString& line : lines) {
    QTextLayout layout(line, font());
    layout.setTextOption(TabbedLine(metrics));
    layout.beginLayout();
    QTextLine shaped = layout.createLine();
    if (shaped.isValid()) {
      shaped.setLineWidth(1e6);
      width = std::max(width, shaped.naturalTextWidth());
    }
    layout.endLayout();
  }
  return QSize(int(std::ceil(width)), int(lines.size()) * linePitch());
}

void CHintLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Window));
  painter.setPen(palette().color(QPalette::WindowText));
  painter.setFont(font());
  const QFontMetrics metrics(font());
  const QTextOption option = TabbedLine(metrics);
  int top = 0;
  for (const QString& line : text_.split(QLatin1Char('\n'))) {
    painter.drawText(QRectF(0, top, width(), linePitch()), line, option);
    top += linePitch();
  }
}

}  // namespace drelin
