// ShellLaunch: opening an address, a file or the help page with the
// desktop's handler (the "open" verb of the shell). The opener can be
// replaced, so tests can see a launch without anything being opened.
#pragma once

#include <QString>
#include <QUrl>

#include <cstdint>
#include <functional>

namespace drelin {

class ShellLaunch {
 public:
  using Opener = std::function<bool(const QUrl&)>;

  // Opens `url` with the desktop's handler; true when it was handed over.
  static bool Open(const QUrl& url);

  // The program's help page, "Tarnova Drelin for DBF.html" in the program's
  // own folder. A non-zero topic is passed as the page's fragment.
  static QString HelpPagePath();
  static bool OpenHelpPage(std::uint32_t topic = 0);

  // Replaces the opener (null restores the desktop one); returns the old one.
  static Opener SetOpener(Opener opener);
};

// Installs an opener for the lifetime of the object (tests).
class ScopedShellOpener {
 public:
  explicit ScopedShellOpener(ShellLaunch::Opener opener)
      : previous_(ShellLaunch::SetOpener(std::move(opener))) {}
  ~ScopedShellOpener() { ShellLaunch::SetOpener(std::move(previous_)); }
  ScopedShellOpener(const ScopedShellOpener&) = delete;
  ScopedShellOpener& operator=(const ScopedShellOpener&) = delete;

 private:
  ShellLaunch::Opener previous_;
};

}  // namespace drelin
