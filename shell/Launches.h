// Launches: the three commands that hand work to other programs. Help opens
// the help page, Live Update starts the updater and ends this program, the
// home page opens the product's site in the browser. The help page and the
// updater are looked for in the start folder, the program's own folder.
//
// Live Update ends the program, so it first passes the close flow's checks:
// it is refused while a repair runs, and unsaved results are saved or
// discarded as the user chooses; the program ends only once the updater has
// actually started, and otherwise says why and goes on.
#pragma once

#include <QString>

#include <functional>

namespace drelin {

class CommandRouter;

class Launches {
 public:
  struct EndChecks {
    // True after telling the user, while a repair runs.
    std::function<bool()> refusedWhileRepairing;
    // The view's close check (unsaved results); false to stay.
    std::function<bool()> viewMayClose;
  };

  Launches(QString startFolder, EndChecks checks);

  // Registers the commands: help 32771 and 32786, Live Update 61450 and
  // 32785, the home page 61456 and 32773.
  void Register(CommandRouter& router);

  void Help() const;
  void LiveUpdate() const;
  void HomePage() const;

  const QString& startFolder() const { return startFolder_; }
  // A companion's path: the start folder, one separator, `name`.
  QString CompanionPath(const char* name) const;

 private:
  QString startFolder_;
  EndChecks checks_;
};

}  // namespace drelin
