// Test main: a QApplication on the offscreen platform at 96 DPI, settings
// in a fresh folder, and the fonts the tests measure loaded from their
// files: DejaVu Sans 9 pt (fonts-dejavu-core) as the system font, and
// Liberation Sans (fonts-liberation2), the dialogs' face. So the tests need
// no display, leave the user's settings alone, and measure the same text
// the same everywhere.
#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

constexpr const char* kSystemFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr const char* kDialogFont = "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf";

QString LoadFont(const char* path) {
  const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(path));
  const QStringList families = QFontDatabase::applicationFontFamilies(id);
  if (id < 0 || families.isEmpty()) {
    std::fprintf(stderr, "Cannot load %s; install fonts-dejavu-core and fonts-liberation2.\n", path);
    return {};
  }
  return families.front();
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("QT_FONT_DPI", "96");
  QTemporaryDir config;
  if (!config.isValid()) return 2;
  qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
  QApplication application(argc, argv);
  const QString system = LoadFont(kSystemFont);
  if (system.isEmpty() || LoadFont(kDialogFont).isEmpty()) return 2;
  QApplication::setFont(QFont(system, 9));
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
