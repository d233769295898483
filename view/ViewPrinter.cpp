#include "ViewPrinter.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QWidget>

#include <stdexcept>

#include "ModalSeam.h"
#include "ViewTexts.h"

namespace drelin {

ViewPrinter::ViewPrinter(QWidget& view) : view_(view) {}

void ViewPrinter::Print() {
  QPrintDialog dialog(&printer_, &view_);
  dialog.setObjectName(QStringLiteral("Print"));
  if (ExecModal(dialog) == QDialog::Accepted) Render(printer_);
}

void ViewPrinter::PrintDirect() { Render(printer_); }

void ViewPrinter::PrintPreview() {
  QPrintPreviewDialog dialog(&printer_, &view_);
  dialog.setObjectName(QStringLiteral("PrintPreview"));
  QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                   [this](QPrinter* printer) { Render(*printer); });
  ExecModal(dialog);
}

void ViewPrinter::Render(QPrinter& printer) const {
  QPainter painter;
  if (!painter.begin(&printer)) throw std::runtime_error(view_texts::kPrintFailed);
  const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
  const QSize size = view_.size();
  if (size.width() > 0 && size.height() > 0) {
    const qreal scale = std::min(qreal(page.width()) / size.width(), qreal(page.height()) / size.height());
    painter.scale(scale, scale);
    view_.render(&painter, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
  }
  painter.end();
}

}  // namespace drelin
