// Test main: a QApplication on the offscreen platform at 96 DPI, settings
// in a fresh folder, and fonts that come with the test command rather than
// with the machine: DejaVu Sans 9 pt (fonts-dejavu-core) is the system
// font, and stands in for the markup's Verdana where that face is missing.
// So the tests need no display, leave the user's settings alone, and
// measure the same text the same everywhere.
#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

constexpr const char* kTestFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

bool UseTestFont() {
  const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(kTestFont));
  const QStringList families = QFontDatabase::applicationFontFamilies(id);
  if (id < 0 || families.isEmpty()) {
    std::fprintf(stderr, "Cannot load %s; install fonts-dejavu-core.\n", kTestFont);
    return false;
  }
  QFont::insertSubstitution(QStringLiteral("Verdana"), families.front());
  QApplication::setFont(QFont(families.front(), 9));
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("QT_FONT_DPI", "96");
  QTemporaryDir config;
  if (!config.isValid()) return 2;
  qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
  QApplication application(argc, argv);
  if (!UseTestFont()) return 2;
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
