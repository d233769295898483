// Test main of the Qt tests: a QApplication on the offscreen platform at 96
// DPI, settings in a fresh folder, and fonts that come with the test command
// rather than with the machine: DejaVu Sans 9 pt (fonts-dejavu-core) is the
// system font and stands in for the markup's Verdana where that face is
// missing; Liberation Sans (fonts-liberation2) is the dialogs' and lists'
// face. So the tests need no display, leave the user's settings alone, and
// measure the same text the same everywhere.
#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

constexpr const char* kSystemFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr const char* kDialogFont = "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf";

// The family the font file at `path` holds, or empty when it cannot be loaded.
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
  QFont::insertSubstitution(QStringLiteral("Verdana"), system);
  QApplication::setFont(QFont(system, 9));
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
