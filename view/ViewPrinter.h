// ViewPrinter: the view's three printing commands. Each prints one page
// holding the view as it is painted (its skin and its controls), scaled to
// fit the page: Print asks for the printer first (the "Print" dialog through
// ExecModal), Direct print uses the printer as it stands, Print preview shows
// the page in the preview window ("PrintPreview") first.
#pragma once

#include <QPrinter>

class QWidget;

namespace drelin {

class ViewPrinter {
 public:
  explicit ViewPrinter(QWidget& view);

  // The printer the commands use; its settings last as long as the view.
  QPrinter& printer() { return printer_; }

  void Print();
  void PrintDirect();
  void PrintPreview();

  // Paints the view onto `printer`; a std::runtime_error when the printer
  // cannot start.
  void Render(QPrinter& printer) const;

 private:
  QWidget& view_;
  // Screen resolution: the view is painted as on screen, and its pictures
  // are not blown up to the printer's own resolution page by page.
  QPrinter printer_{QPrinter::ScreenResolution};
};

}  // namespace drelin
