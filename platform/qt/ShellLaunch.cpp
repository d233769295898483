#include "ShellLaunch.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>

namespace drelin {
namespace {

ShellLaunch::Opener& CurrentOpener() {
  static ShellLaunch::Opener opener;
  return opener;
}

}  // namespace

bool ShellLaunch::Open(const QUrl& url) {
  if (!url.isValid() || url.isEmpty()) return false;
  const Opener& opener = CurrentOpener();
  if (opener) return opener(url);
  return QDesktopServices::openUrl(url);
}

QString ShellLaunch::HelpPagePath() {
  return QDir(QCoreApplication::applicationDirPath())
      .filePath(QStringLiteral("Tarnova Drelin for DBF.html"));
}

bool ShellLaunch::OpenHelpPage(std::uint32_t topic) {
  QUrl url = QUrl::fromLocalFile(HelpPagePath());
  if (topic != 0) url.setFragment(QString::number(topic));
  return Open(url);
}

ShellLaunch::Opener ShellLaunch::SetOpener(Opener opener) {
  Opener previous = std::move(CurrentOpener());
  CurrentOpener() = std::move(opener);
  return previous;
}

}  // namespace drelin
