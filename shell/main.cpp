// The desktop program, tarnova-drelin: the application object, then the
// event loop until the program ends itself through the main frame's close
// flow (or Live Update).
#include <QApplication>

#include <string>
#include <vector>

#include "CorvantilexApp.h"
#include "StartCommandLine.h"

int main(int argc, char** argv) {
  // A component start needs no display: it ends before Qt looks for one.
  if (drelin::ParseStartCommandLine(std::vector<std::string>(argv + 1, argv + argc), std::string()).componentStart) {
    return 0;
  }
  QApplication application(argc, argv);
  // Matches the desktop entry, so the desktop shows the program's icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("tarnova-drelin"));
  // The arguments as Qt leaves them (its own options taken out), as bytes.
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  drelin::CCorvantilexApp app;
  if (!app.InitInstance(arguments)) return 0;
  return application.exec();
}
