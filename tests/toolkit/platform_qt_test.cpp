// The Qt platform layer: the settings store writes through at once into
// the user's configuration folder, and shell launches can be watched.
#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QUrl>

#include <gtest/gtest.h>

#include "SettingsStore.h"
#include "ShellLaunch.h"

namespace drelin {
namespace {

TEST(SettingsStore, WritesThroughToTheConfigurationFolder) {
  const QString path = SettingsStore::FilePath();
  EXPECT_TRUE(path.startsWith(qEnvironmentVariable("XDG_CONFIG_HOME")));
  EXPECT_TRUE(path.endsWith("/Local AppWizard-Generated Applications/Tarnova Drelin DBF.ini"));
  ASSERT_TRUE(SettingsStore::WriteDword("Software/Test/Value1", 0xFFFFFFFFu));
  // Already on disk: another reader of the file sees it.
  EXPECT_TRUE(QFile::exists(path));
  QSettings reader(path, QSettings::IniFormat);
  EXPECT_EQ(reader.value("Software/Test/Value1").toULongLong(), 0xFFFFFFFFull);
  EXPECT_EQ(SettingsStore::ReadDword("Software/Test/Value1"), std::optional<std::uint32_t>(0xFFFFFFFFu));
  ASSERT_TRUE(SettingsStore::Write("Software/Test/Text", "words"));
  EXPECT_FALSE(SettingsStore::ReadDword("Software/Test/Text").has_value());
  EXPECT_FALSE(SettingsStore::ReadDword("Software/Test/Missing").has_value());
  EXPECT_TRUE(SettingsStore::Remove("Software/Test"));
  EXPECT_FALSE(SettingsStore::Read("Software/Test/Value1").has_value());
}

TEST(ShellLaunch, OpenerSeesLaunchesAndIsRestored) {
  std::vector<QUrl> seen;
  {
    const ScopedShellOpener opener([&](const QUrl& url) {
      seen.push_back(url);
      return true;
    });
    EXPECT_TRUE(ShellLaunch::Open(QUrl("https://example.org/")));
    EXPECT_TRUE(ShellLaunch::OpenHelpPage(12));
    EXPECT_FALSE(ShellLaunch::Open(QUrl()));
  }
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].toLocalFile(), QCoreApplication::applicationDirPath() + "/Tarnova Drelin for DBF.html");
  EXPECT_EQ(seen[1].fragment(), "12");
  EXPECT_EQ(ShellLaunch::SetOpener({}), nullptr);
}

}  // namespace
}  // namespace drelin
