// Fuzzes the markup drawer: arbitrary text is measured and drawn into an
// image, with the hover and click paths exercised on what was drawn. No
// input may crash, hang, leak or make the drawer take unbounded memory.
// The first byte picks the drawer's settings; the rest is the text (UTF-8).
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QUrl>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "MarkupDrawer.h"
#include "ShellLaunch.h"

namespace {

int g_argc = 1;
char g_program[] = "markup_fuzzer";
char* g_argv[] = {g_program, nullptr};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  setenv("QT_FONT_DPI", "96", 1);
  static QApplication application(g_argc, g_argv);
  // Links are followed into nothing: a fuzzed address must not be opened.
  drelin::ShellLaunch::SetOpener([](const QUrl&) { return true; });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t options = data[0];
  const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));

  drelin::MarkupDrawer drawer;
  drawer.SetNewlineMode((options & 1) == 0);
  drawer.SetColorsEnabled((options & 2) == 0);
  if (options & 4) drawer.SetMaxLineWidth(40 + (options >> 4) * 10);
  drawer.SetLinkMessage([](const QString&) {});
  int notifications = 0;
  drawer.SetNotify([&](int) { ++notifications; });

  QImage image(320, 240, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  const QSize size2 = drawer.Measure(&image, text);
  if (size2.width() < 0 || size2.height() < 0) std::abort();
  QPainter painter(&image);
  drawer.Draw(painter, QRect(4, 4, std::min(size2.width(), 1000), std::min(size2.height(), 1000)));
  for (const drelin::MarkupLinkArea& area : drawer.lastOutput().links) {
    drawer.OnMouseMove(area.rect.center());
    drawer.OnClick(area.rect.center());
  }
  drawer.OnMouseMove(QPoint(-1, -1));
  if (options & 8) drawer.Draw(painter, QRect(0, 0, 320, 240));
  painter.end();
  // Qt trims its font caches from timers; let them run as an application would.
  QCoreApplication::processEvents();
  return 0;
}
